#include "app/control_recovery.h"

#include "app/app_tick.h"
#include "app/backend_selection.h"
#include "app/power_source_follow.h"
#include "base/texts.h"
#include "regulation/control_modes.h"
#include "regulation/fan_commands.h"
#include "settings/registry_settings.h"

namespace {

bool connected(const RegulationState& regulation) {
    return regulation.controller && regulation.controller->isConnected();
}

void resume(AppState& app) {
    RegulationState& regulation = app.regulation;
    // One tick while commands are still held back: fresh readings for the mode to start from,
    // and the proof that the hardware answers after the sleep.
    if (connected(regulation))
        tickApp(app);
    if (!connected(regulation) || regulation.safety.failedTicks > 0)
        initBackend(app);
    regulation.safety.suspended = false;
    if (!followPowerSource(app))
        applyControlMode(regulation, app.settings, app.settings.mode);
}

} // namespace

void onPowerEvent(AppState& app, std::uint32_t event) {
    switch (event) {
    case POWER_SUSPEND:
        handFansBack(app.regulation);
        app.regulation.lastCurveRpm.fill(-1.0);
        app.regulation.safety.suspended = true;
        return;
    case POWER_RESUME_SUSPEND:
    case POWER_RESUME_AUTOMATIC:
        resume(app);
        return;
    case POWER_STATUS_CHANGE:
        followPowerSource(app);
        return;
    default:
        return;
    }
}

void reloadDriver(AppState& app) {
    RegulationState& regulation = app.regulation;
    Settings& settings = app.settings;
    const ControlMode mode = settings.mode;
    const bool commanded = mode != ControlMode::SystemAuto;
    if (commanded)
        handFansBack(regulation);
    initBackend(app);
    if (!commanded)
        return;
    if (connected(regulation)) {
        applyControlMode(regulation, settings, mode);
        return;
    }
    settings.mode = ControlMode::SystemAuto;
    regulation.lastCurveRpm.fill(-1.0);
    regulation.notice = {text(TextId::NoticeControlUnreachable), true};
    saveSettings(settings);
}
