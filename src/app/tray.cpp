#include "app/tray.h"

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

void addTrayIcon(TrayIconState& icon) {
    if (platform.windowHost == nullptr)
        return;
    icon.tip = TRAY_INITIAL_TIP;
    icon.added = true; // the record is filled even if the shell refuses it
    platform.windowHost->trayAdd(icon.tip);
}

void refreshTrayTooltip(TrayIconState& icon, double rpm, double cpu, double gpu, double watts) {
    std::wstring tip = formatTrayTooltip(rpm, cpu, gpu, watts);
    // Steady readings give the same tip; the shell need not hear of it again.
    if (tip == icon.tip && icon.added)
        return;
    icon.tip = std::move(tip);
    if (platform.windowHost != nullptr)
        platform.windowHost->trayModify(icon.tip);
}

void removeTrayIcon(TrayIconState& icon) {
    if (platform.windowHost != nullptr && icon.added)
        platform.windowHost->trayDelete();
    icon.added = false;
}

std::vector<MenuEntry> buildTrayMenu(const Settings& settings) {
    const ControlMode mode = settings.mode;
    auto item = [](std::uint32_t id, const wchar_t* text, bool checked) {
        return MenuEntry{id, text, checked, false};
    };
    MenuEntry autostart = item(CMD_TOGGLE_AUTOSTART, L"Mit Windows starten",
                               settings.autostartEnabled && !settings.autostartPending);
    autostart.disabled = settings.autostartPending;
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
        autostart,
        item(CMD_TOGGLE_START_MINIMIZED, L"Minimiert starten", settings.startMinimized),
        separator,
        item(CMD_EXIT, L"Beenden", false),
    };
}

void showTrayMenu(const Settings& settings) {
    if (platform.windowHost == nullptr)
        return;
    const std::vector<MenuEntry> entries = buildTrayMenu(settings);
    platform.windowHost->setForeground();
    platform.windowHost->trackPopupMenu(entries);
}

void handleTrayEvent(const Settings& settings, std::uint32_t mouseMessage) {
    if (platform.windowHost == nullptr)
        return;
    if (mouseMessage == TRAY_EVENT_LBUTTONDBLCLK)
        platform.windowHost->showMainWindow();
    else if (mouseMessage == TRAY_EVENT_RBUTTONUP)
        showTrayMenu(settings);
}
