#pragma once

#include "regulation/regulation_state.h"
#include "settings/settings.h"

#include <cstdint>

// The rules that take the fans back from the program when it can no longer be sure it is in
// control of them. None of them can be switched off by a setting.

// A CPU or GPU temperature at or above this, read on this many ticks in a row, ends any mode
// that keeps a fan below its maximum.
inline constexpr double OVER_TEMPERATURE_C = 95.0;
inline constexpr std::int32_t OVER_TEMPERATURE_TICKS = 3;
// After this many failed ticks in a row the status shows a driver error.
inline constexpr std::int32_t DRIVER_FAULT_TICKS = 5;
// A fan the firmware took back, or a refused command, is sent again at most once in this many
// ticks.
inline constexpr std::int32_t RECOMMAND_INTERVAL_TICKS = 5;

// Counts a tick as failed when its reads failed or the fan commands are failing.
void noteTickOutcome(RegulationState& regulation, bool readsSucceeded);

// After the readings of a tick: hands the fans back when the control temperature is lost, was
// never measured since the hardware connected, or the machine runs too hot, and commands again
// a fan the firmware took back or a command that failed. In System-Auto a fan that still reads
// as forced is handed back again, at most once in RECOMMAND_INTERVAL_TICKS, until all read
// automatic. Ending the mode is saved like a choice of the user's, so it writes the settings.
void guardFans(RegulationState& regulation, Settings& settings);

// Right after every connect: a fan still forced (by an earlier run, or before a reconnect) is
// handed back.
void reconcileFansAtConnect(RegulationState& regulation, const Settings& settings);
