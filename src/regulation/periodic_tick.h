#pragma once

#include "regulation/regulation_state.h"
#include "settings/settings.h"

// One poll: refreshes the fans and the readings from the backend, guards the fans and lets the
// curve regulate in curve mode. The caller records the history, refreshes the tray and
// repaints.
void runTick(RegulationState& regulation, Settings& settings);
