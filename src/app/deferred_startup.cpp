#include "app/deferred_startup.h"

#include "app/backend_selection.h"
#include "app/power_source_follow.h"
#include "hardware/vendor_detection.h"
#include "inventory/inventory.h"
#include "regulation/control_modes.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"

#include <utility>

void beginStartup(AppState& app) {
    loadSettings(app.settings);
    app.settings.autostartPending = true;
    // For the window's title; a few registry values, asked again when the backend comes up.
    app.identity = detectSystemIdentity();
}

void finishStartup(AppState& app, AutostartLookup& lookup, std::function<void()> whenDone,
                   void (*threadStart)()) {
    initBackend(app);
    // A mode chosen before the backend was there (a command during start-up) takes effect now.
    if (app.settings.mode != ControlMode::SystemAuto)
        applyControlMode(app.regulation, app.settings, app.settings.mode);
    // A mode from the command line is the user's choice and wins over the power source's.
    if (app.startMode) {
        app.powerSource = currentPowerSource();
        const ControlMode mode = *app.startMode;
        app.startMode.reset();
        chooseMode(app, mode);
    } else {
        followPowerSource(app);
    }
    app.startupFinished = true;
    app.inventory = collectInventory(app.identity, app.regulation.controller.get());
    // Last, after the driver service was started: both go through the service manager, and
    // the scheduler's own service may have to be started first.
    lookup.start(app.settings, std::move(whenDone), threadStart);
}

bool takeAutostartAnswer(AppState& app, AutostartLookup& lookup) {
    if (!lookup.take(app.settings, app.regulation.notice))
        return false;
    if (app.autostartToggleQueued) {
        app.autostartToggleQueued = false;
        setAutostart(app.settings, app.regulation.notice, !app.settings.autostartEnabled);
    }
    return true;
}
