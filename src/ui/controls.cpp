#include "ui/controls.h"

#include "regulation/control_modes.h"

namespace {

constexpr ControlInfo tab(int i, const wchar_t* id, TextId caption) {
    return {REGION_TAB_FIRST + i, ControlRole::TabItem, id, caption, nullptr, nullptr};
}
constexpr ControlInfo mode(int m, const wchar_t* id) {
    return {REGION_MODE_FIRST + m, ControlRole::ModeButton, id, NO_CAPTION, nullptr, nullptr};
}
constexpr ControlInfo toggle(std::int32_t region, const wchar_t* id, TextId caption,
                             bool (*on)(const WindowModel&)) {
    return {region, ControlRole::Switch, id, caption, on, nullptr};
}
constexpr ControlInfo button(std::int32_t region, const wchar_t* id, TextId caption,
                             const wchar_t* (*shows)(const WindowModel&) = nullptr) {
    return {region, ControlRole::Button, id, caption, nullptr, shows};
}

// One entry per control; the order does not matter (the paint decides the order of focus).
const ControlInfo kControls[] = {
    tab(0, L"tab.dashboard", TextId::TabDashboard),
    tab(1, L"tab.curve", TextId::TabCurve),
    tab(2, L"tab.sensors", TextId::TabSensors),
    tab(3, L"tab.hardware", TextId::TabHardware),
    tab(4, L"tab.driver", TextId::TabDriver),
    tab(5, L"tab.about", TextId::TabAbout),
    mode(0, L"mode.auto"),
    mode(1, L"mode.curve"),
    mode(2, L"mode.quiet"),
    mode(3, L"mode.balanced"),
    mode(4, L"mode.max"),
    mode(5, L"mode.manual"),
    {REGION_SLIDER_FIRST + 0, ControlRole::Slider, L"fan1.manual", NO_CAPTION, nullptr, nullptr},
    {REGION_SLIDER_FIRST + 1, ControlRole::Slider, L"fan2.manual", NO_CAPTION, nullptr, nullptr},
    {REGION_CURVE_CHART, ControlRole::CurveChart, L"curve", NO_CAPTION, nullptr, nullptr},
    toggle(REGION_LINK_SWITCH, L"option.linkSliders", TextId::LinkSliders,
           [](const WindowModel& m) { return m.settings.linkSliders; }),
    button(REGION_APPLY_MANUAL, L"button.applyManual", TextId::ApplyManual),
    button(REGION_ACTIVATE_CURVE, L"button.curveActivate", TextId::ActivateCurve),
    button(REGION_RESET_CURVE, L"button.curveReset", TextId::ResetCurve),
    button(REGION_RELOAD_DRIVER, L"button.reload", TextId::ReloadDriver),
    toggle(REGION_AUTOSTART_SWITCH, L"option.autostart", TextId::AutostartOption,
           [](const WindowModel& m) { return m.settings.autostartEnabled; }),
    toggle(REGION_MINIMIZED_SWITCH, L"option.minimized", TextId::MinimizedOption,
           [](const WindowModel& m) { return m.settings.startMinimized; }),
    toggle(REGION_RESET_ON_EXIT_SWITCH, L"option.resetOnExit", TextId::ResetOnExitOption,
           [](const WindowModel& m) { return m.settings.resetFansOnExit; }),
    toggle(REGION_TRAY_TEMPERATURE_SWITCH, L"option.trayTemperature", TextId::TrayTemperatureOption,
           [](const WindowModel& m) { return m.settings.tray.temperatureInIcon; }),
    toggle(REGION_NOTIFICATIONS_SWITCH, L"option.notifications", TextId::NotificationsOption,
           [](const WindowModel& m) { return m.settings.tray.notifications; }),
    // The stepper's faces show "−" and "+"; these are their names.
    button(REGION_ALARM_DOWN, L"button.alarmDown", TextId::AlarmDown),
    button(REGION_ALARM_UP, L"button.alarmUp", TextId::AlarmUp),
    toggle(REGION_POWER_SOURCE_SWITCH, L"option.followPowerSource", TextId::PowerSourceOption,
           [](const WindowModel& m) { return m.settings.automation.followPowerSource; }),
    button(REGION_BATTERY_MODE, L"button.batteryMode", TextId::BatteryMode,
           [](const WindowModel& m) { return controlModeName(m.settings.automation.batteryMode); }),
    button(REGION_MAINS_MODE, L"button.mainsMode", TextId::MainsMode,
           [](const WindowModel& m) { return controlModeName(m.settings.automation.mainsMode); }),
    toggle(REGION_CSV_LOG_SWITCH, L"option.csvLog", TextId::CsvLogOption,
           [](const WindowModel& m) { return m.settings.automation.csvLog; }),
    button(REGION_OPEN_LOG_FOLDER, L"button.openLogFolder", TextId::OpenLogFolder),
    button(REGION_LANGUAGE, L"button.language", TextId::LanguageOption,
           [](const WindowModel& m) { return languageChoiceName(m.settings.language); }),
};

} // namespace

const ControlInfo* controlInfo(std::int32_t region) {
    for (const ControlInfo& c : kControls)
        if (c.region == region)
            return &c;
    return nullptr;
}

const wchar_t* captionOf(const ControlInfo& control) {
    return control.caption == NO_CAPTION ? nullptr : text(control.caption);
}

const wchar_t* controlCaption(std::int32_t region) {
    const ControlInfo* c = controlInfo(region);
    const wchar_t* caption = c != nullptr ? captionOf(*c) : nullptr;
    return caption != nullptr ? caption : L"";
}

const wchar_t* languageChoiceName(LanguageChoice choice) {
    switch (choice) {
    case LanguageChoice::German:
        return text(TextId::LanguageGerman);
    case LanguageChoice::English:
        return text(TextId::LanguageEnglish);
    case LanguageChoice::Automatic:
    default:
        return text(TextId::LanguageAutomatic);
    }
}
