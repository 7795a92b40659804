#include "app/app_state.h"
#include "base/bounded_format.h"
#include "ui/curve_geometry.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

void paintCurveTab(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    const int B = l.B;
    drawCard(canvas, {243, B, l.W + 243, B + 360});
    canvas.textAt(259, B + 14, L"Intelligente Temperatur-Lüfterkurve (4-Punkte Editor)",
                  Font::FontBold, Text);
    canvas.textAt(259, B + 34,
                  L"Dynamische Interpolation · 45 RPM Hysterese verhindert ständiges Auf- und "
                  L"Abtouren",
                  Font::FontSmall, TextMuted);

    const Rect chart{263, B + 60, l.W + 223, B + 280};
    appState.chartRect = chart;
    drawRoundPanel(canvas, chart, 8, TrackFill, TrackLine);
    addHitRegion(chart, REGION_CURVE_CHART, 0);

    const int cwid = chart.width();
    for (int t = 40; t <= 90; t += 10) {
        const int x = chart.left + scaledLength(cwid, (t - 30) / 70.0);
        canvas.line({x, chart.top}, {x, chart.bottom}, ButtonFill, 1, true);
    }
    for (int p = 25; p <= 100; p += 25) {
        const int y = chart.bottom - scaledLength(220, p / 100.0);
        canvas.line({chart.left, y}, {chart.right, y}, ButtonFill, 1, true);
    }

    Point points[4];
    for (int j = 0; j < 4; ++j)
        points[j] = curvePointPixel(appState.curve[static_cast<std::size_t>(j)], chart);
    canvas.polyline(points, 4, Accent, 3);

    for (int j = 0; j < 4; ++j) {
        const Point p = points[j];
        const CurvePoint& point = appState.curve[static_cast<std::size_t>(j)];
        drawRoundPanel(canvas, {p.x - 7, p.y - 7, p.x + 7, p.y + 7}, 14, White, AccentLight);
        wchar_t label[32];
        formatBounded(label, 32, L"P%d: %.0f°C / %.0f%%", j + 1, point.temperature, point.level);
        canvas.textAt(p.x - 35, p.y - 22, label, Font::FontSmall, Text);
    }

    const Rect activate{263, B + 300, 463, B + 338};
    drawRoundPanel(canvas, activate, 8, Accent, AccentLight);
    canvas.textIn(activate, L"Kurve aktivieren", Font::FontBold, White, TextAlign::Center);
    addHitRegion(activate, REGION_ACTIVATE_CURVE, 0);

    const Rect reset{473, B + 300, 623, B + 338};
    drawRoundPanel(canvas, reset, 8, ButtonFill, Line);
    canvas.textIn(reset, L"Zurücksetzen", Font::FontBold, Text, TextAlign::Center);
    addHitRegion(reset, REGION_RESET_CURVE, 0);
}
