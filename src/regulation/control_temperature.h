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

// The temperature the fans follow now, as a reading: in curve mode the curve's source, in any
// other mode the higher of CPU and GPU. Only values measured since the hardware connected,
// neither lost nor stand-ins, count; NaN when none does.
double currentControlTemperature(const RegulationState& regulation, const Settings& settings);

// The higher of the CPU and GPU readings that count as above, NaN when neither does; which,
// when given, is set to the one it is, "CPU" or "GPU".
double hottestCurrentTemperature(const RegulationState& regulation, const wchar_t** which);
