#pragma once

#include "platform/canvas.h"
#include "ui/ui_state.h"
#include "ui/window_model.h"

// Where a tab's content goes: W is the content width (cards span x = 243 .. W + 243),
// H the client height and B the y of the first content card (below the notice when shown).
struct ContentLayout {
    int W = 320;
    int H = 0;
    int B = 102;
};

// Each tab's painter records its regions in ui.hitRegions and reads the model only.
void paintDashboardTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                       const WindowModel& model); // tab 0
void paintCurveTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                   const WindowModel& model); // tab 1
void paintSensorsTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                     const WindowModel& model); // tab 2
void paintHardwareTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                      const WindowModel& model); // tab 3
void paintDriverTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                    const WindowModel& model); // tab 4
void paintAboutTab(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                   const WindowModel& model); // tab 5
