#include "base/bounded_format.h"
#include "base/texts.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

constexpr int kColumnGap = 12;
constexpr int kMinLabelWidth = 60;

struct Columns {
    int key = 0, label = 0, category = 0, value = 0; // widths
};

// After the name of a value that has not moved for ten minutes: many firmwares report a fixed
// number for a thermal zone.

bool marked(const SensorReading& s) {
    return s.unchanging && !s.lost;
}

void formatValue(const SensorReading& s, wchar_t (&out)[32]) {
    if (s.lost)
        formatBounded(out, 32, L"--");
    else
        formatBounded(out, 32, L"%.1f %ls", s.value, s.unit.c_str());
}

// Each column as wide as its widest visible cell or heading; when the row is too narrow the
// name column gives way first, then the group column.
Columns measureColumns(Canvas& canvas, const std::vector<SensorReading>& sensors, int rows,
                       int avail) {
    Columns c;
    c.key = canvas.measureText(text(TextId::SensorsKey), Font::FontSmall).width;
    c.label = canvas.measureText(text(TextId::SensorsLabel), Font::FontSmall).width;
    c.category = canvas.measureText(text(TextId::SensorsCategory), Font::FontSmall).width;
    c.value = canvas.measureText(text(TextId::SensorsValue), Font::FontSmall).width;
    for (int i = 0; i < rows; ++i) {
        const SensorReading& s = sensors[static_cast<std::size_t>(i)];
        wchar_t value[32];
        formatValue(s, value);
        c.key = std::max(c.key, canvas.measureText(s.key, Font::FontMono).width);
        c.label = std::max(
            c.label,
            canvas.measureText(s.label, Font::FontBody).width +
                (marked(s)
                     ? canvas.measureText(text(TextId::SensorUnchanging), Font::FontSmall).width
                     : 0));
        c.category = std::max(c.category, canvas.measureText(s.category, Font::FontSmall).width);
        c.value = std::max(c.value, canvas.measureText(value, Font::FontBold).width);
    }
    c.value = std::min(c.value, avail / 4);
    c.key = std::min(c.key, avail / 4);
    int over = c.key + c.label + c.category + c.value + 3 * kColumnGap - avail;
    if (over > 0) {
        const int give = std::min(over, std::max(c.label - kMinLabelWidth, 0));
        c.label -= give;
        over -= give;
    }
    if (over > 0)
        c.category = std::max(c.category - over, 0);
    return c;
}

} // namespace

void paintSensorsTab(Canvas& canvas, const ContentLayout& l, UiState&, const WindowModel& model) {
    using namespace palette;
    const int B = l.B;
    const int W = l.W;
    drawCard(canvas, {243, B, W + 243, l.H - 20});

    const std::vector<SensorReading>& sensors = model.readings().sensorList;
    const int count = sensors.size() > static_cast<std::size_t>(INT_MAX)
                          ? INT_MAX
                          : static_cast<int>(sensors.size());
    wchar_t title[64];
    formatBounded(title, 64, text(TextId::SensorsTitle), count);
    canvas.textAt(259, B + 14, fitWithEllipsis(canvas, title, Font::FontBold, W - 32),
                  Font::FontBold, Text);

    // No scrolling: the rows that reach the card's bottom margin are left out and do not
    // widen the columns either.
    int visible = 0;
    while (visible < count && B + 68 + 24 * visible < l.H - 39)
        ++visible;
    const int left = 263, right = W + 223;
    const Columns c = measureColumns(canvas, sensors, visible, right - left);
    const int xLabel = left + c.key + kColumnGap;
    const int xCategory = xLabel + c.label + kColumnGap;

    const int hy = B + 44;
    const int hh = canvas.measureText(L"", Font::FontSmall).height;
    canvas.textAt(left, hy,
                  fitWithEllipsis(canvas, text(TextId::SensorsKey), Font::FontSmall, c.key),
                  Font::FontSmall, TextMuted);
    canvas.textAt(xLabel, hy,
                  fitWithEllipsis(canvas, text(TextId::SensorsLabel), Font::FontSmall, c.label),
                  Font::FontSmall, TextMuted);
    canvas.textAt(
        xCategory, hy,
        fitWithEllipsis(canvas, text(TextId::SensorsCategory), Font::FontSmall, c.category),
        Font::FontSmall, TextMuted);
    canvas.textIn({right - c.value, hy, right, hy + hh},
                  fitWithEllipsis(canvas, text(TextId::SensorsValue), Font::FontSmall, c.value),
                  Font::FontSmall, TextMuted, TextAlign::Right);

    for (int i = 0; i < visible; ++i) {
        const int y = B + 68 + 24 * i;
        const SensorReading& s = sensors[static_cast<std::size_t>(i)];
        if (i % 2 == 1)
            canvas.fillRect({251, y - 2, W + 235, y + 22}, ButtonFill);
        canvas.textAt(left, y, fitWithEllipsis(canvas, s.key, Font::FontMono, c.key),
                      Font::FontMono, Accent);
        // A marked name gives way to its mark, which says how far to trust the value.
        const int markWidth =
            marked(s)
                ? std::min(
                      canvas.measureText(text(TextId::SensorUnchanging), Font::FontSmall).width,
                      c.label)
                : 0;
        const FittedText name =
            fitWithEllipsis(canvas, s.label, Font::FontBody, c.label - markWidth);
        canvas.textAt(xLabel, y, name, Font::FontBody, Text);
        if (markWidth > 0)
            canvas.textAt(
                xLabel + canvas.measureText(name, Font::FontBody).width, y + 2,
                fitWithEllipsis(canvas, text(TextId::SensorUnchanging), Font::FontSmall, markWidth),
                Font::FontSmall, Warning);
        canvas.textAt(xCategory, y,
                      fitWithEllipsis(canvas, s.category, Font::FontSmall, c.category),
                      Font::FontSmall, TextMuted);
        const Color color = s.lost || marked(s) ? TextMuted
                            : s.unit == L"°C"   ? temperatureColor(s.value)
                                                : AccentLight;
        wchar_t value[32];
        formatValue(s, value);
        canvas.textIn({right - c.value, y, right, y + 20},
                      fitWithEllipsis(canvas, value, Font::FontBold, c.value), Font::FontBold,
                      color, TextAlign::Right);
    }
}
