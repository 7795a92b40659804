#include "regulation/control_temperature.h"

#include "regulation/reading_ages.h"

#include <cmath>

bool holdsFansBelowMaximum(ControlMode mode) {
    return mode == ControlMode::Curve || mode == ControlMode::Quiet ||
           mode == ControlMode::Balanced || mode == ControlMode::Manual;
}

bool controlTemperatureMeasured(const FanSafetyState& safety, const Settings& settings,
                                ControlMode mode) {
    if (!holdsFansBelowMaximum(mode))
        return true;
    const bool cpu = safety.cpuAge >= 0;
    const bool gpu = safety.gpuAge >= 0;
    return cpu && (gpu || mode != ControlMode::Curve || settings.curveSource != 2);
}

bool controlTemperatureLost(const FanSafetyState& s, const Settings& settings) {
    const bool cpuLost = s.cpuAge >= READING_LOST_TICKS;
    const bool gpuLost = s.gpuAge >= READING_LOST_TICKS;
    if (settings.mode == ControlMode::Curve && settings.curveSource == 1)
        return cpuLost;
    if (settings.mode == ControlMode::Curve && settings.curveSource == 2)
        return gpuLost;
    return cpuLost || gpuLost;
}

namespace {

bool cpuCounts(const RegulationState& regulation) {
    const Readings& r = regulation.readings;
    return regulation.safety.cpuAge >= 0 && !r.cpuTempLost && !r.quality.cpuTempFallback &&
           !std::isnan(r.cpuTemp);
}

bool gpuCounts(const RegulationState& regulation) {
    const Readings& r = regulation.readings;
    return regulation.safety.gpuAge >= 0 && !r.gpuTempLost && !r.quality.gpuTempFallback &&
           !std::isnan(r.gpuTemp);
}

} // namespace

double hottestCurrentTemperature(const RegulationState& regulation, const wchar_t** which) {
    const Readings& r = regulation.readings;
    const bool cpu = cpuCounts(regulation);
    const bool gpu = gpuCounts(regulation);
    const bool gpuHotter = gpu && (!cpu || r.gpuTemp > r.cpuTemp);
    if (!cpu && !gpu)
        return NAN;
    if (which != nullptr)
        *which = gpuHotter ? L"GPU" : L"CPU";
    return gpuHotter ? r.gpuTemp : r.cpuTemp;
}

double currentControlTemperature(const RegulationState& regulation, const Settings& settings) {
    const std::int32_t source = settings.mode == ControlMode::Curve ? settings.curveSource : 0;
    if (source == 1)
        return cpuCounts(regulation) ? regulation.readings.cpuTemp : NAN;
    if (source == 2)
        return gpuCounts(regulation) ? regulation.readings.gpuTemp : NAN;
    return hottestCurrentTemperature(regulation, nullptr);
}
