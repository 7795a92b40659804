#pragma once

#include "base/notice.h"
#include "base/texts.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

// The display name of a mode ("System-Auto" for any value outside 0..5), in the language the
// program speaks, and the id of that name for a text that must stay in one language.
const wchar_t* controlModeName(ControlMode mode);
TextId controlModeText(ControlMode mode);

// Switches to mode: forgets the curve's last speeds, commands every fan once through the
// backend, sets the notice, saves all settings and repaints. Without a backend only the mode
// and the curve memory change. True when the mode took: its commands reached the hardware.
// False when they did not, when the mode was refused (no temperature measured yet) and when
// there is no backend to command.
bool applyControlMode(RegulationState& regulation, Settings& settings, ControlMode mode);

// Sends the fan commands of mode (the curve with or without its hysteresis) and nothing else:
// no notice, no saving. False when any command did not reach the hardware.
bool commandMode(RegulationState& regulation, const Settings& settings, ControlMode mode,
                 bool force);

// The error notice for a mode whose fan commands failed.
void showModeFailure(Notice& notice, ControlMode mode);
