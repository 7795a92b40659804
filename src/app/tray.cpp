#include "app/tray.h"

#include "app/commands.h"
#include "app/taskbar_theme.h"
#include "app/tray_icon_image.h"
#include "base/bounded_format.h"
#include "base/texts.h"
#include "platform/platform.h"
#include "regulation/control_temperature.h"
#include "settings/registry_settings.h"

#include <cmath>
#include <utility>

namespace {

// "61°C", or "--" when the value is no reading.
void formatTemperature(wchar_t* out, std::size_t capacity, double celsius, bool none) {
    if (none || std::isnan(celsius))
        copyBounded(out, capacity, L"--");
    else
        formatBounded(out, capacity, L"%.0f°C", celsius);
}

WindowHost* host() {
    return platform.windowHost;
}

} // namespace

std::wstring formatTrayTooltip(const Readings& r) {
    const ReadingQuality& q = r.quality;
    wchar_t cpu[32];
    wchar_t gpu[32];
    wchar_t power[40];
    formatTemperature(cpu, 32, r.cpuTemp, r.cpuTempLost || q.cpuTempFallback);
    formatTemperature(gpu, 32, r.gpuTemp, r.gpuTempLost || q.gpuTempFallback);
    if (r.powerLost || std::isnan(r.powerWatts))
        copyBounded(power, 40, L"--");
    else
        formatBounded(power, 40, q.powerEstimated ? L"~%.1f W" : L"%.1f W", r.powerWatts);

    wchar_t tip[TRAY_TIP_CAPACITY];
    formatBounded(tip, TRAY_TIP_CAPACITY, L"Ventrasol — CPU %ls · GPU %ls · %ls", cpu, gpu, power);
    std::wstring text = tip;
    for (std::size_t i = 0; i < r.fanList.size(); ++i) {
        const FanChannel& fan = r.fanList[i];
        wchar_t line[64];
        if (fan.measured && !std::isnan(fan.currentRpm))
            formatBounded(line, 64, ::text(TextId::TrayFanSpeed), static_cast<int>(i) + 1,
                          fan.currentRpm);
        else
            formatBounded(line, 64, ::text(TextId::TrayFanLost), static_cast<int>(i) + 1);
        const std::wstring next = line;
        if (text.size() + next.size() > TRAY_TIP_CAPACITY - 1)
            break;
        text += next;
    }
    return text;
}

void addTrayIcon(TrayIconState& icon) {
    if (host() == nullptr)
        return;
    icon.tip = text(TextId::TrayStarting);
    icon.face = TrayIconFace{};
    icon.lightTaskbar = taskbarUsesLightTheme();
    icon.added = true; // the record is filled even if the shell refuses it
    host()->trayAdd(icon.tip);
}

void refreshTrayTooltip(TrayIconState& icon, const Readings& readings) {
    std::wstring tip = formatTrayTooltip(readings);
    // Steady readings give the same tip; the shell need not hear of it again.
    if (tip == icon.tip && icon.added)
        return;
    icon.tip = std::move(tip);
    if (host() != nullptr)
        host()->trayModify(icon.tip);
}

void refreshTrayIcon(TrayIconState& icon, const Settings& settings,
                     const RegulationState& regulation) {
    if (!icon.added || host() == nullptr)
        return;
    const double celsius = settings.tray.temperatureInIcon
                               ? currentControlTemperature(regulation, settings)
                               : std::nan("");
    const TrayIconFace face = trayIconFace(celsius, icon.lightTaskbar, host()->trayIconSize());
    if (face == icon.face)
        return;
    bool shown = false;
    if (face.text.empty()) {
        shown = host()->traySetIcon(nullptr);
    } else {
        const TrayIconImage image = drawTrayIconImage(face);
        shown = host()->traySetIcon(&image);
    }
    if (shown)
        icon.face = face;
}

void onTrayLookChanged(AppState& app) {
    if (!app.trayIcon.added)
        return;
    app.trayIcon.lightTaskbar = taskbarUsesLightTheme();
    refreshTrayIcon(app.trayIcon, app.settings, app.regulation);
}

void removeTrayIcon(TrayIconState& icon) {
    if (host() != nullptr && icon.added)
        host()->trayDelete();
    icon.added = false;
    icon.face = TrayIconFace{};
}

std::vector<MenuEntry> buildTrayMenu(const Settings& settings) {
    const ControlMode mode = settings.mode;
    auto item = [](std::uint32_t id, TextId caption, bool checked) {
        return MenuEntry{id, text(caption), checked, false};
    };
    MenuEntry autostart = item(CMD_TOGGLE_AUTOSTART, TextId::MenuAutostart,
                               settings.autostartEnabled && !settings.autostartPending);
    autostart.disabled = settings.autostartPending;
    const MenuEntry separator{0, L"", false, true};
    return {
        item(CMD_OPEN_DASHBOARD, TextId::MenuOpen, false),
        separator,
        item(CMD_MODE_SYSTEM_AUTO, TextId::MenuSystemAuto, mode == ControlMode::SystemAuto),
        item(CMD_MODE_CURVE, TextId::ModeCurve, mode == ControlMode::Curve),
        item(CMD_MODE_QUIET, TextId::ModeQuiet, mode == ControlMode::Quiet),
        item(CMD_MODE_BALANCED, TextId::ModeBalanced, mode == ControlMode::Balanced),
        item(CMD_MODE_MAX, TextId::ModeMax, mode == ControlMode::Max),
        item(CMD_MODE_MANUAL, TextId::MenuManual, mode == ControlMode::Manual),
        separator,
        autostart,
        item(CMD_TOGGLE_START_MINIMIZED, TextId::MenuStartMinimized, settings.startMinimized),
        item(CMD_TOGGLE_TRAY_TEMPERATURE, TextId::TrayTemperatureOption,
             settings.tray.temperatureInIcon),
        separator,
        item(CMD_EXIT, TextId::MenuExit, false),
    };
}

void showTrayMenu(const Settings& settings) {
    if (host() == nullptr)
        return;
    const std::vector<MenuEntry> entries = buildTrayMenu(settings);
    host()->setForeground();
    host()->trackPopupMenu(entries);
}

void handleTrayEvent(AppState& app, std::uint32_t mouseMessage) {
    if (host() == nullptr)
        return;
    if (mouseMessage == TRAY_EVENT_LBUTTONDBLCLK) {
        host()->showMainWindow();
    } else if (mouseMessage == TRAY_EVENT_BALLOON_CLICK) {
        // What the notification spoke of is on the dashboard.
        app.ui.activeTab = 0;
        host()->showMainWindow();
        host()->invalidate(false);
    } else if (mouseMessage == TRAY_EVENT_RBUTTONUP) {
        showTrayMenu(app.settings);
    }
}

void toggleTrayTemperature(AppState& app) {
    app.settings.tray.temperatureInIcon = !app.settings.tray.temperatureInIcon;
    saveSettings(app.settings);
    refreshTrayIcon(app.trayIcon, app.settings, app.regulation);
    if (host() != nullptr)
        host()->invalidate(false);
}
