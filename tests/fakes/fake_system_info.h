#pragma once

#include "platform/system_info.h"

class FakeSystemInfo final : public SystemInfo {
public:
    std::uint8_t battery = BATTERY_FLAG_NO_BATTERY;
    std::wstring path = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";

    std::uint8_t batteryFlag() const override { return battery; }
    std::wstring modulePath() const override { return path; }
};
