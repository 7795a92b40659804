#pragma once

// The settings folder owns the user's choices: the record below, its registry encoding
// (registry_settings) and the logon task (autostart). It calls only base/ and platform/.

#include <array>
#include <cstdint>

// The six ways the fans can be driven; stored as a 32-bit value.
enum class ControlMode : std::int32_t {
    SystemAuto = 0,
    Curve = 1,
    Quiet = 2,
    Balanced = 3,
    Max = 4,
    Manual = 5,
};

// One point of the temperature curve: a level in percent of each fan's own speed range.
struct CurvePoint {
    double temperature = 0.0; // °C
    double level = 0.0;       // 0 = the fan's minimum speed, 100 = its maximum
    bool operator==(const CurvePoint&) const = default;
};

using FanCurve = std::array<CurvePoint, 4>;

inline constexpr FanCurve DEFAULT_CURVE = {
    {{45.0, 0.0}, {60.0, 30.0}, {72.0, 60.0}, {85.0, 100.0}}};

// What the notification area shows and says (see settings/tray_options.h).
struct TrayOptions {
    bool temperatureInIcon = true;  // the control temperature as the icon's picture
    bool notifications = true;      // balloon notifications when something needs attention
    std::int32_t alarmCelsius = 90; // a temperature this high for a while raises an alarm
    bool operator==(const TrayOptions&) const = default;
};

// The language the program speaks: Windows' own (German for a German Windows, else English)
// unless the user chose one.
enum class LanguageChoice : std::uint8_t { Automatic, German, English };

// Switching modes by the power source, and the measurement log.
struct AutomationSettings {
    bool followPowerSource = false;
    ControlMode batteryMode = ControlMode::Quiet;
    // The mode last chosen while on mains, remembered whether or not the switching is on.
    ControlMode mainsMode = ControlMode::SystemAuto;
    bool csvLog = false;
};

// What the user chose, as stored under the settings key (the autostart as the logon task).
struct Settings {
    bool resetFansOnExit = true;
    bool startMinimized = true;
    bool linkSliders = true;
    bool autostartEnabled = false;
    // The logon task is looked up after the window appears; until it answered, the switch is
    // neither on nor off and cannot be flipped.
    bool autostartPending = false;

    ControlMode mode = ControlMode::SystemAuto; // saved, never read back
    std::int32_t curveSource = 0;               // 0 max(CPU, GPU), 1 CPU, 2 GPU
    FanCurve curve = DEFAULT_CURVE;
    std::array<double, 2> manualRpm = {2200.0, 2000.0};

    TrayOptions tray;
    AutomationSettings automation;
    LanguageChoice language = LanguageChoice::Automatic;
};
