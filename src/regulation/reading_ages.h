#pragma once

#include "hardware/hardware_records.h"
#include "regulation/regulation_state.h"

#include <cstdint>
#include <vector>

// A value the backend has not refreshed for this many ticks is lost: it is shown as "--" and
// no longer drives the fans.
inline constexpr std::int32_t READING_LOST_TICKS = 5;

// Takes one tick's answer from the backend. A summary value that is not a number, and a sensor
// row missing from fresh, was not refreshed this tick; the state keeps its last value and ages
// it. Rows follow the backend's order; one it did not answer for follows them until it is
// answered again.
void refreshReadings(RegulationState& regulation, double cpu, double gpu, double power,
                     const std::vector<SensorReading>& fresh);
