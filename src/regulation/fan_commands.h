#pragma once

#include "regulation/regulation_state.h"

#include <cstddef>

// Every speed the regulation sends and every hand-back go through here, so that the fail-safe
// rules know what the fans were asked to do and whether the hardware took it.

// Commands fan index to rpm through the backend. Refused while the machine is going to sleep.
// The speed counts as commanded only when the backend took it (a backend that fails releases
// the fan).
bool commandFanRpm(RegulationState& regulation, std::size_t index, double rpm);

// Gives every fan back to the firmware through the backend; false when that could not be sent.
bool handFansBack(RegulationState& regulation);

// After one round of commands to the fans: the commands are failing when any of them failed,
// whatever the others did.
void noteCommands(FanSafetyState& safety, bool allTaken);
