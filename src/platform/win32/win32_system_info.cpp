#include "platform/win32/win32_system_info.h"

#include <windows.h>

std::uint8_t Win32SystemInfo::batteryFlag() const {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status))
        return BATTERY_FLAG_UNKNOWN;
    return status.BatteryFlag;
}

std::wstring Win32SystemInfo::modulePath() const {
    // A path longer than MAX_PATH is legal; a cut one would name another file, so grow instead.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}
