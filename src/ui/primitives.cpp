#include "ui/primitives.h"

#include "base/rounding.h"
#include "ui/theme.h"

#include <algorithm>

void addHitRegion(std::vector<HitRegion>& regions, const Rect& rect, std::int32_t id,
                  std::int32_t arg) {
    regions.push_back(HitRegion{rect, id, arg});
}

void drawRoundPanel(Canvas& canvas, const Rect& rect, int radius, Color fill, Color border) {
    canvas.roundPanel(rect, radius, fill, border);
}

void drawCard(Canvas& canvas, const Rect& rect) {
    drawRoundPanel(canvas, rect, 10, palette::CardFill, palette::Line);
}

double clampFraction(double fraction) {
    if (!(fraction < 1.0))
        return 1.0;
    return std::max(fraction, 0.0);
}

int scaledLength(int length, double fraction) {
    return static_cast<int>(roundHalfAway(static_cast<double>(length) * fraction));
}

void drawBar(Canvas& canvas, int x, int y, int width, int height, double fraction, Color color) {
    const double f = clampFraction(fraction);
    drawRoundPanel(canvas, {x, y, x + width, y + height}, height, palette::TrackFill,
                   palette::TrackLine);
    const int filled = scaledLength(width, f);
    // Narrower than the rounded ends would look broken.
    if (filled > 4)
        drawRoundPanel(canvas, {x, y, x + filled, y + height}, height, color, color);
}

Rect drawSlider(Canvas& canvas, int x, int y, int width, double fraction, Color color) {
    const double f = clampFraction(fraction);
    drawRoundPanel(canvas, {x, y + 6, x + width, y + 12}, 6, palette::TrackFill,
                   palette::SliderLine);
    const int filled = scaledLength(width, f);
    const int thumb = x + filled;
    if (filled > 2)
        drawRoundPanel(canvas, {x, y + 6, x + filled, y + 12}, 6, color, color);
    drawRoundPanel(canvas, {thumb - 8, y + 1, thumb + 8, y + 17}, 16, palette::KnobFill, color);
    return {x, y - 4, x + width, y + 22};
}

void drawToggle(Canvas& canvas, std::vector<HitRegion>& regions, int x, int y, bool on,
                std::int32_t id) {
    const Color track = on ? palette::Accent : palette::ToggleOff;
    drawRoundPanel(canvas, {x, y, x + 38, y + 20}, 20, track, track);
    const int k = on ? x + 20 : x + 2;
    drawRoundPanel(canvas, {k, y + 2, k + 16, y + 18}, 16, palette::White, palette::White);
    addHitRegion(regions, {x, y, x + 38, y + 20}, id, 0);
}

void drawPendingToggle(Canvas& canvas, int x, int y) {
    drawRoundPanel(canvas, {x, y, x + 38, y + 20}, 20, palette::ToggleOff, palette::TrackLine);
    drawRoundPanel(canvas, {x + 11, y + 2, x + 27, y + 18}, 16, palette::TextMuted,
                   palette::TextMuted);
}

Color temperatureColor(double t) {
    if (t >= 85.0)
        return palette::Critical;
    if (t >= 70.0)
        return palette::Warning;
    if (t >= 55.0)
        return palette::Caution;
    return palette::Good;
}
