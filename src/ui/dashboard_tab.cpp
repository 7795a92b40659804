#include "app/app_state.h"
#include "base/bounded_format.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

#include <cstddef>

namespace {

// Part of the fan's own range that value stands at; 0 for a range that is empty or reversed.
double rangeFraction(const FanChannel& fan, double value) {
    if (!(fan.maxRpm > fan.minRpm))
        return 0.0;
    return (value - fan.minRpm) / (fan.maxRpm - fan.minRpm);
}

void paintReadingCards(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    struct Card {
        const wchar_t* caption;
        double value;
        const wchar_t* unit;
        Color color;
        const wchar_t* subtitle;
    };
    const Card cards[] = {
        {L"CPU Temperatur", appState.cpuTemp, L"°C", temperatureColor(appState.cpuTemp),
         L"Package / Kern-Maximum"},
        {L"GPU Temperatur", appState.gpuTemp, L"°C", temperatureColor(appState.gpuTemp),
         L"Grafikprozessor Diode"},
        {L"Gesamtleistung", appState.powerWatts, L"W", AccentLight, L"Sensoren / ACPI Power"},
    };
    const int cw3 = (l.W - 16) / 3;
    for (int k = 0; k < 3; ++k) {
        const Card& card = cards[k];
        const int x = 243 + k * (cw3 + 8);
        drawCard(canvas, {x, l.B, x + cw3, l.B + 95});
        wchar_t value[32];
        formatBounded(value, 32, L"%.0f %ls", card.value, card.unit);
        canvas.textAt(x + 14, l.B + 12, card.caption, Font::FontSmall, TextMuted);
        canvas.textAt(x + 14, l.B + 30, value, Font::FontBig, card.color);
        canvas.textAt(x + 14, l.B + 70, card.subtitle, Font::FontSmall, TextMuted);
    }
}

void paintFanCard(Canvas& canvas, const ContentLayout& l, int i, int x, int cw) {
    using namespace palette;
    const int B = l.B;
    drawCard(canvas, {x, B + 105, x + cw, B + 300});
    if (static_cast<std::size_t>(i) >= appState.fanList.size()) {
        // An empty place keeps the layout; there is no fan to show or drive.
        wchar_t label[32];
        formatBounded(label, 32, L"Lüfter %d", i + 1);
        canvas.textAt(x + 16, B + 119, label, Font::FontBold, Text);
        canvas.textAt(x + 16, B + 139, L"Kein Lüfter erkannt", Font::FontSmall, TextMuted);
        return;
    }
    const FanChannel& fan = appState.fanList[static_cast<std::size_t>(i)];
    canvas.textAt(x + 16, B + 119, fan.label, Font::FontBold, Text);

    wchar_t range[64];
    formatBounded(range, 64, L"Bereich: %.0f – %.0f RPM · %ls", fan.minRpm, fan.maxRpm,
                  fan.manual ? L"Manuell" : L"Auto-Modus");
    canvas.textAt(x + 16, B + 139, range, Font::FontSmall, TextMuted);

    wchar_t current[32];
    formatBounded(current, 32, L"%.0f RPM", fan.currentRpm);
    canvas.textAt(x + 16, B + 159, current, Font::FontBig, AccentLight);
    drawBar(canvas, x + 16, B + 209, cw - 32, 8, rangeFraction(fan, fan.currentRpm), AccentLight);

    const double manual = appState.manualRpm[static_cast<std::size_t>(i)];
    wchar_t manualText[32];
    formatBounded(manualText, 32, L"%.0f RPM", manual);
    canvas.textAt(x + 16, B + 229, L"Manuelle Drehzahl-Vorgabe:", Font::FontSmall, TextMuted);
    canvas.textIn({x + cw - 100, B + 229, x + cw - 16, B + 245}, manualText, Font::FontBold, Text,
                  TextAlign::Right);

    drawSlider(canvas, x + 16, B + 251, cw - 32, rangeFraction(fan, manual), Accent, i);
    addHitRegion(appState.sliderRects[static_cast<std::size_t>(i)], REGION_SLIDER_FIRST + i, i);
}

} // namespace

void paintDashboardTab(Canvas& canvas, const ContentLayout& l) {
    using namespace palette;
    paintReadingCards(canvas, l);

    if (appState.fanList.size() == 1) {
        paintFanCard(canvas, l, 0, 243, l.W);
    } else {
        const int cw = l.W / 2 - 6;
        for (int i = 0; i < 2; ++i)
            paintFanCard(canvas, l, i, 243 + i * (cw + 12), cw);
    }

    const int B = l.B;
    drawCard(canvas, {243, B + 310, l.W + 243, B + 364});
    drawToggle(canvas, 257, B + 326, appState.linkSliders, REGION_LINK_SWITCH);
    canvas.textAt(297, B + 328, L"Lüfter-Schieberegler synchron koppeln", Font::FontBody, Text);

    const Rect apply{l.W + 43, B + 320, l.W + 229, B + 354};
    drawRoundPanel(canvas, apply, 8, Accent, AccentLight);
    canvas.textIn(apply, L"Manuelle RPM anwenden", Font::FontBold, White, TextAlign::Center);
    addHitRegion(apply, REGION_APPLY_MANUAL, 0);
}
