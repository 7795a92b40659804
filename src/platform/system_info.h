#pragma once

#include <cstdint>
#include <string>

// What the program asks Windows about the machine itself.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // The power status's battery flag: bits 1 high, 2 low, 4 critical, 8 charging,
    // 128 no system battery; 255 when the status is unknown or cannot be read.
    virtual std::uint8_t batteryFlag() const = 0;

    // The full path of the running program's own file; empty when it cannot be had.
    virtual std::wstring modulePath() const = 0;
};

inline constexpr std::uint8_t BATTERY_FLAG_NO_BATTERY = 128;
inline constexpr std::uint8_t BATTERY_FLAG_UNKNOWN = 255;
