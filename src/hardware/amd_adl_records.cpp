#include "hardware/amd_adl_records.h"

#include "hardware/hardware_records.h"

#include <algorithm>

namespace {

std::optional<double> fanRpm(std::int32_t rpm) {
    if (rpm < 0 || rpm == ADL_FAN_RPM_NONE || rpm > HIGHEST_PLAUSIBLE_RPM)
        return std::nullopt;
    return rpm;
}

std::optional<double> fanPercent(std::int32_t percent) {
    if (percent < 0 || percent > 100)
        return std::nullopt;
    return percent;
}

void takeFanSpeed(std::int32_t unit, std::int32_t speed, AmdGpuReading* reading) {
    if (unit == ADL_FAN_SPEED_RPM)
        reading->fanRpm = fanRpm(speed);
    else if (unit == ADL_FAN_SPEED_PERCENT)
        reading->fanPercent = fanPercent(speed);
}

std::optional<double> fromMillidegrees(std::int32_t millidegrees) {
    return plausibleGpuCelsius(millidegrees / 1000.0);
}

} // namespace

std::optional<double> plausibleGpuCelsius(double celsius) {
    if (!(celsius >= -20.0 && celsius <= 150.0))
        return std::nullopt;
    return celsius;
}

std::vector<AmdAdapter> pickAmdAdapters(const std::vector<AdlAdapterInfo>& list,
                                        const std::function<bool(std::int32_t index)>& isActive) {
    std::vector<AmdAdapter> picked;
    for (const AdlAdapterInfo& info : list) {
        if (info.vendorId != ADL_AMD_VENDOR_ID || info.busNumber < 0)
            continue;
        const bool seen = std::any_of(picked.begin(), picked.end(),
                                      [&](const AmdAdapter& a) { return a.bus == info.busNumber; });
        if (seen || !isActive(info.adapterIndex))
            continue;
        picked.push_back({info.adapterIndex, info.busNumber, adlAdapterName(info)});
    }
    return picked;
}

std::wstring adlAdapterName(const AdlAdapterInfo& info) {
    std::wstring name;
    for (char c : info.adapterName) {
        if (c == '\0')
            break;
        // The library writes its names in the system's ANSI code page; the names it gives are
        // ASCII, and any other byte is taken as Latin-1 rather than guessed at.
        name.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    return name;
}

AmdGpuReading decodeAdlPmLog(const AdlPmLogDataOutput& log) {
    auto value = [&](std::size_t sensor) -> std::optional<std::int32_t> {
        if (log.sensors[sensor].supported == 0)
            return std::nullopt;
        return log.sensors[sensor].value;
    };
    AmdGpuReading reading;
    if (auto v = value(ADL_PMLOG_TEMPERATURE_EDGE))
        reading.edge = plausibleGpuCelsius(*v);
    if (auto v = value(ADL_PMLOG_TEMPERATURE_HOTSPOT))
        reading.hotspot = plausibleGpuCelsius(*v);
    if (auto v = value(ADL_PMLOG_TEMPERATURE_MEM))
        reading.memory = plausibleGpuCelsius(*v);
    if (auto v = value(ADL_PMLOG_FAN_RPM))
        reading.fanRpm = fanRpm(*v);
    if (auto v = value(ADL_PMLOG_FAN_PERCENTAGE))
        reading.fanPercent = fanPercent(*v);
    return reading;
}

std::optional<double> decodeAdlOdnTemperature(std::int32_t millidegrees) {
    if (millidegrees > -1000 && millidegrees < 1000)
        return std::nullopt;
    return fromMillidegrees(millidegrees);
}

void decodeAdlOdnFan(const AdlOdnFanControl& fan, AmdGpuReading* reading) {
    takeFanSpeed(fan.currentFanSpeedMode, fan.currentFanSpeed, reading);
}

std::optional<double> decodeAdlOd5Temperature(const AdlTemperature& temperature) {
    return fromMillidegrees(temperature.temperature);
}

void decodeAdlOd5Fan(const AdlFanSpeedValue& fan, AmdGpuReading* reading) {
    takeFanSpeed(fan.speedType, fan.fanSpeed, reading);
}
