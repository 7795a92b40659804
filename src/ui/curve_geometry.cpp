#include "ui/curve_geometry.h"

#include "base/rounding.h"

#include <algorithm>
#include <cmath>

namespace {

int safePixel(double base, double offset) {
    if (std::isnan(offset))
        offset = 0.0;
    const double limit = CHART_PIXEL_LIMIT;
    return static_cast<int>(std::clamp(base + offset, -limit, limit));
}

} // namespace

Point curvePointPixel(const CurvePoint& point, const Rect& chart) {
    const double width = chart.right - chart.left;
    const double height = chart.bottom - chart.top;
    const double dx =
        roundHalfAway((point.temperature - CHART_MIN_TEMPERATURE) / CHART_TEMPERATURE_SPAN * width);
    const double dy = roundHalfAway(point.level / 100.0 * height);
    return {safePixel(chart.left, dx), safePixel(chart.bottom, -dy)};
}
