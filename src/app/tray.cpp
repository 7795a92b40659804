#include "app/tray.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "base/bounded_format.h"
#include "platform/platform.h"

#include <utility>

std::wstring formatTrayTooltip(double rpm, double cpu, double gpu, double watts) {
    wchar_t tip[TRAY_TIP_CAPACITY];
    formatBounded(tip, TRAY_TIP_CAPACITY,
                  L"Ventrasol — %.0f RPM · CPU %.0f°C · GPU %.0f°C (%.1f W)", rpm, cpu, gpu, watts);
    return tip;
}

void addTrayIcon() {
    if (platform.windowHost == nullptr)
        return;
    appState.trayIcon.tip = TRAY_INITIAL_TIP;
    appState.trayIcon.added = true; // the record is filled even if the shell refuses it
    platform.windowHost->trayAdd(appState.trayIcon.tip);
}

void refreshTrayTooltip(double rpm, double cpu, double gpu, double watts) {
    std::wstring tip = formatTrayTooltip(rpm, cpu, gpu, watts);
    // Steady readings give the same tip; the shell need not hear of it again.
    if (tip == appState.trayIcon.tip && appState.trayIcon.added)
        return;
    appState.trayIcon.tip = std::move(tip);
    if (platform.windowHost != nullptr)
        platform.windowHost->trayModify(appState.trayIcon.tip);
}

void removeTrayIcon() {
    if (platform.windowHost != nullptr && appState.trayIcon.added)
        platform.windowHost->trayDelete();
    appState.trayIcon.added = false;
}

std::vector<MenuEntry> buildTrayMenu() {
    const ControlMode mode = appState.mode;
    auto item = [](std::uint32_t id, const wchar_t* text, bool checked) {
        return MenuEntry{id, text, checked, false};
    };
    const MenuEntry separator{0, L"", false, true};
    return {
        item(CMD_OPEN_DASHBOARD, L"Ventrasol Dashboard öffnen", false),
        separator,
        item(CMD_MODE_SYSTEM_AUTO, L"System-Automatik", mode == ControlMode::SystemAuto),
        item(CMD_MODE_CURVE, L"Temperatur-Kurve", mode == ControlMode::Curve),
        item(CMD_MODE_QUIET, L"Leise", mode == ControlMode::Quiet),
        item(CMD_MODE_BALANCED, L"Ausgewogen", mode == ControlMode::Balanced),
        item(CMD_MODE_MAX, L"Maximal (Turbo)", mode == ControlMode::Max),
        item(CMD_MODE_MANUAL, L"Manuell", mode == ControlMode::Manual),
        separator,
        item(CMD_TOGGLE_AUTOSTART, L"Mit Windows starten", appState.autostartEnabled),
        item(CMD_TOGGLE_START_MINIMIZED, L"Minimiert starten", appState.startMinimized),
        separator,
        item(CMD_EXIT, L"Beenden", false),
    };
}

void showTrayMenu() {
    if (platform.windowHost == nullptr)
        return;
    const std::vector<MenuEntry> entries = buildTrayMenu();
    platform.windowHost->setForeground();
    platform.windowHost->trackPopupMenu(entries);
}

void handleTrayEvent(std::uint32_t mouseMessage) {
    if (platform.windowHost == nullptr)
        return;
    if (mouseMessage == TRAY_EVENT_LBUTTONDBLCLK)
        platform.windowHost->showMainWindow();
    else if (mouseMessage == TRAY_EVENT_RBUTTONUP)
        showTrayMenu();
}
