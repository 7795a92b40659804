#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// AMD's display library as its published SDK lays it out for 64-bit processes, as far as the
// program uses it. Every structure is plain 32-bit integers and bytes, so the layout is the same
// on every x64 compiler; the asserts below hold it to the published sizes.

inline constexpr std::int32_t ADL_OK = 0;
inline constexpr std::int32_t ADL_ERR = -1;
inline constexpr std::int32_t ADL_ERR_INVALID_PARAM_SIZE = -4;
inline constexpr std::int32_t ADL_ERR_INVALID_ADL_IDX = -5;
inline constexpr std::int32_t ADL_ERR_NOT_SUPPORTED = -8;

inline constexpr std::size_t ADL_MAX_PATH = 256;
inline constexpr std::int32_t ADL_AMD_VENDOR_ID = 1002; // as the library reports it
// More entries than any machine has displays; a larger count is a misread.
inline constexpr std::int32_t ADL_MOST_ADAPTERS = 64;

// Overdrive generations and how each is read.
inline constexpr std::int32_t ADL_OVERDRIVE_5 = 5;
inline constexpr std::int32_t ADL_OVERDRIVE_N = 7; // OverdriveN
inline constexpr std::int32_t ADL_OVERDRIVE_8 = 8; // power-management log

// Sensor indices of the power-management log.
inline constexpr std::size_t ADL_PMLOG_TEMPERATURE_EDGE = 8;
inline constexpr std::size_t ADL_PMLOG_TEMPERATURE_MEM = 9;
inline constexpr std::size_t ADL_PMLOG_FAN_RPM = 14;
inline constexpr std::size_t ADL_PMLOG_FAN_PERCENTAGE = 15;
inline constexpr std::size_t ADL_PMLOG_TEMPERATURE_HOTSPOT = 27;
inline constexpr std::size_t ADL_PMLOG_MAX_SENSORS = 256;

// OverdriveN temperature sensors.
inline constexpr std::int32_t ADL_ODN_TEMPERATURE_EDGE = 1;
inline constexpr std::int32_t ADL_ODN_TEMPERATURE_MEM = 2;
inline constexpr std::int32_t ADL_ODN_TEMPERATURE_HOTSPOT = 7;

// Units of a fan speed (Overdrive 5's request, OverdriveN's reply).
inline constexpr std::int32_t ADL_FAN_SPEED_PERCENT = 1;
inline constexpr std::int32_t ADL_FAN_SPEED_RPM = 2;

// The value a fan tachometer reports when it has none.
inline constexpr std::int32_t ADL_FAN_RPM_NONE = 0xFFFF;

struct AdlAdapterInfo {
    std::int32_t size;
    std::int32_t adapterIndex;
    char udid[ADL_MAX_PATH];
    std::int32_t busNumber;
    std::int32_t deviceNumber;
    std::int32_t functionNumber;
    std::int32_t vendorId;
    char adapterName[ADL_MAX_PATH];
    char displayName[ADL_MAX_PATH];
    std::int32_t present;
    std::int32_t exist;
    char driverPath[ADL_MAX_PATH];
    char driverPathExt[ADL_MAX_PATH];
    char pnpString[ADL_MAX_PATH];
    std::int32_t osDisplayIndex;
};
static_assert(sizeof(AdlAdapterInfo) == 1572);
static_assert(offsetof(AdlAdapterInfo, busNumber) == 264);
static_assert(offsetof(AdlAdapterInfo, vendorId) == 276);
static_assert(offsetof(AdlAdapterInfo, adapterName) == 280);

struct AdlSingleSensorData {
    std::int32_t supported;
    std::int32_t value;
};
struct AdlPmLogDataOutput {
    std::int32_t size;
    AdlSingleSensorData sensors[ADL_PMLOG_MAX_SENSORS];
};
static_assert(sizeof(AdlPmLogDataOutput) == 2052);

struct AdlOdnFanControl {
    std::int32_t mode;
    std::int32_t fanControlMode;
    std::int32_t currentFanSpeedMode;
    std::int32_t currentFanSpeed;
    std::int32_t targetFanSpeed;
    std::int32_t targetTemperature;
    std::int32_t minPerformanceClock;
    std::int32_t minFanLimit;
};
static_assert(sizeof(AdlOdnFanControl) == 32);

struct AdlTemperature {
    std::int32_t size;
    std::int32_t temperature; // millidegrees Celsius
};
static_assert(sizeof(AdlTemperature) == 8);

struct AdlFanSpeedValue {
    std::int32_t size;
    std::int32_t speedType;
    std::int32_t fanSpeed;
    std::int32_t flags;
};
static_assert(sizeof(AdlFanSpeedValue) == 16);

// One AMD GPU, picked from the library's adapter list.
struct AmdAdapter {
    std::int32_t index = -1; // the library's adapter index, used in every call
    std::int32_t bus = -1;
    std::wstring name;
};

// One reading of an AMD GPU; a value the GPU did not give, or gave out of range, is empty.
struct AmdGpuReading {
    std::optional<double> edge, hotspot, memory; // °C
    std::optional<double> fanRpm, fanPercent;
    bool any() const { return edge || hotspot || memory || fanRpm || fanPercent; }
};

// A temperature between −20 and 150 °C (both included) is a reading; anything else is not.
std::optional<double> plausibleGpuCelsius(double celsius);

// The adapter list holds one entry per display output: AMD's entries on a real bus (a negative
// bus number is none), active, and the first entry of each bus; in the list's order.
std::vector<AmdAdapter> pickAmdAdapters(const std::vector<AdlAdapterInfo>& list,
                                        const std::function<bool(std::int32_t index)>& isActive);

// The adapter's name as text, up to its terminator or the end of the field.
std::wstring adlAdapterName(const AdlAdapterInfo& info);

// Overdrive 8: edge, memory and hotspot temperature, fan speed and fan share, each only where
// the log marks it supported.
AmdGpuReading decodeAdlPmLog(const AdlPmLogDataOutput& log);
// OverdriveN: millidegrees. Below one degree the unit is in doubt (an older driver's whole
// degrees, or an implausibly cold GPU): no reading.
std::optional<double> decodeAdlOdnTemperature(std::int32_t millidegrees);
// OverdriveN fan: a speed in the unit the reply names.
void decodeAdlOdnFan(const AdlOdnFanControl& fan, AmdGpuReading* reading);
// Overdrive 5: millidegrees in the structure.
std::optional<double> decodeAdlOd5Temperature(const AdlTemperature& temperature);
// Overdrive 5 fan: a speed in the unit the reply names.
void decodeAdlOd5Fan(const AdlFanSpeedValue& fan, AmdGpuReading* reading);
