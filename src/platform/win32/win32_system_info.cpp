#include "platform/win32/win32_system_info.h"

#include <windows.h>

std::uint8_t Win32SystemInfo::batteryFlag() const {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status))
        return BATTERY_FLAG_UNKNOWN;
    return status.BatteryFlag;
}
