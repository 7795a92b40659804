#pragma once

#include "app/app_state.h"

// One tick of the whole program: the regulation's tick, then a sample for the chart, the
// tray's tooltip once the icon exists and the measurement log; then the regulation's events
// are done with. The caller repaints.
void tickApp(AppState& app);
