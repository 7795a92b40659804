#include "regulation/periodic_tick.h"

#include "app/app_state.h"
#include "app/tray.h"
#include "regulation/fan_curve.h"
#include "ui/history.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// The first non-empty answer fills fanList whole; afterwards only the live fields follow the
// backend, so labels and ranges stay those of the first copy and the list never changes length.
void mergeFans(const std::vector<FanChannel>& fresh) {
    if (appState.fanList.empty()) {
        appState.fanList = fresh;
        return;
    }
    const std::size_t n = std::min(fresh.size(), appState.fanList.size());
    for (std::size_t i = 0; i < n; ++i) {
        appState.fanList[i].currentRpm = fresh[i].currentRpm;
        appState.fanList[i].targetRpm = fresh[i].targetRpm;
        appState.fanList[i].manual = fresh[i].manual;
        appState.fanList[i].measured = fresh[i].measured;
    }
}

} // namespace

void runTick() {
    if (appState.controller) {
        mergeFans(appState.controller->fans());
        appState.controller->update(&appState.cpuTemp, &appState.gpuTemp, &appState.powerWatts,
                                    &appState.sensorList);
        appState.readingQuality = appState.controller->readingQuality();
    }
    if (appState.mode == ControlMode::Curve)
        applyCurve(false);
    recordHistorySample();
    if (appState.trayIcon.added) {
        const double rpm = appState.fanList.empty() ? 0.0 : appState.fanList.front().currentRpm;
        refreshTrayTooltip(rpm, appState.cpuTemp, appState.gpuTemp, appState.powerWatts);
    }
}
