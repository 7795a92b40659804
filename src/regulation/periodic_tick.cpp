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

// Faster fans than this do not exist in a notebook; such a maximum is a misread.
constexpr double HIGHEST_PLAUSIBLE_RPM = 10000.0;

bool plausibleRange(const FanChannel& fan) {
    return fan.minRpm < fan.maxRpm && fan.maxRpm <= HIGHEST_PLAUSIBLE_RPM;
}

// An impossible range read from the hardware gives way to the backend's construction defaults.
void takeRange(FanChannel* kept, const FanChannel& fresh, std::size_t i) {
    const std::vector<FanChannel>& defaults = appState.safety.defaultFans;
    if (plausibleRange(fresh)) {
        kept->minRpm = fresh.minRpm;
        kept->maxRpm = fresh.maxRpm;
    } else if (i < defaults.size() && plausibleRange(defaults[i])) {
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
        mergeFans(appState.controller->fans());
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        double cpu = none, gpu = none, power = none;
        const bool read = appState.controller->update(&cpu, &gpu, &power, &freshReadings);
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
