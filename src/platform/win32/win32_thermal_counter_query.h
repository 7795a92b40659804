#pragma once

#include "platform/thermal_counter_query.h"

class Win32ThermalCounterQuery final : public ThermalCounterQuery {
public:
    std::unique_ptr<ThermalCounterSession> open() override;
};
