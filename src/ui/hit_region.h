#pragma once

#include "base/rect.h"

#include <cstdint>

// One clickable rectangle recorded while painting; left/top inclusive, right/bottom exclusive.
struct HitRegion {
    Rect bounds;
    std::int32_t id = 0;
    std::int32_t arg = 0; // tab index, mode number or fan index; 0 where the id needs none
    bool operator==(const HitRegion&) const = default;
};

// What was clicked. Tabs are REGION_TAB_FIRST + index, modes REGION_MODE_FIRST + mode,
// sliders REGION_SLIDER_FIRST + fan index.
inline constexpr std::int32_t REGION_TAB_FIRST = 1;
inline constexpr std::int32_t REGION_MODE_FIRST = 20;
inline constexpr std::int32_t REGION_SLIDER_FIRST = 30;
inline constexpr std::int32_t REGION_LINK_SWITCH = 32;
inline constexpr std::int32_t REGION_APPLY_MANUAL = 33;
inline constexpr std::int32_t REGION_ACTIVATE_CURVE = 43;
inline constexpr std::int32_t REGION_RESET_CURVE = 44;
inline constexpr std::int32_t REGION_CURVE_CHART = 45;
inline constexpr std::int32_t REGION_AUTOSTART_SWITCH = 60;
inline constexpr std::int32_t REGION_MINIMIZED_SWITCH = 61;
inline constexpr std::int32_t REGION_RESET_ON_EXIT_SWITCH = 62;
inline constexpr std::int32_t REGION_RELOAD_DRIVER = 63;
inline constexpr std::int32_t REGION_TRAY_TEMPERATURE_SWITCH = 70;
inline constexpr std::int32_t REGION_NOTIFICATIONS_SWITCH = 71;
inline constexpr std::int32_t REGION_ALARM_DOWN = 72;
inline constexpr std::int32_t REGION_ALARM_UP = 73;
inline constexpr std::int32_t REGION_LANGUAGE = 74;

// dragTarget while nothing is dragged, and the base of the curve point targets (300 + j).
inline constexpr std::int32_t DRAG_NONE = -1;
inline constexpr std::int32_t DRAG_CURVE_POINT_FIRST = 300;

// The automation card of the options tab.
inline constexpr std::int32_t REGION_POWER_SOURCE_SWITCH = 80;
inline constexpr std::int32_t REGION_BATTERY_MODE = 81;
inline constexpr std::int32_t REGION_MAINS_MODE = 82;
inline constexpr std::int32_t REGION_CSV_LOG_SWITCH = 83;
inline constexpr std::int32_t REGION_OPEN_LOG_FOLDER = 84;
