#include "ui/focus.h"

#include "ui/controls.h"
#include "ui/curve_geometry.h"

#include <algorithm>

namespace {

bool isGroup(std::int32_t id) {
    return id == REGION_TAB_FIRST || id == REGION_MODE_FIRST;
}

// A curve point's ring: the drawn point (14 pixels) with room around it.
constexpr int kPointRing = 9;

} // namespace

bool sameStop(const FocusStop& a, const FocusStop& b) {
    return a.id == b.id && (isGroup(a.id) || a.arg == b.arg);
}

std::vector<FocusStop> focusStops(const std::vector<HitRegion>& regions, std::int32_t currentMode) {
    std::vector<FocusStop> stops;
    bool tabs = false, modes = false;
    for (const HitRegion& r : regions) {
        const ControlInfo* c = controlInfo(r.id);
        if (c == nullptr)
            continue;
        switch (c->role) {
        case ControlRole::TabItem:
            if (!tabs)
                stops.push_back({REGION_TAB_FIRST, 0});
            tabs = true;
            break;
        case ControlRole::ModeButton:
            if (!modes)
                stops.push_back({REGION_MODE_FIRST, currentMode});
            modes = true;
            break;
        case ControlRole::CurveChart:
            for (int j = 0; j < 4; ++j)
                stops.push_back({r.id, j});
            break;
        default:
            stops.push_back({r.id, r.arg});
            break;
        }
    }
    return stops;
}

FocusStop nextStop(const std::vector<FocusStop>& stops, const FocusStop& current, bool forward) {
    if (stops.empty())
        return current;
    const auto n = static_cast<std::ptrdiff_t>(stops.size());
    const auto at = std::find_if(stops.begin(), stops.end(),
                                 [&](const FocusStop& s) { return sameStop(s, current); });
    if (at == stops.end())
        return forward ? stops.front() : stops.back();
    const std::ptrdiff_t i = at - stops.begin();
    FocusStop next = stops[static_cast<std::size_t>((i + (forward ? 1 : n - 1)) % n)];
    return next;
}

Rect focusRect(const FocusStop& stop, const std::vector<HitRegion>& regions, std::int32_t activeTab,
               const Rect& chart, const WindowModel& model) {
    std::int32_t id = stop.id;
    if (stop.id == REGION_TAB_FIRST)
        id = REGION_TAB_FIRST + activeTab;
    else if (stop.id == REGION_MODE_FIRST)
        id = REGION_MODE_FIRST + stop.arg;
    for (const HitRegion& r : regions) {
        if (r.id != id || (!isGroup(stop.id) && id != REGION_CURVE_CHART && r.arg != stop.arg))
            continue;
        if (id != REGION_CURVE_CHART)
            return r.bounds;
        if (stop.arg < 0 || stop.arg >= 4)
            return {};
        const Point p =
            curvePointPixel(model.settings.curve[static_cast<std::size_t>(stop.arg)], chart);
        return {p.x - kPointRing, p.y - kPointRing, p.x + kPointRing + 1, p.y + kPointRing + 1};
    }
    return {};
}
