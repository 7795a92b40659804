#include "app/window_events.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "app/tray.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/control_modes.h"
#include "regulation/fan_commands.h"
#include "regulation/periodic_tick.h"
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

void handleCommand(std::uint32_t id) {
    switch (id) {
    case CMD_OPEN_DASHBOARD:
        if (host())
            host()->showMainWindow();
        return;
    case CMD_MODE_SYSTEM_AUTO:
        applyControlMode(ControlMode::SystemAuto);
        return;
    case CMD_MODE_CURVE:
        applyControlMode(ControlMode::Curve);
        return;
    case CMD_MODE_QUIET:
        applyControlMode(ControlMode::Quiet);
        return;
    case CMD_MODE_BALANCED:
        applyControlMode(ControlMode::Balanced);
        return;
    case CMD_MODE_MAX:
        applyControlMode(ControlMode::Max);
        return;
    case CMD_MODE_MANUAL:
        applyControlMode(ControlMode::Manual);
        return;
    case CMD_TOGGLE_AUTOSTART:
        setAutostart(!appState.autostartEnabled);
        repaint(false);
        return;
    case CMD_TOGGLE_START_MINIMIZED:
        toggleStartMinimized();
        repaint(false);
        return;
    case CMD_EXIT:
        if (host())
            host()->destroyWindow();
        return;
    default:
        return;
    }
}

void onTimer(std::uintptr_t timerId) {
    if (timerId != TICK_TIMER_ID)
        return;
    runTick();
    repaint(false);
}

void onDpiChanged(const Rect* suggested) {
    queryDpiScale();
    if (host() && suggested)
        host()->setWindowRect(*suggested);
    repaint(true);
}

void onSessionEnd(bool ending) {
    // Another program may cancel the shutdown; the session then goes on, and so does the program.
    if (ending)
        runExitSequence();
}

void onTaskbarCreated() {
    if (host() && appState.trayIcon.added)
        host()->trayAdd(appState.trayIcon.tip);
}

void runExitSequence() {
    appState.safety.exitSequenceRan = true;
    if (host())
        host()->killTimer(TICK_TIMER_ID);
    if (appState.resetFansOnExit && appState.controller) {
        // A driver that is briefly busy gets a second chance: leaving the fans forced is worse
        // than a second's delay at exit.
        const auto deadline = std::chrono::steady_clock::now() + EXIT_HANDBACK_RETRY;
        while (!handFansBack() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Also marks the icon as gone, so a later taskbar restart does not bring it back.
    removeTrayIcon();
    if (host())
        host()->postQuit(0);
}
