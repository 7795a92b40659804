#include "app/power_source_follow.h"

#include "base/texts.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/control_modes.h"
#include "settings/registry_settings.h"

namespace {

void repaint() {
    if (platform.windowHost != nullptr)
        platform.windowHost->invalidate(false);
}

} // namespace

PowerSource currentPowerSource() {
    if (platform.systemInfo == nullptr)
        return PowerSource::None;
    return powerSourceOf(platform.systemInfo->powerStatus());
}

bool chooseMode(AppState& app, ControlMode mode) {
    Settings& settings = app.settings;
    const AutomationSettings before = settings.automation;
    // Before the mode is applied, so that its save stores the choice too.
    rememberChosenMode(settings.automation, currentPowerSource(), mode);
    const bool ok = applyControlMode(app.regulation, settings, mode);
    if (settings.mode != mode)
        settings.automation = before; // refused: nothing was chosen
    return ok;
}

bool followPowerSource(AppState& app) {
    if (app.regulation.safety.suspended)
        return false;
    const PowerSource now = currentPowerSource();
    const PowerSource before = app.powerSource;
    app.powerSource = now;
    const std::optional<ControlMode> mode =
        modeForPowerSource(app.settings.automation, before, now);
    if (!mode)
        return false;
    applyControlMode(app.regulation, app.settings, *mode);
    return true;
}

void togglePowerSourceFollowing(AppState& app) {
    AutomationSettings& automation = app.settings.automation;
    automation.followPowerSource = !automation.followPowerSource;
    saveSettings(app.settings);
    if (automation.followPowerSource) {
        app.powerSource = PowerSource::None;
        followPowerSource(app);
        if (app.powerSource == PowerSource::None)
            app.regulation.notice = {text(TextId::NoticeNoBattery), false};
    }
    repaint();
}

void setPowerSourceMode(AppState& app, PowerSource source, ControlMode mode) {
    AutomationSettings& automation = app.settings.automation;
    if (source == PowerSource::Battery)
        automation.batteryMode = mode;
    else if (source == PowerSource::Mains)
        automation.mainsMode = mode;
    else
        return;
    saveSettings(app.settings);
    if (automation.followPowerSource && currentPowerSource() == source) {
        app.powerSource = source;
        applyControlMode(app.regulation, app.settings, mode);
    }
    repaint();
}
