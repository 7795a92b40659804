#include "app/app_state.h"
#include "base/bounded_format.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

#include <climits>

void paintSensorsTab(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    const int B = l.B;
    const int W = l.W;
    drawCard(canvas, {243, B, W + 243, l.H - 20});

    const auto& sensors = appState.sensorList;
    const int count = sensors.size() > static_cast<std::size_t>(INT_MAX)
                          ? INT_MAX
                          : static_cast<int>(sensors.size());
    wchar_t title[64];
    formatBounded(title, 64, L"Hardware-Sensoren (%d aktiv)", count);
    canvas.textAt(259, B + 14, title, Font::FontBold, Text);

    canvas.textAt(263, B + 44, L"ID / SCHLÜSSEL", Font::FontSmall, TextMuted);
    canvas.textAt(383, B + 44, L"BEZEICHNUNG", Font::FontSmall, TextMuted);
    canvas.textAt(603, B + 44, L"KATEGORIE", Font::FontSmall, TextMuted);
    canvas.textAt(W + 143, B + 44, L"MESSWERT", Font::FontSmall, TextMuted);

    // No scrolling: the rows that reach the card's bottom margin are left out.
    for (int i = 0; i < count; ++i) {
        const int y = B + 68 + 24 * i;
        if (!(y < l.H - 39))
            break;
        const SensorReading& s = sensors[static_cast<std::size_t>(i)];
        if (i % 2 == 1)
            canvas.fillRect({251, y - 2, W + 235, y + 22}, ButtonFill);
        canvas.textAt(263, y, s.key, Font::FontMono, Accent);
        canvas.textAt(383, y, s.label, Font::FontBody, Text);
        canvas.textAt(603, y, s.category, Font::FontSmall, TextMuted);
        const Color color = s.unit == L"°C" ? temperatureColor(s.value) : AccentLight;
        wchar_t value[32];
        formatBounded(value, 32, L"%.1f %ls", s.value, s.unit.c_str());
        canvas.textIn({W + 103, y, W + 223, y + 20}, value, Font::FontBold, color,
                      TextAlign::Right);
    }
}
