#include "app/keyboard_input.h"

#include "app/pointer_input.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "settings/registry_settings.h"
#include "ui/controls.h"
#include "ui/focus.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

void repaint() {
    if (platform.windowHost)
        platform.windowHost->invalidate(false);
}

// A key was used: from now on the focus ring shows where it is.
bool used(AppState& app) {
    if (!app.ui.focusCues) {
        app.ui.focusCues = true;
        repaint();
    }
    return true;
}

bool onTabList(AppState& app, std::uint32_t key) {
    int tab = app.ui.activeTab;
    if (key == KEY_UP)
        tab = std::max(tab - 1, 0);
    else if (key == KEY_DOWN)
        tab = std::min(tab + 1, TAB_COUNT - 1);
    else if (key == KEY_HOME)
        tab = 0;
    else if (key == KEY_END)
        tab = TAB_COUNT - 1;
    else
        return false;
    if (tab != app.ui.activeTab)
        activateRegion(app, REGION_TAB_FIRST + tab, tab);
    return used(app);
}

bool onModeGroup(AppState& app, std::uint32_t key) {
    std::int32_t& mode = app.ui.focus.arg;
    if (key == KEY_LEFT || key == KEY_UP || key == KEY_RIGHT || key == KEY_DOWN) {
        const int step = key == KEY_LEFT || key == KEY_UP ? MODE_COUNT - 1 : 1;
        mode = (std::clamp(mode, 0, MODE_COUNT - 1) + step) % MODE_COUNT;
        repaint();
        return used(app);
    }
    if (key == KEY_SPACE || key == KEY_ENTER) {
        if (mode >= 0 && mode < MODE_COUNT)
            activateRegion(app, REGION_MODE_FIRST + mode, mode);
        return used(app);
    }
    return false;
}

bool onSlider(AppState& app, int k, std::uint32_t key) {
    const auto& fans = app.regulation.readings.fanList;
    if (k < 0 || k > 1 || fans.size() <= static_cast<std::size_t>(k))
        return false;
    const FanChannel& fan = fans[static_cast<std::size_t>(k)];
    const double span = fan.maxRpm - fan.minRpm;
    const double now = std::clamp(app.settings.manualRpm[static_cast<std::size_t>(k)], fan.minRpm,
                                  std::max(fan.minRpm, fan.maxRpm));
    double fraction = 0.0;
    switch (key) {
    case KEY_HOME:
        fraction = 0.0;
        break;
    case KEY_END:
        fraction = 1.0;
        break;
    case KEY_LEFT:
    case KEY_DOWN:
    case KEY_RIGHT:
    case KEY_UP:
    case KEY_PAGE_DOWN:
    case KEY_PAGE_UP: {
        const bool page = key == KEY_PAGE_DOWN || key == KEY_PAGE_UP;
        const bool up = key == KEY_RIGHT || key == KEY_UP || key == KEY_PAGE_UP;
        const double step = page ? SLIDER_PAGE_RPM : SLIDER_STEP_RPM;
        fraction = span > 0.0 ? (now + (up ? step : -step) - fan.minRpm) / span : 0.0;
        break;
    }
    default:
        return false;
    }
    setManualFraction(app, k, fraction);
    saveSettings(app.settings);
    return used(app);
}

bool onCurvePoint(AppState& app, int j, std::uint32_t key) {
    if (j < 0 || j >= 4)
        return false;
    const CurvePoint p = app.settings.curve[static_cast<std::size_t>(j)];
    double dt = 0.0, dl = 0.0;
    if (key == KEY_LEFT)
        dt = -1.0;
    else if (key == KEY_RIGHT)
        dt = 1.0;
    else if (key == KEY_DOWN)
        dl = -1.0;
    else if (key == KEY_UP)
        dl = 1.0;
    else
        return false;
    moveCurvePoint(app, j, p.temperature + dt, p.level + dl);
    saveSettings(app.settings);
    return used(app);
}

} // namespace

bool onKeyDown(AppState& app, const KeyPress& press) {
    UiState& ui = app.ui;
    const std::uint32_t key = press.key;
    if (press.ctrl) {
        if (key != KEY_TAB && key != KEY_PAGE_DOWN && key != KEY_PAGE_UP)
            return false;
        const bool forward = key == KEY_TAB ? !press.shift : key == KEY_PAGE_DOWN;
        const int tab = (ui.activeTab + (forward ? 1 : TAB_COUNT - 1)) % TAB_COUNT;
        // The control the focus was on leaves with its page; the focus stays in the frame.
        if (ui.focus.id != REGION_MODE_FIRST)
            ui.focus = {REGION_TAB_FIRST, 0};
        activateRegion(app, REGION_TAB_FIRST + tab, tab);
        return used(app);
    }
    const std::int32_t mode = static_cast<std::int32_t>(app.settings.mode);
    const std::vector<FocusStop> stops = focusStops(ui.hitRegions, mode);
    if (key == KEY_TAB) {
        // The mode group is entered on the mode in use, as a group of radio buttons is.
        ui.focus = nextStop(stops, ui.focus, !press.shift);
        repaint();
        return used(app);
    }
    const bool onPage = std::any_of(stops.begin(), stops.end(),
                                    [&](const FocusStop& s) { return sameStop(s, ui.focus); });
    if (!onPage)
        return false;
    const std::int32_t id = ui.focus.id;
    if (id == REGION_TAB_FIRST)
        return onTabList(app, key);
    if (id == REGION_MODE_FIRST)
        return onModeGroup(app, key);
    if (id == REGION_CURVE_CHART)
        return onCurvePoint(app, ui.focus.arg, key);
    const ControlInfo* control = controlInfo(id);
    if (control == nullptr)
        return false;
    switch (control->role) {
    case ControlRole::Slider:
        return onSlider(app, id - REGION_SLIDER_FIRST, key);
    case ControlRole::Switch:
        if (key != KEY_SPACE)
            return false;
        activateRegion(app, id, ui.focus.arg);
        return used(app);
    case ControlRole::Button:
        if (key != KEY_SPACE && key != KEY_ENTER)
            return false;
        activateRegion(app, id, ui.focus.arg);
        return used(app);
    default:
        return false;
    }
}

bool focusStop(AppState& app, const FocusStop& stop) {
    const std::vector<FocusStop> stops =
        focusStops(app.ui.hitRegions, static_cast<std::int32_t>(app.settings.mode));
    if (std::none_of(stops.begin(), stops.end(),
                     [&](const FocusStop& s) { return sameStop(s, stop); }))
        return false;
    app.ui.focus = stop;
    repaint();
    return true;
}
