#pragma once

#include "base/color.h"
#include "ui/window_model.h"

// The backend's state in a word and its colour: the live-status block shows it, and the driver
// tab's status line takes the colour, so that both say the same.
struct BackendState {
    const wchar_t* word;
    Color color;
};

// "Offline" without a connected backend, "Treiber-Fehler" while the hardware does not answer;
// for a backend that drives no fan "Nur Anzeige", or "Keine Sensoren" when none of its sources
// answers; else "Treiber OK".
BackendState backendState(const WindowModel& model);
