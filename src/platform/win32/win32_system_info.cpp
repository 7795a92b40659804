#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <cpuid.h>
#include <cstring>

namespace {

bool isDriveLetter(char letter) {
    return letter >= 'A' && letter <= 'Z';
}

// "X:\" for a letter already checked by isDriveLetter.
std::wstring rootOf(char letter) {
    return std::wstring{static_cast<wchar_t>(letter), L':', L'\\'};
}

// A device list that never ends would otherwise keep the start-up waiting.
constexpr DWORD MAX_DISPLAY_DEVICES = 64;

} // namespace

std::uint8_t Win32SystemInfo::batteryFlag() const {
    return powerStatus().batteryFlag;
}

PowerStatus Win32SystemInfo::powerStatus() const {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status))
        return {};
    return {status.ACLineStatus, status.BatteryFlag};
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

std::string Win32SystemInfo::processorBrandBytes() const {
    unsigned int regs[4] = {};
    __cpuid(0x80000000u, regs[0], regs[1], regs[2], regs[3]);
    if (regs[0] <= 0x80000003u)
        return {};
    std::string bytes(48, '\0');
    for (unsigned int i = 0; i < 3; ++i) {
        __cpuid(0x80000002u + i, regs[0], regs[1], regs[2], regs[3]);
        std::memcpy(bytes.data() + 16 * i, regs, 16);
    }
    return bytes;
}

std::uint32_t Win32SystemInfo::logicalProcessorCount() const {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

MemoryStatus Win32SystemInfo::memoryStatus() const {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return {};
    return {status.ullTotalPhys, status.ullAvailPhys, status.dwMemoryLoad};
}

std::vector<std::wstring> Win32SystemInfo::displayDeviceStrings() const {
    std::vector<std::wstring> names;
    for (DWORD index = 0; index < MAX_DISPLAY_DEVICES; ++index) {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof(device);
        if (!EnumDisplayDevicesW(nullptr, index, &device, 0))
            break;
        device.DeviceString[sizeof(device.DeviceString) / sizeof(wchar_t) - 1] = L'\0';
        names.emplace_back(device.DeviceString);
    }
    return names;
}

int Win32SystemInfo::screenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int Win32SystemInfo::screenHeight() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

std::uint32_t Win32SystemInfo::logicalDriveMask() const {
    return GetLogicalDrives() & 0x03FFFFFFu;
}

DriveKind Win32SystemInfo::driveKind(char letter) const {
    if (!isDriveLetter(letter))
        return DriveKind::NoRootDir;
    const UINT type = GetDriveTypeW(rootOf(letter).c_str());
    return type <= DRIVE_RAMDISK ? static_cast<DriveKind>(type) : DriveKind::Unknown;
}

bool Win32SystemInfo::diskSpace(char letter, DiskSpace* space) const {
    if (!isDriveLetter(letter) || space == nullptr)
        return false;
    ULARGE_INTEGER callerFree{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExW(rootOf(letter).c_str(), &callerFree, &total, &totalFree))
        return false;
    space->totalBytes = total.QuadPart;
    space->freeBytes = totalFree.QuadPart;
    return true;
}

bool Win32SystemInfo::volumeInformation(char letter, std::wstring* label,
                                        std::wstring* fileSystem) const {
    if (!isDriveLetter(letter) || label == nullptr || fileSystem == nullptr)
        return false;
    wchar_t name[MAX_PATH + 1] = {};
    wchar_t fs[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(rootOf(letter).c_str(), name, MAX_PATH + 1, nullptr, nullptr,
                               nullptr, fs, MAX_PATH + 1))
        return false;
    *label = name;
    *fileSystem = fs;
    return true;
}
