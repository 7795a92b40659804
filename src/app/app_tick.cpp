#include "app/app_tick.h"

#include "app/tray.h"
#include "regulation/periodic_tick.h"
#include "ui/history.h"

void tickApp(AppState& app) {
    runTick(app.regulation, app.settings);
    const Readings& r = app.regulation.readings;
    recordHistorySample(app.ui.history, r);
    if (app.trayIcon.added) {
        const double rpm = r.fanList.empty() ? 0.0 : r.fanList.front().currentRpm;
        refreshTrayTooltip(app.trayIcon, rpm, r.cpuTemp, r.gpuTemp, r.powerWatts);
    }
}
