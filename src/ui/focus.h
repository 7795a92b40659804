#pragma once

#include "base/rect.h"
#include "ui/hit_region.h"
#include "ui/window_model.h"

#include <cstdint>
#include <vector>

// Where the keyboard's focus can be: one stop for the tab list, one for the mode group, then
// the current page's controls in the order they were painted (their reading order); the curve
// editor gives one stop per point. A stop is named by the region id of its control.
struct FocusStop {
    std::int32_t id = REGION_TAB_FIRST;
    // The mode in the mode group, the point of the curve, the region's arg elsewhere; unused
    // for the tab list, which always stands on the tab shown.
    std::int32_t arg = 0;
    bool operator==(const FocusStop&) const = default;
};

// Whether two stops are the same place in the order (a group is one stop, whatever it holds).
bool sameStop(const FocusStop& a, const FocusStop& b);

// The stops of a paint's regions, in order; the mode group's arg is currentMode.
std::vector<FocusStop> focusStops(const std::vector<HitRegion>& regions, std::int32_t currentMode);

// The stop after (or before) current, round the end; the first (or last) stop when current is
// not among them. current itself when there are no stops.
FocusStop nextStop(const std::vector<FocusStop>& stops, const FocusStop& current, bool forward);

// The rectangle the focus ring goes around: the stop's control as last painted, or the point
// on the chart; empty when the stop is not on the page.
Rect focusRect(const FocusStop& stop, const std::vector<HitRegion>& regions, std::int32_t activeTab,
               const Rect& chart, const WindowModel& model);
