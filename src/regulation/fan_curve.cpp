#include "regulation/fan_curve.h"

#include "base/rounding.h"
#include "regulation/fan_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

double curveTemperature(const Readings& readings, const Settings& settings) {
    switch (settings.curveSource) {
    case 1:
        return readings.cpuTemp;
    case 2:
        return readings.gpuTemp;
    default:
        return std::max(readings.cpuTemp, readings.gpuTemp);
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

double curveLevelAt(const FanCurve& p, double t) {
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

bool applyCurve(RegulationState& regulation, const Settings& settings, bool force) {
    bool ok = true;
    bool sent = false;
    const double fraction = levelToFraction(
        curveLevelAt(settings.curve, curveTemperature(regulation.readings, settings)));
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    std::array<double, 4>& lastRpm = regulation.lastCurveRpm;
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const FanChannel& fan = fans[i];
        const double speed = roundHalfAway((fan.maxRpm - fan.minRpm) * fraction + fan.minRpm);
        // Only the first four fans have a memory of the last speed written; any further fan
        // follows the curve without hysteresis, written on every evaluation.
        const bool remembered = i < lastRpm.size();
        if (!force && remembered) {
            const double last = lastRpm[i];
            if (last > 0.0 && std::fabs(speed - last) < CURVE_HYSTERESIS_RPM)
                continue;
        }
        if (!regulation.controller)
            continue;
        sent = true;
        if (commandFanRpm(regulation, i, speed)) {
            if (remembered)
                lastRpm[i] = speed;
        } else {
            ok = false;
        }
    }
    if (sent)
        noteCommands(regulation.safety, ok);
    return ok;
}

void resetCurve(RegulationState& regulation, Settings& settings) {
    settings.curve = DEFAULT_CURVE;
    if (settings.mode == ControlMode::Curve)
        applyCurve(regulation, settings, true);
}
