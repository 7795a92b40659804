#pragma once

#include "regulation/regulation_state.h"
#include "settings/settings.h"

// The temperatures a mode is supervised by. A mode that can hold a fan below its maximum (the
// curve, the two lower profiles, manual speeds) runs only while the rules can see the machine
// warm up: the CPU temperature, and the GPU's too when the curve follows the GPU alone.

bool holdsFansBelowMaximum(ControlMode mode);

// Every temperature the mode is supervised by was measured since the hardware connected.
bool controlTemperatureMeasured(const FanSafetyState& safety, const Settings& settings,
                                ControlMode mode);

// A temperature the mode regulates by was measured and then not refreshed for several ticks:
// the curve's source, or either of CPU and GPU for the fixed modes.
bool controlTemperatureLost(const FanSafetyState& safety, const Settings& settings);
