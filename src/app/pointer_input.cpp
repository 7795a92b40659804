#include "app/pointer_input.h"

#include "app/automation_input.h"
#include "app/control_recovery.h"
#include "app/language_switch.h"
#include "app/power_source_follow.h"
#include "app/tray.h"
#include "base/rounding.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"
#include "settings/tray_options.h"
#include "ui/hit_region.h"
#include "ui/primitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

void repaint() {
    if (platform.windowHost)
        platform.windowHost->invalidate(false);
}

void captureMouse() {
    if (platform.windowHost)
        platform.windowHost->setCapture();
}

void releaseMouse() {
    if (platform.windowHost)
        platform.windowHost->releaseCapture();
}

bool isSliderTarget(int target) {
    return target == REGION_SLIDER_FIRST || target == REGION_SLIDER_FIRST + 1;
}

bool isCurvePointTarget(int target) {
    return target >= DRAG_CURVE_POINT_FIRST && target < DRAG_CURVE_POINT_FIRST + 4;
}

// The curve point drawn nearest to (x, y); of equally near points the lower index.
int nearestCurvePoint(const AppState& app, int x, int y) {
    const Rect& chart = app.ui.chartRect;
    const double width = std::max(chart.right - chart.left, 1);
    const double height = std::max(chart.bottom - chart.top, 1);
    double best = 1000000000.0;
    int index = 0;
    for (int j = 0; j < 4; ++j) {
        const CurvePoint& p = app.settings.curve[static_cast<std::size_t>(j)];
        const double xj = chart.left + roundHalfAway((p.temperature - 30.0) / 70.0 * width);
        const double yj = chart.bottom - roundHalfAway(p.level / 100.0 * height);
        const double distance = std::hypot(x - xj, y - yj);
        if (distance < best) {
            best = distance;
            index = j;
        }
    }
    return index;
}

void startDrag(AppState& app, int target, int x, int y) {
    app.ui.dragTarget = target;
    captureMouse();
    updateDrag(app, x, y);
}

void dragSlider(AppState& app, int k, int x) {
    if (app.regulation.readings.fanList.size() <= static_cast<std::size_t>(k))
        return;
    const Rect& r = app.ui.sliderRects[static_cast<std::size_t>(k)];
    const int width = r.right - r.left;
    if (width <= 0)
        return;
    setManualFraction(app, k, static_cast<double>(x - r.left) / width);
}

void dragCurvePoint(AppState& app, int j, int x, int y) {
    const Rect& c = app.ui.chartRect;
    moveCurvePoint(app, j,
                   static_cast<double>(x - c.left) / std::max(c.right - c.left, 1) * 70.0 + 30.0,
                   static_cast<double>(c.bottom - y) / std::max(c.bottom - c.top, 1) * 100.0);
}

// A click puts the keyboard's focus where it clicked, as on a button of Windows' own.
void focusRegion(AppState& app, std::int32_t id, std::int32_t arg) {
    if (id >= REGION_TAB_FIRST && id < REGION_TAB_FIRST + 6)
        app.ui.focus = {REGION_TAB_FIRST, 0};
    else if (id >= REGION_MODE_FIRST && id < REGION_MODE_FIRST + 6)
        app.ui.focus = {REGION_MODE_FIRST, arg};
    else
        app.ui.focus = {id, arg};
}

} // namespace

void setManualFraction(AppState& app, int k, double fraction) {
    const auto& fans = app.regulation.readings.fanList;
    std::array<double, 2>& manualRpm = app.settings.manualRpm;
    if (k < 0 || k > 1 || fans.size() <= static_cast<std::size_t>(k))
        return;
    const double f = clampFraction(fraction);
    auto speedAt = [f](const FanChannel& fan) {
        return roundHalfAway(fan.minRpm + (fan.maxRpm - fan.minRpm) * f);
    };
    manualRpm[static_cast<std::size_t>(k)] = speedAt(fans[static_cast<std::size_t>(k)]);
    // Linked fans move by the same share of their own range, not by the same speed.
    if (app.settings.linkSliders && fans.size() >= 2) {
        const std::size_t o = 1 - static_cast<std::size_t>(k);
        manualRpm[o] = speedAt(fans[o]);
    }
    repaint();
}

void moveCurvePoint(AppState& app, int j, double temperature, double level) {
    if (j < 0 || j >= 4)
        return;
    level = roundHalfAway(level);
    level = level < 100.0 ? std::max(level, 0.0) : 100.0;
    temperature = roundHalfAway(temperature);
    temperature = temperature < 95.0 ? std::max(temperature, 35.0) : 95.0;
    app.settings.curve[static_cast<std::size_t>(j)] = {temperature, level};
    if (app.settings.mode == ControlMode::Curve)
        applyCurve(app.regulation, app.settings, false);
    repaint();
}

void updateDrag(AppState& app, int x, int y) {
    const int target = app.ui.dragTarget;
    if (isSliderTarget(target))
        dragSlider(app, target - REGION_SLIDER_FIRST, x);
    else if (isCurvePointTarget(target))
        dragCurvePoint(app, target - DRAG_CURVE_POINT_FIRST, x, y);
}

void onButtonDown(AppState& app, int x, int y) {
    const HitRegion* hit = nullptr;
    for (const HitRegion& r : app.ui.hitRegions) {
        if (r.bounds.contains(x, y)) {
            hit = &r;
            break;
        }
    }
    if (hit == nullptr)
        return;
    // The actions below may change the state the list was painted from; keep what was hit.
    const int id = hit->id;
    const int arg = hit->arg;

    if (id == REGION_CURVE_CHART) {
        const int j = nearestCurvePoint(app, x, y);
        app.ui.focus = {REGION_CURVE_CHART, j};
        startDrag(app, DRAG_CURVE_POINT_FIRST + j, x, y);
        return;
    }
    focusRegion(app, id, arg);
    if (id == REGION_SLIDER_FIRST || id == REGION_SLIDER_FIRST + 1) {
        startDrag(app, id, x, y);
        return;
    }
    activateRegion(app, id, arg);
}

void activateRegion(AppState& app, std::int32_t id, std::int32_t arg) {
    Settings& settings = app.settings;
    RegulationState& regulation = app.regulation;
    if (id >= REGION_TAB_FIRST && id < REGION_TAB_FIRST + 6) {
        app.ui.activeTab = arg;
        repaint();
        return;
    }
    if (id >= REGION_MODE_FIRST && id < REGION_MODE_FIRST + 6) {
        chooseMode(app, static_cast<ControlMode>(arg));
        return;
    }
    switch (id) {
    case REGION_LINK_SWITCH:
        settings.linkSliders = !settings.linkSliders;
        saveSettings(settings);
        repaint();
        break;
    case REGION_APPLY_MANUAL:
        chooseMode(app, ControlMode::Manual);
        break;
    case REGION_ACTIVATE_CURVE:
        chooseMode(app, ControlMode::Curve);
        break;
    case REGION_RESET_CURVE:
        resetCurve(regulation, settings);
        saveSettings(settings);
        repaint();
        break;
    case REGION_AUTOSTART_SWITCH:
        setAutostart(settings, regulation.notice, !settings.autostartEnabled);
        repaint();
        break;
    case REGION_MINIMIZED_SWITCH:
        toggleStartMinimized(settings, regulation.notice);
        repaint();
        break;
    case REGION_RESET_ON_EXIT_SWITCH:
        settings.resetFansOnExit = !settings.resetFansOnExit;
        saveSettings(settings);
        repaint();
        break;
    case REGION_TRAY_TEMPERATURE_SWITCH:
        toggleTrayTemperature(app);
        break;
    case REGION_NOTIFICATIONS_SWITCH:
        settings.tray.notifications = !settings.tray.notifications;
        saveSettings(settings);
        repaint();
        break;
    case REGION_ALARM_DOWN:
    case REGION_ALARM_UP:
        settings.tray.alarmCelsius =
            steppedAlarmCelsius(settings.tray.alarmCelsius, id == REGION_ALARM_UP ? 1 : -1);
        saveSettings(settings);
        repaint();
        break;
    case REGION_RELOAD_DRIVER:
        reloadDriver(app);
        repaint();
        break;
    case REGION_LANGUAGE:
        stepLanguageChoice(app);
        break;
    default:
        onAutomationRegion(app, id);
        break;
    }
}

void onPointerMove(AppState& app, int x, int y) {
    if (app.ui.dragTarget == DRAG_NONE)
        return;
    updateDrag(app, x, y);
}

void onButtonUp(AppState& app) {
    if (app.ui.dragTarget == DRAG_NONE)
        return;
    app.ui.dragTarget = DRAG_NONE;
    releaseMouse();
    saveSettings(app.settings);
}

void onCaptureLost(AppState& app) {
    // Our own release in onButtonUp also ends here, after the drag was already over.
    if (app.ui.dragTarget == DRAG_NONE)
        return;
    app.ui.dragTarget = DRAG_NONE;
    saveSettings(app.settings);
}
