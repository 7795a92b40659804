#pragma once

#include "app/app_state.h"
#include "base/rect.h"
#include "fakes/recording_canvas.h"

#include <string>
#include <vector>

// Looks at one recorded paint for text that does not fit: a text wider or taller than the
// rectangle it was given, a text that reaches out of the shape it sits on (the innermost card,
// button, chart or stripe under its top-left corner), and two texts that overlap. Text is
// measured by canvas (its fixed model or the real fonts it was given). Returns one line per
// fault, empty when the paint is clean.
std::vector<std::string> findLayoutFaults(RecordingCanvas& canvas);

// Sets app to a realistic, wordy machine for the layout checks: two fans, fifteen SMC
// sensors, a full inventory with long names, a long driver status and a notice. apple false
// gives the generic PC: fans only commanded, stand-in temperatures, estimated power.
void loadLayoutScene(AppState& app, bool apple);

// Paints every tab of both scenes (every mode highlighted once) in both languages at the three
// client sizes that matter: the minimum, the default clamped to a 1280 x 800 screen and the
// design size.
// Text is measured by measurer when given, else by the fixed model. Returns the faults, each
// prefixed with scene, size and tab.
std::vector<std::string> layoutFaultsOfEveryTab(Canvas* measurer);
