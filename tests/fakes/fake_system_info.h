#pragma once

#include "platform/system_info.h"

class FakeSystemInfo final : public SystemInfo {
public:
    std::uint8_t battery = BATTERY_FLAG_NO_BATTERY;

    std::uint8_t batteryFlag() const override { return battery; }
};
