#include "regulation/periodic_tick.h"

#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "regulation/fan_guard.h"
#include "regulation/reading_ages.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace {

// An impossible range read from the hardware gives way to the backend's construction defaults.
void takeRange(FanChannel* kept, const FanChannel& fresh, std::size_t i,
               const std::vector<FanChannel>& defaults) {
    if (plausibleFanRange(fresh)) {
        kept->minRpm = fresh.minRpm;
        kept->maxRpm = fresh.maxRpm;
    } else if (i < defaults.size() && plausibleFanRange(defaults[i])) {
        kept->minRpm = defaults[i].minRpm;
        kept->maxRpm = defaults[i].maxRpm;
    }
}

// The first non-empty answer after a connect fills fanList whole; afterwards the list keeps its
// length and labels, and follows the backend's speeds, mode flags and ranges.
void mergeFans(RegulationState& regulation, const std::vector<FanChannel>& fresh) {
    std::vector<FanChannel>& kept = regulation.readings.fanList;
    const std::vector<FanChannel>& defaults = regulation.safety.defaultFans;
    if (kept.empty()) {
        kept = fresh;
        for (std::size_t i = 0; i < fresh.size(); ++i)
            takeRange(&kept[i], fresh[i], i, defaults);
        return;
    }
    const std::size_t n = std::min(fresh.size(), kept.size());
    for (std::size_t i = 0; i < n; ++i) {
        FanChannel& fan = kept[i];
        fan.currentRpm = fresh[i].currentRpm;
        fan.targetRpm = fresh[i].targetRpm;
        fan.manual = fresh[i].manual;
        takeRange(&fan, fresh[i], i, defaults);
        fan.measured = fresh[i].measured;
    }
}

} // namespace

void runTick(RegulationState& regulation, Settings& settings) {
    if (!regulation.controller)
        return;
    IHardwareController& backend = *regulation.controller;
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    double cpu = none, gpu = none, power = none;
    const bool read = backend.update(&cpu, &gpu, &power, &regulation.freshRows);
    // After the update, so that this tick regulates within the ranges just read, the ranges the
    // backend itself holds the commands to.
    mergeFans(regulation, backend.fans());
    refreshReadings(regulation, cpu, gpu, power, regulation.freshRows);
    guardFans(regulation, settings);
    FanSafetyState& safety = regulation.safety;
    if (settings.mode == ControlMode::Curve && !safety.suspended &&
        !applyCurve(regulation, settings, false) && !safety.curveFailureShown) {
        showModeFailure(regulation.notice, ControlMode::Curve);
        safety.curveFailureShown = true;
    }
    noteTickOutcome(regulation, read);
    regulation.readings.quality = backend.readingQuality();
}
