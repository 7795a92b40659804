#include "ui/controls.h"

#include "regulation/control_modes.h"

namespace {

constexpr ControlInfo tab(int i, const wchar_t* id, const wchar_t* caption) {
    return {REGION_TAB_FIRST + i, ControlRole::TabItem, id, caption, nullptr, nullptr};
}
constexpr ControlInfo mode(int m, const wchar_t* id) {
    return {REGION_MODE_FIRST + m, ControlRole::ModeButton, id, nullptr, nullptr, nullptr};
}
constexpr ControlInfo toggle(std::int32_t region, const wchar_t* id, const wchar_t* caption,
                             bool (*on)(const WindowModel&)) {
    return {region, ControlRole::Switch, id, caption, on, nullptr};
}
constexpr ControlInfo button(std::int32_t region, const wchar_t* id, const wchar_t* caption,
                             const wchar_t* (*shows)(const WindowModel&) = nullptr) {
    return {region, ControlRole::Button, id, caption, nullptr, shows};
}

// One entry per control; the order does not matter (the paint decides the order of focus).
const ControlInfo kControls[] = {
    tab(0, L"tab.dashboard", L"Dashboard & Lüfter"),
    tab(1, L"tab.curve", L"Temperatur-Kurve"),
    tab(2, L"tab.sensors", L"Alle Sensoren"),
    tab(3, L"tab.hardware", L"Hardware & Specs"),
    tab(4, L"tab.driver", L"Treiber & Optionen"),
    tab(5, L"tab.about", L"Über Ventrasol"),
    mode(0, L"mode.auto"),
    mode(1, L"mode.curve"),
    mode(2, L"mode.quiet"),
    mode(3, L"mode.balanced"),
    mode(4, L"mode.max"),
    mode(5, L"mode.manual"),
    {REGION_SLIDER_FIRST + 0, ControlRole::Slider, L"fan1.manual", nullptr, nullptr, nullptr},
    {REGION_SLIDER_FIRST + 1, ControlRole::Slider, L"fan2.manual", nullptr, nullptr, nullptr},
    {REGION_CURVE_CHART, ControlRole::CurveChart, L"curve", nullptr, nullptr, nullptr},
    toggle(REGION_LINK_SWITCH, L"option.linkSliders", L"Lüfter-Schieberegler synchron koppeln",
           [](const WindowModel& m) { return m.settings.linkSliders; }),
    button(REGION_APPLY_MANUAL, L"button.applyManual", L"Manuelle RPM anwenden"),
    button(REGION_ACTIVATE_CURVE, L"button.curveActivate", L"Kurve aktivieren"),
    button(REGION_RESET_CURVE, L"button.curveReset", L"Zurücksetzen"),
    button(REGION_RELOAD_DRIVER, L"button.reload", L"Treiber neu laden"),
    toggle(REGION_AUTOSTART_SWITCH, L"option.autostart",
           L"Ventrasol beim Start von Windows automatisch ausführen (Autostart)",
           [](const WindowModel& m) { return m.settings.autostartEnabled; }),
    toggle(REGION_MINIMIZED_SWITCH, L"option.minimized",
           L"Beim Autostart minimiert im Windows System-Tray starten (ohne Hauptfenster)",
           [](const WindowModel& m) { return m.settings.startMinimized; }),
    toggle(REGION_RESET_ON_EXIT_SWITCH, L"option.resetOnExit",
           L"Beim Beenden der App Lüfter automatisch auf System-Standard (Auto) zurücksetzen",
           [](const WindowModel& m) { return m.settings.resetFansOnExit; }),
    toggle(REGION_TRAY_TEMPERATURE_SWITCH, L"option.trayTemperature",
           L"Temperatur im Tray-Symbol anzeigen",
           [](const WindowModel& m) { return m.settings.tray.temperatureInIcon; }),
    toggle(REGION_NOTIFICATIONS_SWITCH, L"option.notifications",
           L"Benachrichtigungen bei Übergabe der Lüfter, stehendem Lüfter, Temperatur-Alarm und "
           L"Treiber-Fehler",
           [](const WindowModel& m) { return m.settings.tray.notifications; }),
    // The stepper's faces show "−" and "+"; these are their names.
    button(REGION_ALARM_DOWN, L"button.alarmDown", L"Temperatur-Alarm 1 °C niedriger"),
    button(REGION_ALARM_UP, L"button.alarmUp", L"Temperatur-Alarm 1 °C höher"),
    toggle(REGION_POWER_SOURCE_SWITCH, L"option.followPowerSource",
           L"Bei Akkubetrieb / am Netzteil automatisch wechseln",
           [](const WindowModel& m) { return m.settings.automation.followPowerSource; }),
    button(REGION_BATTERY_MODE, L"button.batteryMode", L"Im Akkubetrieb",
           [](const WindowModel& m) { return controlModeName(m.settings.automation.batteryMode); }),
    button(REGION_MAINS_MODE, L"button.mainsMode", L"Am Netzteil",
           [](const WindowModel& m) { return controlModeName(m.settings.automation.mainsMode); }),
    toggle(REGION_CSV_LOG_SWITCH, L"option.csvLog", L"Messwerte protokollieren (CSV)",
           [](const WindowModel& m) { return m.settings.automation.csvLog; }),
    button(REGION_OPEN_LOG_FOLDER, L"button.openLogFolder", L"Protokollordner öffnen"),
};

} // namespace

const ControlInfo* controlInfo(std::int32_t region) {
    for (const ControlInfo& c : kControls)
        if (c.region == region)
            return &c;
    return nullptr;
}

const wchar_t* controlCaption(std::int32_t region) {
    const ControlInfo* c = controlInfo(region);
    return c != nullptr && c->caption != nullptr ? c->caption : L"";
}
