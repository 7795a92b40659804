#pragma once

#include "base/rect.h"
#include "platform/canvas.h"
#include "settings/settings.h"

// The chart spans 30..100 °C left to right and 0..100 % bottom to top.
inline constexpr double CHART_MIN_TEMPERATURE = 30.0;
inline constexpr double CHART_TEMPERATURE_SPAN = 70.0;

// A stored curve point may hold any number; its pixel is kept within this distance of 0 so
// that it can become an int and a GDI coordinate safely. Far outside any screen either way.
inline constexpr int CHART_PIXEL_LIMIT = 30000;

// Where a curve point is drawn on chart (left, top, right, bottom). A point outside
// 30..100 °C or 0..100 % lies outside the chart; a coordinate that is not a number sits on
// the chart's low edge (left for the temperature, bottom for the level).
Point curvePointPixel(const CurvePoint& point, const Rect& chart);
