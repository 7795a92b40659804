#pragma once

#include "settings/settings.h"

#include <string>

// What the regulation did that someone outside the window may need to hear of: the tray's
// notifications and the log take them after each tick (see RegulationState::events).
enum class RegulationEventKind {
    ModeApplied,     // a mode was applied (by the user, a command or a recovery); ok says whether
                     // its commands reached the hardware
    HandedBack,      // the program gave the fans to the firmware on its own; reason says why
    HandBackFailing, // a hand-back did not take: the fans may still be forced
    DriverFault,     // the hardware stopped answering for several ticks
    DriverRecovered, // it answers again
};

enum class HandBackReason {
    None,
    OverTemperature,   // temperature is the reading that caused it
    TemperatureLost,   // the temperature the mode regulates by could not be read
    NeverMeasured,     // the mode's temperature was not measured since the hardware connected
    LeftoverAtConnect, // an earlier run (or connection) left a fan forced
};

struct RegulationEvent {
    RegulationEventKind kind = RegulationEventKind::ModeApplied;
    ControlMode mode = ControlMode::SystemAuto; // the mode applied or ended
    HandBackReason reason = HandBackReason::None;
    bool ok = true;
    double temperature = 0.0; // °C, for OverTemperature
    std::wstring text;        // the notice shown with it
};
