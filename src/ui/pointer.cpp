#include "ui/pointer.h"

#include "app/app_state.h"
#include "app/control_recovery.h"
#include "base/rounding.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"
#include "ui/hit_region.h"
#include "ui/primitives.h"

#include <algorithm>
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
int nearestCurvePoint(int x, int y) {
    const Rect& chart = appState.chartRect;
    const double width = std::max(chart.right - chart.left, 1);
    const double height = std::max(chart.bottom - chart.top, 1);
    double best = 1000000000.0;
    int index = 0;
    for (int j = 0; j < 4; ++j) {
        const CurvePoint& p = appState.curve[static_cast<std::size_t>(j)];
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

void startDrag(int target, int x, int y) {
    appState.dragTarget = target;
    captureMouse();
    updateDrag(x, y);
}

void dragSlider(int k, int x) {
    const auto& fans = appState.fanList;
    if (fans.size() <= static_cast<std::size_t>(k))
        return;
    const Rect& r = appState.sliderRects[static_cast<std::size_t>(k)];
    const int width = r.right - r.left;
    if (width <= 0)
        return;
    const double f = clampFraction(static_cast<double>(x - r.left) / width);
    auto speedAt = [f](const FanChannel& fan) {
        return roundHalfAway(fan.minRpm + (fan.maxRpm - fan.minRpm) * f);
    };
    appState.manualRpm[static_cast<std::size_t>(k)] = speedAt(fans[static_cast<std::size_t>(k)]);
    // Linked fans move by the same share of their own range, not by the same speed.
    if (appState.linkSliders && fans.size() >= 2) {
        const std::size_t o = 1 - static_cast<std::size_t>(k);
        appState.manualRpm[o] = speedAt(fans[o]);
    }
    repaint();
}

void dragCurvePoint(int j, int x, int y) {
    const Rect& c = appState.chartRect;
    double level =
        roundHalfAway(static_cast<double>(c.bottom - y) / std::max(c.bottom - c.top, 1) * 100.0);
    level = level < 100.0 ? std::max(level, 0.0) : 100.0;
    double temperature = roundHalfAway(
        static_cast<double>(x - c.left) / std::max(c.right - c.left, 1) * 70.0 + 30.0);
    temperature = temperature < 95.0 ? std::max(temperature, 35.0) : 95.0;
    appState.curve[static_cast<std::size_t>(j)] = {temperature, level};
    if (appState.mode == ControlMode::Curve)
        applyCurve(false);
    repaint();
}

} // namespace

void updateDrag(int x, int y) {
    const int target = appState.dragTarget;
    if (isSliderTarget(target))
        dragSlider(target - REGION_SLIDER_FIRST, x);
    else if (isCurvePointTarget(target))
        dragCurvePoint(target - DRAG_CURVE_POINT_FIRST, x, y);
}

void onButtonDown(int x, int y) {
    const HitRegion* hit = nullptr;
    for (const HitRegion& r : appState.hitRegions) {
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

    if (id >= REGION_TAB_FIRST && id < REGION_TAB_FIRST + 6) {
        appState.activeTab = arg;
        repaint();
        return;
    }
    if (id >= REGION_MODE_FIRST && id < REGION_MODE_FIRST + 6) {
        applyControlMode(static_cast<ControlMode>(arg));
        return;
    }
    switch (id) {
    case REGION_SLIDER_FIRST:
    case REGION_SLIDER_FIRST + 1:
        startDrag(id, x, y);
        break;
    case REGION_LINK_SWITCH:
        appState.linkSliders = !appState.linkSliders;
        saveSettings();
        repaint();
        break;
    case REGION_APPLY_MANUAL:
        applyControlMode(ControlMode::Manual);
        break;
    case REGION_ACTIVATE_CURVE:
        applyControlMode(ControlMode::Curve);
        break;
    case REGION_RESET_CURVE:
        resetCurve();
        saveSettings();
        repaint();
        break;
    case REGION_CURVE_CHART:
        startDrag(DRAG_CURVE_POINT_FIRST + nearestCurvePoint(x, y), x, y);
        break;
    case REGION_AUTOSTART_SWITCH:
        setAutostart(!appState.autostartEnabled);
        repaint();
        break;
    case REGION_MINIMIZED_SWITCH:
        toggleStartMinimized();
        repaint();
        break;
    case REGION_RESET_ON_EXIT_SWITCH:
        appState.resetFansOnExit = !appState.resetFansOnExit;
        saveSettings();
        repaint();
        break;
    case REGION_RELOAD_DRIVER:
        reloadDriver();
        repaint();
        break;
    default:
        break;
    }
}

void onPointerMove(int x, int y) {
    if (appState.dragTarget == DRAG_NONE)
        return;
    updateDrag(x, y);
}

void onButtonUp() {
    if (appState.dragTarget == DRAG_NONE)
        return;
    appState.dragTarget = DRAG_NONE;
    releaseMouse();
    saveSettings();
}

void onCaptureLost() {
    // Our own release in onButtonUp also ends here, after the drag was already over.
    if (appState.dragTarget == DRAG_NONE)
        return;
    appState.dragTarget = DRAG_NONE;
    saveSettings();
}
