#include "ui/history_chart.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "ui/history.h"
#include "ui/primitives.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kGridLines = 4; // 25 % steps of both axes
// Fixed label columns, so that the plot (and a test's pixel) does not move with the font.
constexpr int kLeftAxis = 46;
constexpr int kRightAxis = 62;

struct Series {
    TextId name;
    Color color;
    float HistorySample::*temperature; // null for a fan
    int fan;
};

const Series kSeries[] = {
    {TextId::HistoryCpu, palette::Warning, &HistorySample::cpu, -1},
    {TextId::HistoryGpu, palette::Caution, &HistorySample::gpu, -1},
    {TextId::FanOne, palette::AccentLight, nullptr, 0},
    {TextId::FanTwo, palette::Good, nullptr, 1},
};

// Rounds a value that is never negative, halves up, as roundHalfAway does for such values; a
// paint places 1,200 samples, and the library's round is the dearest part of that.
int roundUp(double nonNegative) {
    return static_cast<int>(nonNegative + 0.5);
}

int yOf(const Rect& plot, double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    return plot.bottom - roundUp(fraction * (plot.height() - 1)) - 1;
}

// x of the sample of age (0 = newest, at the right edge); the plot holds the full capacity.
int xOf(const Rect& plot, std::size_t age) {
    const double step = static_cast<double>(plot.width() - 1) / (HISTORY_CAPACITY - 1);
    return plot.right - 1 - roundUp(static_cast<double>(age) * step);
}

// Places series s's samples as runs of points; a gap (NaN) ends a run.
void placeSeries(HistoryLines& lines, std::size_t index, const History& h, const Rect& plot,
                 const int* xs, const Series& s, double rpmTop) {
    Point* points = lines.points[index].data();
    std::size_t n = 0, runStart = 0;
    lines.runs[index] = 0;
    const auto endRun = [&] {
        if (n - runStart == 1) // a single reading between gaps still shows
            points[n++] = {points[runStart].x + 1, points[runStart].y};
        if (n > runStart)
            lines.runEnds[index][lines.runs[index]++] = static_cast<std::uint16_t>(n);
        runStart = n;
    };
    // Oldest first: the oldest sample sits count places before the next free slot.
    std::size_t slot = (h.next + HISTORY_CAPACITY - h.count) % HISTORY_CAPACITY;
    for (std::size_t age = h.count; age-- > 0; slot = (slot + 1) % HISTORY_CAPACITY) {
        const HistorySample& sample = h.samples[slot];
        const float v = s.temperature ? sample.*s.temperature : sample.fan[s.fan];
        if (std::isnan(v)) {
            endRun();
            continue;
        }
        const double f =
            s.temperature ? (v - HISTORY_MIN_CELSIUS) / (HISTORY_MAX_CELSIUS - HISTORY_MIN_CELSIUS)
                          : v / rpmTop;
        const Point p{xs[age], yOf(plot, f)};
        // A steady reading is a horizontal run: its inner points add nothing to the line.
        if (n - runStart >= 2 && points[n - 1].y == p.y && points[n - 2].y == p.y)
            points[n - 1] = p;
        else
            points[n++] = p;
    }
    endRun();
}

// The lines for the current samples, plot and scale, made again only when one of them changed.
const HistoryLines& currentLines(UiState& ui, const Rect& plot, double rpmTop, std::size_t fans) {
    if (!ui.historyLines)
        ui.historyLines = std::make_unique<HistoryLines>();
    HistoryLines& lines = *ui.historyLines;
    const History& history = ui.history;
    if (lines.pushes == history.pushes && lines.plot == plot && lines.rpmTop == rpmTop &&
        lines.fans == fans)
        return lines;
    int xs[HISTORY_CAPACITY];
    for (std::size_t age = 0; age < HISTORY_CAPACITY; ++age)
        xs[age] = xOf(plot, age);
    for (std::size_t i = 0; i < HISTORY_SERIES; ++i) {
        const Series& s = kSeries[i];
        lines.runs[i] = 0;
        if (s.fan < 0 || static_cast<std::size_t>(s.fan) < fans)
            placeSeries(lines, i, history, plot, xs, s, rpmTop);
    }
    lines.pushes = history.pushes;
    lines.plot = plot;
    lines.rpmTop = rpmTop;
    lines.fans = fans;
    return lines;
}

} // namespace

Rect historyPlotRect(const Rect& card) {
    return {card.left + 16 + kLeftAxis, card.top + 40, card.right - 16 - kRightAxis,
            card.bottom - 32};
}

double historyRpmTop(const std::vector<FanChannel>& fans) {
    double top = 0.0;
    for (const FanChannel& f : fans)
        top = std::max(top, f.maxRpm);
    if (!(top > 0.0) || !std::isfinite(top))
        return 6000.0;
    return std::min(std::ceil(top / 2000.0) * 2000.0, 1.0e6);
}

Rect paintHistoryCard(Canvas& canvas, const Rect& card, UiState& ui,
                      const std::vector<FanChannel>& fans) {
    using namespace palette;
    drawCard(canvas, card);
    const double rpmTop = historyRpmTop(fans);
    const int small = canvas.measureText(L"", Font::FontSmall).height;

    // Title left, legend right; the legend gives way to the title where both do not fit.
    const int right = card.right - 16;
    int legendX = right;
    for (int i = 3; i >= 0; --i) {
        const int w = canvas.measureText(::text(kSeries[i].name), Font::FontSmall).width;
        legendX -= w + 16 + (i < 3 ? 10 : 0);
    }
    const FittedText title = fitWithEllipsis(canvas, ::text(TextId::HistoryTitle), Font::FontBold,
                                             legendX - 12 - (card.left + 16));
    canvas.textAt(card.left + 16, card.top + 12, title, Font::FontBold, Text);
    int x = legendX;
    for (const Series& s : kSeries) {
        canvas.line({x, card.top + 19}, {x + 12, card.top + 19}, s.color, 2, false);
        canvas.textAt(x + 16, card.top + 13, ::text(s.name), Font::FontSmall, TextMuted);
        x += canvas.measureText(::text(s.name), Font::FontSmall).width + 26;
    }

    wchar_t text[32];
    const Rect plot = historyPlotRect(card);
    if (plot.width() < 40 || plot.height() < 40)
        return plot;
    drawRoundPanel(canvas, plot, 0, TrackFill, TrackLine);

    // On a short plot only every second or only the outer gridlines are labelled.
    const int spacing = plot.height() / kGridLines;
    const int labelStep = spacing > small ? 1 : (2 * spacing > small ? 2 : kGridLines);
    for (int g = 0; g <= kGridLines; ++g) {
        const double f = static_cast<double>(g) / kGridLines;
        const int y = yOf(plot, f);
        if (g > 0 && g < kGridLines)
            canvas.line({plot.left + 1, y}, {plot.right - 1, y}, ButtonFill, 1, true);
        if (g % labelStep != 0)
            continue;
        formatBounded(text, 32, L"%.0f °C",
                      HISTORY_MIN_CELSIUS + f * (HISTORY_MAX_CELSIUS - HISTORY_MIN_CELSIUS));
        const int ty = std::clamp(y - small / 2, plot.top, plot.bottom - small);
        const FittedText left = fitWithEllipsis(canvas, text, Font::FontSmall, kLeftAxis - 6);
        const int tw = canvas.measureText(left, Font::FontSmall).width;
        canvas.textAt(plot.left - 6 - tw, ty, left, Font::FontSmall, TextMuted);
        formatBounded(text, 32, L"%.0f RPM", f * rpmTop);
        canvas.textAt(plot.right + 6, ty,
                      fitWithEllipsis(canvas, text, Font::FontSmall, kRightAxis - 6),
                      Font::FontSmall, TextMuted);
    }
    // Time axis: a tick every minute, labelled at the ends.
    for (int minute = 1; minute < 5; ++minute) {
        const int tx = xOf(plot, static_cast<std::size_t>(minute * 60));
        canvas.line({tx, plot.top + 1}, {tx, plot.bottom - 1}, ButtonFill, 1, true);
    }
    canvas.textAt(plot.left, plot.bottom + 2, L"−5 min", Font::FontSmall, TextMuted);
    const wchar_t* now = ::text(TextId::HistoryNow);
    const int nowWidth = canvas.measureText(now, Font::FontSmall).width;
    canvas.textAt(plot.right - nowWidth, plot.bottom + 2, now, Font::FontSmall, TextMuted);

    const HistoryLines& lines = currentLines(ui, plot, rpmTop, fans.size());
    for (std::size_t i = 0; i < HISTORY_SERIES; ++i) {
        std::size_t start = 0;
        for (std::size_t r = 0; r < lines.runs[i]; ++r) {
            const std::size_t end = lines.runEnds[i][r];
            canvas.polyline(lines.points[i].data() + start, end - start, kSeries[i].color, 2);
            start = end;
        }
    }
    return plot;
}
