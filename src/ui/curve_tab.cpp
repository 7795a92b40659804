#include "base/bounded_format.h"
#include "base/texts.h"
#include "regulation/fan_curve.h"
#include "ui/controls.h"
#include "ui/curve_geometry.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The temperature the curve follows now, as the regulation chooses it; NaN when the value it
// would use is not a current reading.
double controlTemperature(const Readings& r, std::int32_t source) {
    const bool cpuOk = !r.cpuTempLost && !r.quality.cpuTempFallback;
    const bool gpuOk = !r.gpuTempLost && !r.quality.gpuTempFallback;
    switch (source) {
    case 1:
        return cpuOk ? r.cpuTemp : NAN;
    case 2:
        return gpuOk ? r.gpuTemp : NAN;
    default:
        if (cpuOk && gpuOk)
            return std::max(r.cpuTemp, r.gpuTemp);
        return cpuOk ? r.cpuTemp : (gpuOk ? r.gpuTemp : NAN);
    }
}

// A label of size next to the point p, kept inside chart: above the point, or below it when
// there is no room above.
Point labelPlace(const Rect& chart, Point p, TextSize size, int dx) {
    int x = std::clamp(p.x + dx, chart.left + 3,
                       std::max(chart.left + 3, chart.right - 3 - size.width));
    int y = p.y - 9 - size.height;
    if (y < chart.top + 2)
        y = p.y + 9;
    y = std::clamp(y, chart.top + 2, std::max(chart.top + 2, chart.bottom - 2 - size.height));
    return {x, y};
}

void paintAxes(Canvas& canvas, const Rect& chart, const ContentLayout& l) {
    using namespace palette;
    const int cwid = chart.width();
    for (int t = 30; t <= 100; t += 10) {
        const int x = chart.left + scaledLength(cwid, (t - 30) / 70.0);
        if (t > 30 && t < 100)
            canvas.line({x, chart.top}, {x, chart.bottom}, ButtonFill, 1, true);
        wchar_t text[16];
        formatBounded(text, 16, L"%d °C", t);
        const TextSize size = canvas.measureText(text, Font::FontSmall);
        const int left = std::clamp(x - size.width / 2, 245, std::max(245, l.W + 241 - size.width));
        canvas.textAt(left, chart.bottom + 3, text, Font::FontSmall, TextMuted);
    }
    for (int p = 25; p <= 100; p += 25) {
        const int y = chart.bottom - scaledLength(chart.height(), p / 100.0);
        canvas.line({chart.left, y}, {chart.right, y}, ButtonFill, 1, true);
        wchar_t text[16];
        formatBounded(text, 16, L"%d %%", p);
        canvas.textAt(chart.left + 4, y + 2, text, Font::FontSmall, TextMuted);
    }
}

bool overlapping(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The marker at the control temperature on the curve, with its reading; the reading goes to
// the first corner around the marker that leaves the points' labels free.
void paintLiveMarker(Canvas& canvas, const Rect& chart, const Rect* taken, int takenCount,
                     const WindowModel& model) {
    using namespace palette;
    const double t = controlTemperature(model.readings(), model.settings.curveSource);
    if (std::isnan(t))
        return;
    const double level = std::clamp(curveLevelAt(model.settings.curve, t), 0.0, 100.0);
    const Point p = curvePointPixel({t, level}, chart);
    if (p.x < chart.left || p.x >= chart.right)
        return; // outside the chart's temperatures
    canvas.line({p.x, chart.top + 1}, {p.x, chart.bottom - 1}, Good, 1, false);
    canvas.ellipse({p.x - 5, p.y - 5, p.x + 6, p.y + 6}, Good, White);
    wchar_t text[32];
    formatBounded(text, 32, L"%.0f °C → %.0f %%", t, level);
    const TextSize size = canvas.measureText(text, Font::FontBold);
    const Point corners[] = {{p.x + 10, p.y + 10},
                             {p.x - 10 - size.width, p.y + 10},
                             {p.x + 10, p.y - 10 - size.height},
                             {p.x - 10 - size.width, p.y - 10 - size.height}};
    Rect place{};
    for (const Point& c : corners) {
        const int x =
            std::clamp(c.x, chart.left + 3, std::max(chart.left + 3, chart.right - 3 - size.width));
        const int y =
            std::clamp(c.y, chart.top + 2, std::max(chart.top + 2, chart.bottom - 2 - size.height));
        place = {x, y, x + size.width, y + size.height};
        bool free = true;
        for (int i = 0; i < takenCount; ++i)
            free = free && !overlapping(place, taken[i]);
        if (free)
            break;
    }
    canvas.textAt(place.left, place.top, text, Font::FontBold, Good);
}

} // namespace

void paintCurveTab(Canvas& canvas, const ContentLayout& l, UiState& ui, const WindowModel& model) {
    const FanCurve& curve = model.settings.curve;
    using namespace palette;
    const int B = l.B;
    const int room = l.W - 32;
    drawCard(canvas, {243, B, l.W + 243, B + 360});
    canvas.textAt(259, B + 14,
                  fitWithEllipsis(canvas, text(TextId::CurveTitle), Font::FontBold, room),
                  Font::FontBold, Text);
    canvas.textAt(259, B + 34,
                  fitWithEllipsis(canvas, text(TextId::CurveSubtitle), Font::FontSmall, room),
                  Font::FontSmall, TextMuted);

    const Rect chart{263, B + 60, l.W + 223, B + 280};
    ui.chartRect = chart;
    drawRoundPanel(canvas, chart, 8, TrackFill, TrackLine);
    addHitRegion(ui.hitRegions, chart, REGION_CURVE_CHART, 0);
    paintAxes(canvas, chart, l);

    Point points[4];
    for (int j = 0; j < 4; ++j)
        points[j] = curvePointPixel(curve[static_cast<std::size_t>(j)], chart);
    canvas.polyline(points, 4, Accent, 3);

    wchar_t labels[4][32];
    Rect labelRects[4];
    for (int j = 0; j < 4; ++j) {
        const CurvePoint& point = curve[static_cast<std::size_t>(j)];
        formatBounded(labels[j], 32, L"P%d: %.0f°C / %.0f%%", j + 1, point.temperature,
                      point.level);
        const TextSize size = canvas.measureText(labels[j], Font::FontSmall);
        const Point at = labelPlace(chart, points[j], size, -size.width / 2);
        labelRects[j] = {at.x, at.y, at.x + size.width, at.y + size.height};
    }
    paintLiveMarker(canvas, chart, labelRects, 4, model);

    for (int j = 0; j < 4; ++j) {
        const Point p = points[j];
        drawRoundPanel(canvas, {p.x - 7, p.y - 7, p.x + 7, p.y + 7}, 14, White, AccentLight);
        canvas.textAt(labelRects[j].left, labelRects[j].top, labels[j], Font::FontSmall, Text);
    }

    const Rect activate{263, B + 300, 463, B + 338};
    drawRoundPanel(canvas, activate, 8, Accent, AccentLight);
    canvas.textIn(activate, controlCaption(REGION_ACTIVATE_CURVE), Font::FontBold, White,
                  TextAlign::Center);
    addHitRegion(ui.hitRegions, activate, REGION_ACTIVATE_CURVE, 0);

    const Rect reset{473, B + 300, 623, B + 338};
    drawRoundPanel(canvas, reset, 8, ButtonFill, Line);
    canvas.textIn(reset, controlCaption(REGION_RESET_CURVE), Font::FontBold, Text,
                  TextAlign::Center);
    addHitRegion(ui.hitRegions, reset, REGION_RESET_CURVE, 0);
}
