#pragma once

#include "app/app_state.h"
#include "regulation/power_source_rule.h"

// The user's mode choices and the power source they follow.

// The source the machine runs on now; None without a battery, without a reading and without
// the seam.
PowerSource currentPowerSource();

// A mode the user chose (a mode button, the tray, "Kurve aktivieren", "Manuelle RPM
// anwenden", the command line): applied as always, and, when it took, remembered as the mode
// of the power source the machine runs on. True when the mode took.
bool chooseMode(AppState& app, ControlMode mode);

// Reads the power source and applies its mode when the source changed since it was last read
// (at start every known source counts as a change). True when a mode was applied. Nothing is
// read while the machine is going to sleep: the wake reads it.
bool followPowerSource(AppState& app);

// The option "Bei Akkubetrieb / am Netzteil automatisch wechseln": switched on, the mode of
// the present source is applied at once, as at start; a machine without a battery says that it
// will not switch.
void togglePowerSourceFollowing(AppState& app);

// The mode chosen for source on the options tab; applied at once when the machine runs on that
// source and the switching is on.
void setPowerSourceMode(AppState& app, PowerSource source, ControlMode mode);
