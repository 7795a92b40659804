#pragma once

#include <cstdint>
#include <string>

// The machine's maker; 0 is not used.
enum class VendorKind : std::int32_t {
    Apple = 1,
    Asus = 2,
    Lenovo = 3,
    Dell = 4, // Dell and Alienware
    Hp = 5,   // HP and Hewlett-Packard
    Acer = 6,
    Msi = 7,
    Gigabyte = 8,
    Generic = 9,
};

// One fan as a backend reports and drives it. Callers only ever hold copies.
struct FanChannel {
    std::int32_t index = 0;
    std::wstring label;
    double currentRpm = 0.0;
    double minRpm = 0.0; // 0 % of the fan's range
    double maxRpm = 0.0; // 100 % of the fan's range
    double targetRpm = 0.0;
    bool manual = false;  // true while the program drives the fan, false while the firmware does
    bool measured = true; // false: currentRpm is only the speed last asked for, not a reading
};

// Faster fans than this do not exist in a notebook; such a maximum is a misread.
inline constexpr double HIGHEST_PLAUSIBLE_RPM = 10000.0;

// A range that can be regulated within: ordered, and not beyond any real fan.
inline bool plausibleFanRange(const FanChannel& fan) {
    return fan.minRpm < fan.maxRpm && fan.maxRpm <= HIGHEST_PLAUSIBLE_RPM;
}

// Which summary values of the last update are not readings: a stand-in where no sensor
// answered, or an estimate computed from other values.
struct ReadingQuality {
    bool cpuTempFallback = false;
    bool gpuTempFallback = false;
    bool powerEstimated = false;
    bool noSource = false; // no sensor source answered at all: every value is a stand-in
};

// One row of the sensors tab.
struct SensorReading {
    std::wstring key; // "TC0P", "TZ00", "NV01", "PWR1" ...
    std::wstring label;
    std::wstring category;
    std::wstring unit; // "°C" or "W"
    double value = 0.0;
    bool lost = false;           // not refreshed for several ticks: shown as "--", drives nothing
    std::int32_t staleTicks = 0; // ticks since the backend last answered for this row
    bool unchanging = false; // the very same value for ten minutes: likely a fixed firmware value
};

// What is known about the machine, copied by value.
struct SystemIdentity {
    VendorKind vendor = VendorKind::Generic;
    std::wstring manufacturer = L"Generic PC";
    std::wstring product = L"Standard System";
    std::wstring model = L"Desktop / Laptop";
    std::wstring boardManufacturer;
    std::wstring boardProduct;
    std::wstring biosVersion;
    bool isApple = false;
    bool isLaptop = false;
};
