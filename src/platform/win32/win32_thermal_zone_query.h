#pragma once

#include "platform/thermal_zone_query.h"

class Win32ThermalZoneQuery final : public ThermalZoneQuery {
public:
    std::unique_ptr<ThermalZoneConnection> connect() override;
    void leaveThread() override;
};
