#pragma once

#include "platform/system_info.h"
#include "settings/settings.h"

#include <optional>

// Which mode follows from the power source. A machine that reports no battery, or a state it
// cannot read, has no source to follow: it never switches.
enum class PowerSource {
    None,
    Battery,
    Mains,
};

PowerSource powerSourceOf(const PowerStatus& status);

// The mode to apply now that the machine runs on now (before: the source last seen, None at
// start and when the switching was just turned on); nothing while the switching is off, the
// source is unknown or did not change.
std::optional<ControlMode> modeForPowerSource(const AutomationSettings& automation,
                                              PowerSource before, PowerSource now);

// A mode the user chose while on source becomes that source's mode: the battery's only while
// the switching is on, the mains' always (its default is the last mode chosen on mains).
void rememberChosenMode(AutomationSettings& automation, PowerSource source, ControlMode mode);
