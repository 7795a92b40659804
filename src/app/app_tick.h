#pragma once

#include "app/app_state.h"

// One tick of the whole program: the regulation's tick, then a sample for the chart, then the
// tray's tooltip and icon once the icon exists, the notifications and the measurement log;
// last, the regulation's events are cleared, every reader having seen them. The caller repaints.
void tickApp(AppState& app);
