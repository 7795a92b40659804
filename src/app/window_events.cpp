#include "app/window_events.h"

#include "app/app_tick.h"
#include "app/commands.h"
#include "app/measurement_log.h"
#include "app/power_source_follow.h"
#include "app/tray.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/fan_commands.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"
#include "ui/dpi_scale.h"

#include <chrono>
#include <thread>

namespace {

WindowHost* host() {
    return platform.windowHost;
}

void repaint(bool erase) {
    if (host())
        host()->invalidate(erase);
}

} // namespace

void onWindowCreated() {
    if (host())
        host()->setTimer(TICK_TIMER_ID, TICK_PERIOD_MS);
}

void handleCommand(AppState& app, std::uint32_t id) {
    RegulationState& regulation = app.regulation;
    Settings& settings = app.settings;
    switch (id) {
    case CMD_OPEN_DASHBOARD:
        if (host())
            host()->showMainWindow();
        return;
    case CMD_MODE_SYSTEM_AUTO:
        chooseMode(app, ControlMode::SystemAuto);
        return;
    case CMD_MODE_CURVE:
        chooseMode(app, ControlMode::Curve);
        return;
    case CMD_MODE_QUIET:
        chooseMode(app, ControlMode::Quiet);
        return;
    case CMD_MODE_BALANCED:
        chooseMode(app, ControlMode::Balanced);
        return;
    case CMD_MODE_MAX:
        chooseMode(app, ControlMode::Max);
        return;
    case CMD_MODE_MANUAL:
        chooseMode(app, ControlMode::Manual);
        return;
    case CMD_TOGGLE_AUTOSTART:
        // The state to flip is not known before the task was looked up: flipped then.
        if (settings.autostartPending)
            app.autostartToggleQueued = !app.autostartToggleQueued;
        else
            setAutostart(settings, regulation.notice, !settings.autostartEnabled);
        repaint(false);
        return;
    case CMD_TOGGLE_START_MINIMIZED:
        toggleStartMinimized(settings, regulation.notice);
        repaint(false);
        return;
    case CMD_TOGGLE_TRAY_TEMPERATURE:
        toggleTrayTemperature(app);
        return;
    case CMD_EXIT:
        if (host())
            host()->destroyWindow();
        return;
    default:
        break;
    }
    if (id >= CMD_BATTERY_MODE_FIRST && id < CMD_BATTERY_MODE_FIRST + 6)
        setPowerSourceMode(app, PowerSource::Battery,
                           static_cast<ControlMode>(id - CMD_BATTERY_MODE_FIRST));
    else if (id >= CMD_MAINS_MODE_FIRST && id < CMD_MAINS_MODE_FIRST + 6)
        setPowerSourceMode(app, PowerSource::Mains,
                           static_cast<ControlMode>(id - CMD_MAINS_MODE_FIRST));
}

void onTimer(AppState& app, std::uintptr_t timerId) {
    if (timerId != TICK_TIMER_ID)
        return;
    tickApp(app);
    repaint(false);
}

void onDpiChanged(AppState& app, const Rect* suggested) {
    app.ui.dpiScale = queryDpiScale();
    if (host() && suggested)
        host()->setWindowRect(*suggested);
    repaint(true);
}

void onDisplaySettingsChanged(AppState& app) {
    if (!host())
        return;
    const ContrastMode mode = host()->contrastMode();
    if (mode == app.ui.contrast)
        return;
    app.ui.contrast = mode;
    repaint(false);
}

void onWindowFocus(AppState& app, bool focused) {
    if (app.ui.windowFocused == focused)
        return;
    app.ui.windowFocused = focused;
    if (app.ui.focusCues)
        repaint(false);
}

void onFocusCues(AppState& app, bool shown) {
    if (app.ui.focusCues == shown)
        return;
    app.ui.focusCues = shown;
    if (app.ui.windowFocused)
        repaint(false);
}

void onSessionEnd(AppState& app, bool ending) {
    // Another program may cancel the shutdown; the session then goes on, and so does the program.
    if (ending)
        runExitSequence(app);
}

void onTaskbarCreated(const TrayIconState& icon) {
    // The host adds it with the picture it showed, the temperature included.
    if (host() && icon.added)
        host()->trayAdd(icon.tip);
}

void runExitSequence(AppState& app) {
    app.exitSequenceRan = true;
    if (host())
        host()->killTimer(TICK_TIMER_ID);
    if (app.settings.resetFansOnExit && app.regulation.controller) {
        // A driver that is briefly busy gets a second chance: leaving the fans forced is worse
        // than a second's delay at exit.
        const auto deadline = std::chrono::steady_clock::now() + EXIT_HANDBACK_RETRY;
        while (!handFansBack(app.regulation) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The last rows of the log; the fans were seen to first.
    closeLog(app.measurementLog, LOG_EXIT_WAIT);
    // Also marks the icon as gone, so a later taskbar restart does not bring it back.
    removeTrayIcon(app.trayIcon);
    if (host())
        host()->postQuit(0);
}
