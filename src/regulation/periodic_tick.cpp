#include "regulation/periodic_tick.h"

#include "app/app_state.h"
#include "app/tray.h"
#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "regulation/fan_guard.h"
#include "regulation/reading_ages.h"
#include "ui/history.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace {

// An impossible range read from the hardware gives way to the backend's construction defaults.
void takeRange(FanChannel* kept, const FanChannel& fresh, std::size_t i) {
    const std::vector<FanChannel>& defaults = appState.safety.defaultFans;
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
void mergeFans(const std::vector<FanChannel>& fresh) {
    if (appState.fanList.empty()) {
        appState.fanList = fresh;
        for (std::size_t i = 0; i < fresh.size(); ++i)
            takeRange(&appState.fanList[i], fresh[i], i);
        return;
    }
    const std::size_t n = std::min(fresh.size(), appState.fanList.size());
    for (std::size_t i = 0; i < n; ++i) {
        FanChannel& fan = appState.fanList[i];
        fan.currentRpm = fresh[i].currentRpm;
        fan.targetRpm = fresh[i].targetRpm;
        fan.manual = fresh[i].manual;
        takeRange(&fan, fresh[i], i);
        fan.measured = fresh[i].measured;
    }
}

// Reused from tick to tick, so a tick allocates nothing once the rows are known.
std::vector<SensorReading> freshReadings;

} // namespace

void runTick() {
    if (appState.controller) {
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        double cpu = none, gpu = none, power = none;
        const bool read = appState.controller->update(&cpu, &gpu, &power, &freshReadings);
        // After the update, so that this tick regulates within the ranges just read, the
        // ranges the backend itself holds the commands to.
        mergeFans(appState.controller->fans());
        refreshReadings(cpu, gpu, power, freshReadings);
        guardFans();
        if (appState.mode == ControlMode::Curve && !appState.safety.suspended &&
            !applyCurve(false) && !appState.safety.curveFailureShown) {
            showModeFailure(ControlMode::Curve);
            appState.safety.curveFailureShown = true;
        }
        noteTickOutcome(read);
        appState.readingQuality = appState.controller->readingQuality();
    }
    recordHistorySample();
    if (appState.trayIcon.added) {
        const double rpm = appState.fanList.empty() ? 0.0 : appState.fanList.front().currentRpm;
        refreshTrayTooltip(rpm, appState.cpuTemp, appState.gpuTemp, appState.powerWatts);
    }
}
