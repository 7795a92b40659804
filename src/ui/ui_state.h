#pragma once

// The ui folder owns what the window remembers between paints: the scale, the regions the last
// paint recorded, the drag in progress, the tab and the chart's history. It paints a read-only
// model of the other folders' records (window_model.h) and calls base/, platform/, settings/,
// hardware/ records and the regulation's pure helpers; it never changes a setting or a fan.

#include "base/rect.h"
#include "platform/window_host.h"
#include "ui/focus.h"
#include "ui/history.h"
#include "ui/hit_region.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct UiState {
    float dpiScale = 1.0f;
    std::vector<HitRegion> hitRegions; // of the last completed paint, in drawing order
    std::array<Rect, 2> sliderRects = {};
    Rect chartRect;
    std::int32_t activeTab = 0;
    std::int32_t dragTarget = DRAG_NONE;
    // The keyboard's focus. Its ring shows once the keyboard was used (Windows' rule for focus
    // cues), and only while the window has the keyboard.
    FocusStop focus;
    bool focusCues = false;
    bool windowFocused = false;
    // Windows' high-contrast mode: painted with the system colours instead of the palette.
    ContrastMode contrast;
    // The cut text a tooltip shows in full, while the pointer stays on it.
    Rect tooltipBox;
    bool tooltipShown = false;
    // One sample per tick for the dashboard's chart, and its lines as last drawn (made at the
    // first paint of the chart; 12 KB that a program kept in the tray never needs).
    History history;
    std::unique_ptr<HistoryLines> historyLines;
};
