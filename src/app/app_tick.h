#pragma once

#include "app/app_state.h"

// One tick of the whole program: the regulation's tick, then a sample for the chart, then the
// tray's tooltip once the icon exists. The caller repaints.
void tickApp(AppState& app);
