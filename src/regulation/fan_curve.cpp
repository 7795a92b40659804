#include "regulation/fan_curve.h"

#include "app/app_state.h"
#include "base/rounding.h"
#include "regulation/fan_commands.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

double curveTemperature() {
    switch (appState.curveSource) {
    case 1:
        return appState.cpuTemp;
    case 2:
        return appState.gpuTemp;
    default:
        return std::max(appState.cpuTemp, appState.gpuTemp);
    }
}

double levelToFraction(double level) {
    if (std::isnan(level) || level >= 100.0)
        return 1.0;
    if (level <= 0.0)
        return 0.0;
    return level / 100.0;
}

} // namespace

double curveLevelAt(double t) {
    const FanCurve& p = appState.curve;
    if (p[0].temperature >= t)
        return p[0].level;
    if (t >= p[3].temperature)
        return p[3].level;
    for (std::size_t i = 0; i < 3; ++i) {
        const double a = p[i].temperature;
        const double b = p[i + 1].temperature;
        // A crossed segment (b < a) contains nothing; equal temperatures give a steep step.
        if (a <= t && t <= b)
            return p[i].level + (t - a) / std::max(b - a, 0.5) * (p[i + 1].level - p[i].level);
    }
    return 50.0; // only a temperature that is not a number gets here
}

bool applyCurve(bool force) {
    bool ok = true;
    const double fraction = levelToFraction(curveLevelAt(curveTemperature()));
    for (std::size_t i = 0; i < appState.fanList.size(); ++i) {
        const FanChannel& fan = appState.fanList[i];
        const double speed = roundHalfAway((fan.maxRpm - fan.minRpm) * fraction + fan.minRpm);
        // Only the first four fans have a memory of the last speed written; any further fan
        // follows the curve without hysteresis, written on every evaluation.
        const bool remembered = i < appState.lastCurveRpm.size();
        if (!force && remembered) {
            const double last = appState.lastCurveRpm[i];
            if (last > 0.0 && std::fabs(speed - last) < CURVE_HYSTERESIS_RPM)
                continue;
        }
        if (!appState.controller)
            continue;
        if (commandFanRpm(i, speed)) {
            if (remembered)
                appState.lastCurveRpm[i] = speed;
        } else {
            ok = false;
        }
    }
    return ok;
}

void resetCurve() {
    appState.curve = DEFAULT_CURVE;
    if (appState.mode == ControlMode::Curve)
        applyCurve(true);
}
