#pragma once

#include <array>

// One point of the temperature curve: a level in percent of each fan's own speed range.
struct CurvePoint {
    double temperature = 0.0; // °C
    double level = 0.0;       // 0 = the fan's minimum speed, 100 = its maximum
    bool operator==(const CurvePoint&) const = default;
};

using FanCurve = std::array<CurvePoint, 4>;

inline constexpr FanCurve DEFAULT_CURVE = {
    {{45.0, 0.0}, {60.0, 30.0}, {72.0, 60.0}, {85.0, 100.0}}};

// A new curve speed is written only when it differs from the last one written by this much.
inline constexpr double CURVE_HYSTERESIS_RPM = 45.0;

// The level in percent for a temperature; any point order is allowed.
double curveLevelAt(double temperature);

// Drives every fan of fanList by the curve; without force, changes below the hysteresis are
// skipped. False when a speed it sent did not reach the hardware.
bool applyCurve(bool force);

// Restores the default points and, in curve mode, applies them at once.
void resetCurve();
