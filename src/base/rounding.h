#pragma once

#include <cmath>

// Computed speeds are written as whole numbers, halves away from zero (2.5 -> 3, -2.5 -> -3).
inline double roundHalfAway(double value) {
    return std::round(value);
}
