#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Physical memory as the system reports it; all zero when it cannot be read.
struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;
    std::uint32_t loadPercent = 0;
};

// Space on one volume; freeBytes counts for every user, not only the caller.
struct DiskSpace {
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
};

// The kinds of drive the program tells apart; the values are those of GetDriveTypeW.
enum class DriveKind : std::uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// Where the machine draws its power from, as one power-status reading reports it.
struct PowerStatus {
    std::uint8_t acLineStatus = 255; // 0 offline (on battery), 1 online, 255 unknown
    std::uint8_t batteryFlag = 255;  // as batteryFlag() below
};

// What the program asks Windows about the machine itself.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // The power status's battery flag: bits 1 high, 2 low, 4 critical, 8 charging,
    // 128 no system battery; 255 when the status is unknown or cannot be read.
    virtual std::uint8_t batteryFlag() const = 0;

    // The mains state and the battery flag of one reading; both 255 when it cannot be read.
    virtual PowerStatus powerStatus() const = 0;

    // The full path of the running program's own file; empty when it cannot be had.
    virtual std::wstring modulePath() const = 0;

    // The 48 raw bytes of the processor's brand string (extended CPUID leaves 0x80000002 to
    // 0x80000004, EAX EBX ECX EDX each); empty when the processor does not offer them.
    virtual std::string processorBrandBytes() const = 0;

    // The number of logical processors of the native system.
    virtual std::uint32_t logicalProcessorCount() const = 0;

    virtual MemoryStatus memoryStatus() const = 0;

    // The DeviceString of every display device in enumeration order (empty ones included).
    virtual std::vector<std::wstring> displayDeviceStrings() const = 0;

    // The primary screen's size in pixels.
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;

    // Bit i set: drive letter 'A' + i exists.
    virtual std::uint32_t logicalDriveMask() const = 0;
    // letter is 'A'..'Z'.
    virtual DriveKind driveKind(char letter) const = 0;
    virtual bool diskSpace(char letter, DiskSpace* space) const = 0;
    // The volume's label (may be empty) and its file system's name; false when unreadable.
    virtual bool volumeInformation(char letter, std::wstring* label,
                                   std::wstring* fileSystem) const = 0;
};

// <windows.h> defines both names as macros of the same values; keep them out of the way here
// so the header can be included in either order.
#pragma push_macro("BATTERY_FLAG_NO_BATTERY")
#pragma push_macro("BATTERY_FLAG_UNKNOWN")
#undef BATTERY_FLAG_NO_BATTERY
#undef BATTERY_FLAG_UNKNOWN
inline constexpr std::uint8_t BATTERY_FLAG_NO_BATTERY = 128;
inline constexpr std::uint8_t BATTERY_FLAG_UNKNOWN = 255;
#pragma pop_macro("BATTERY_FLAG_UNKNOWN")
#pragma pop_macro("BATTERY_FLAG_NO_BATTERY")
