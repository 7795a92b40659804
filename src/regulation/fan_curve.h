#pragma once

#include "regulation/regulation_state.h"
#include "settings/settings.h"

// A new curve speed is written only when it differs from the last one written by this much.
inline constexpr double CURVE_HYSTERESIS_RPM = 45.0;

// The level in percent for a temperature; any point order is allowed.
double curveLevelAt(const FanCurve& curve, double temperature);

// Drives every fan of the readings' fanList by the curve; without force, changes below the
// hysteresis are skipped. False when a speed it sent did not reach the hardware.
bool applyCurve(RegulationState& regulation, const Settings& settings, bool force);

// Restores the default points and, in curve mode, applies them at once.
void resetCurve(RegulationState& regulation, Settings& settings);
