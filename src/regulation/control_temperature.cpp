#include "regulation/control_temperature.h"

#include "regulation/reading_ages.h"

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
