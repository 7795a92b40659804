#include "app/control_recovery.h"

#include "app/app_state.h"
#include "hardware/backend_selection.h"
#include "regulation/control_modes.h"
#include "regulation/fan_commands.h"
#include "regulation/periodic_tick.h"
#include "settings/registry_settings.h"

namespace {

void resume() {
    // One tick while commands are still held back: fresh readings for the mode to start from,
    // and the proof that the hardware answers after the sleep.
    if (appState.controller && appState.controller->isConnected())
        runTick();
    if (!appState.controller || !appState.controller->isConnected() ||
        appState.safety.failedTicks > 0)
        initBackend();
    appState.safety.suspended = false;
    applyControlMode(appState.mode);
}

} // namespace

void onPowerEvent(std::uint32_t event) {
    switch (event) {
    case POWER_SUSPEND:
        handFansBack();
        appState.lastCurveRpm.fill(-1.0);
        appState.safety.suspended = true;
        return;
    case POWER_RESUME_SUSPEND:
    case POWER_RESUME_AUTOMATIC:
        resume();
        return;
    default:
        return;
    }
}

void reloadDriver() {
    const ControlMode mode = appState.mode;
    const bool commanded = mode != ControlMode::SystemAuto;
    if (commanded)
        handFansBack();
    initBackend();
    if (!commanded)
        return;
    if (appState.controller && appState.controller->isConnected()) {
        applyControlMode(mode);
        return;
    }
    appState.mode = ControlMode::SystemAuto;
    appState.lastCurveRpm.fill(-1.0);
    appState.noticeText =
        L"Lüftersteuerung nicht erreichbar – Lüfter bleiben bei der System-Automatik.";
    appState.noticeIsError = true;
    saveSettings();
}
