#include "app/app_tick.h"

#include "app/local_clock.h"
#include "app/measurement_log.h"
#include "app/tray.h"
#include "app/tray_notifications.h"
#include "inventory/inventory.h"
#include "regulation/periodic_tick.h"
#include "ui/history.h"

#include <chrono>

namespace {

std::int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void tickApp(AppState& app) {
    runTick(app.regulation, app.settings);
    noteAmdAdapter(app.inventory, app.regulation.controller.get());
    const Readings& r = app.regulation.readings;
    recordHistorySample(app.ui.history, r);
    if (app.trayIcon.added) {
        refreshTrayTooltip(app.trayIcon, r);
        refreshTrayIcon(app.trayIcon, app.settings, app.regulation);
    }
    // Only the SMC backend drives the fans; the generic one records what the modes ask for.
    notifyEvents(app.notifications, app.regulation, app.settings, app.identity.isApple,
                 steadyMilliseconds());
    logTick(app.measurementLog, app.settings, app.regulation, localTimeNow());
    // Every reader above has seen what happened since the last tick.
    app.regulation.events.clear();
}
