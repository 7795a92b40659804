#include "app/window_reading.h"

#include "app/keyboard_input.h"
#include "app/pointer_input.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "settings/registry_settings.h"
#include "ui/accessible_tree.h"
#include "ui/controls.h"
#include "ui/dpi_scale.h"
#include "ui/page_reading.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

WindowModel modelOf(const AppState& app) {
    return {app.settings, app.regulation, app.identity, app.inventory};
}

bool painted(const AppState& app, std::int32_t region, std::int32_t arg) {
    return std::any_of(app.ui.hitRegions.begin(), app.ui.hitRegions.end(), [&](const HitRegion& r) {
        return r.id == region && (region == REGION_CURVE_CHART || r.arg == arg);
    });
}

bool setValue(AppState& app, const ControlKey& c, double value) {
    if (!std::isfinite(value))
        return false;
    if (c.region == REGION_CURVE_CHART) {
        const int j = c.arg / 2;
        const CurvePoint p = app.settings.curve[static_cast<std::size_t>(j)];
        if (c.arg % 2 == 0)
            moveCurvePoint(app, j, value, p.level);
        else
            moveCurvePoint(app, j, p.temperature, value);
    } else {
        const auto& fans = app.regulation.readings.fanList;
        const auto k = static_cast<std::size_t>(c.arg);
        if (k >= fans.size())
            return false;
        const double span = fans[k].maxRpm - fans[k].minRpm;
        setManualFraction(app, c.arg, span > 0.0 ? (value - fans[k].minRpm) / span : 0.0);
    }
    saveSettings(app.settings);
    return true;
}

} // namespace

std::vector<AccessibleElement> readAccessibleTree(AppState& app, Canvas& measurer,
                                                  const Rect& client) {
    const WindowModel model = modelOf(app);
    const PageReading page = readPage(measurer, client, app.ui, model);
    return accessibleTree(app.ui, model, page);
}

bool performAccessibleAction(AppState& app, std::int32_t key, AccessibleAction action,
                             double value) {
    const ControlKey c = controlOfKey(key);
    const ControlInfo* info = controlInfo(c.region);
    const bool curve = c.region == REGION_CURVE_CHART;
    if (info == nullptr || (curve && (c.arg < 0 || c.arg >= 8)) || !painted(app, c.region, c.arg))
        return false;
    const ControlRole role = info->role;
    switch (action) {
    case AccessibleAction::Focus: {
        FocusStop stop{c.region, c.arg};
        if (role == ControlRole::TabItem)
            stop = {REGION_TAB_FIRST, 0};
        else if (role == ControlRole::ModeButton)
            stop = {REGION_MODE_FIRST, c.arg};
        else if (curve)
            stop = {REGION_CURVE_CHART, c.arg / 2};
        if (!focusStop(app, stop))
            return false;
        app.ui.focusCues = true;
        return true;
    }
    case AccessibleAction::Invoke:
    case AccessibleAction::Toggle:
        if (role !=
            (action == AccessibleAction::Invoke ? ControlRole::Button : ControlRole::Switch))
            return false;
        activateRegion(app, c.region, c.arg);
        return true;
    case AccessibleAction::Select:
        if (role != ControlRole::TabItem && role != ControlRole::ModeButton)
            return false;
        activateRegion(app, c.region, c.arg);
        return true;
    case AccessibleAction::SetValue:
        if (role != ControlRole::Slider && !curve)
            return false;
        return setValue(app, c, value);
    }
    return false;
}

void onPointerRest(AppState& app, Canvas& measurer, const Rect& client, int x, int y) {
    if (app.ui.tooltipShown && app.ui.tooltipBox.contains(x, y))
        return; // it shows already
    const PageReading page = readPage(measurer, client, app.ui, modelOf(app));
    const ShownText* text = cutTextAt(page, x, y);
    WindowHost* host = platform.windowHost;
    if (text == nullptr || host == nullptr)
        return;
    app.ui.tooltipBox = text->box;
    app.ui.tooltipShown = true;
    // Just below the text, so that it covers neither the text nor the pointer's tip.
    const float scale = app.ui.dpiScale;
    host->showTooltip(text->text, toDevicePixel(x, scale),
                      toDevicePixel(text->box.bottom + 2, scale));
}

void onPointerAway(AppState& app, int x, int y, bool outside) {
    if (!app.ui.tooltipShown || (!outside && app.ui.tooltipBox.contains(x, y)))
        return;
    app.ui.tooltipShown = false;
    if (platform.windowHost)
        platform.windowHost->hideTooltip();
}
