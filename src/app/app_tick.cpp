#include "app/app_tick.h"

#include "app/local_clock.h"
#include "app/measurement_log.h"
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
    logTick(app.measurementLog, app.settings, app.regulation, localTimeNow());
    // Whoever needs the regulation's events has taken them by now.
    app.regulation.events.clear();
}
