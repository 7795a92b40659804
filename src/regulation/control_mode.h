#pragma once

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
