#include "base/bounded_format.h"
#include "base/texts.h"
#include "ui/controls.h"
#include "ui/history_chart.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// Part of the fan's own range that value stands at; 0 for a range that is empty or reversed.
double rangeFraction(const FanChannel& fan, double value) {
    if (!(fan.maxRpm > fan.minRpm))
        return 0.0;
    return (value - fan.minRpm) / (fan.maxRpm - fan.minRpm);
}

void paintReadingCards(Canvas& canvas, const ContentLayout& l, const Readings& r) {
    using namespace palette;
    const ReadingQuality& q = r.quality;
    struct Card {
        const wchar_t* caption;
        double value;
        const wchar_t* unit;
        Color color;
        const wchar_t* subtitle;
        bool lost;     // no current value: "--"
        bool noSensor; // a stand-in, not a reading: "--" and "kein Sensor"
        bool estimate; // computed, not measured
    };
    const Card cards[] = {
        {text(TextId::CardCpuTemperature), r.cpuTemp, L"°C", temperatureColor(r.cpuTemp),
         text(TextId::CardCpuSubtitle), r.cpuTempLost, q.cpuTempFallback, false},
        {text(TextId::CardGpuTemperature), r.gpuTemp, L"°C", temperatureColor(r.gpuTemp),
         text(TextId::CardGpuSubtitle), r.gpuTempLost, q.gpuTempFallback, false},
        {text(TextId::CardPower), r.powerWatts, L"W", AccentLight, text(TextId::CardPowerSubtitle),
         r.powerLost, false, q.powerEstimated},
    };
    const int cw3 = (l.W - 16) / 3;
    for (int k = 0; k < 3; ++k) {
        const Card& card = cards[k];
        const int x = 243 + k * (cw3 + 8);
        const int room = cw3 - 28;
        drawCard(canvas, {x, l.B, x + cw3, l.B + 95});
        wchar_t value[32];
        formatBounded(value, 32, card.estimate ? L"~%.0f %ls" : L"%.0f %ls", card.value, card.unit);
        const bool dashes = card.lost || card.noSensor;
        const wchar_t* subtitle = card.noSensor   ? text(TextId::CardNoSensor)
                                  : card.estimate ? text(TextId::CardEstimated)
                                                  : card.subtitle;
        canvas.textAt(x + 14, l.B + 12,
                      fitWithEllipsis(canvas, card.caption, Font::FontSmall, room), Font::FontSmall,
                      TextMuted);
        canvas.textAt(x + 14, l.B + 30,
                      fitWithEllipsis(canvas, dashes ? L"--" : value, Font::FontBig, room),
                      Font::FontBig, dashes ? TextMuted : card.color);
        // Four pixels lower than the reading's line ends, so that the big digits' cell and the
        // subtitle never share a row of pixels.
        canvas.textAt(x + 14, l.B + 74, fitWithEllipsis(canvas, subtitle, Font::FontSmall, room),
                      Font::FontSmall, TextMuted);
    }
}

void paintFanCard(Canvas& canvas, const ContentLayout& l, int i, int x, int cw, UiState& ui,
                  const WindowModel& model) {
    const std::vector<FanChannel>& fans = model.readings().fanList;
    using namespace palette;
    const int B = l.B;
    const int room = cw - 32;
    drawCard(canvas, {x, B + 105, x + cw, B + 300});
    if (static_cast<std::size_t>(i) >= fans.size()) {
        // An empty place keeps the layout; there is no fan to show or drive.
        wchar_t label[32];
        formatBounded(label, 32, text(TextId::FanNumbered), i + 1);
        canvas.textAt(x + 16, B + 119, label, Font::FontBold, Text);
        canvas.textAt(x + 16, B + 139,
                      fitWithEllipsis(canvas, text(TextId::NoFanFound), Font::FontSmall, room),
                      Font::FontSmall, TextMuted);
        return;
    }
    const FanChannel& fan = fans[static_cast<std::size_t>(i)];

    // The range and the fan's state on one line; where that is too long for the card, the
    // state moves up beside the fan's name. A backend that drives no fan claims no mode: a
    // speed there is at most measured, as a graphics card's tachometer does.
    const bool driven = !model.controller() || model.controller()->drivesFans();
    const wchar_t* state =
        driven ? text(fan.manual ? TextId::FanManual : TextId::FanAuto)
               : text(fan.measured ? TextId::FanMeasuredOnly : TextId::FanNotDriven);
    wchar_t range[64];
    formatBounded(range, 64, text(TextId::FanRangeWithState), fan.minRpm, fan.maxRpm, state);
    if (canvas.measureText(range, Font::FontSmall).width <= room) {
        canvas.textAt(x + 16, B + 119, fitWithEllipsis(canvas, fan.label, Font::FontBold, room),
                      Font::FontBold, Text);
    } else {
        drawLabelValue(canvas, {x + 16, B + 119, x + cw - 16, B + 137}, fan.label, state,
                       {Font::FontBold, Text, Font::FontSmall, TextMuted});
        formatBounded(range, 64, text(TextId::FanRange), fan.minRpm, fan.maxRpm);
    }
    canvas.textAt(x + 16, B + 139, fitWithEllipsis(canvas, range, Font::FontSmall, room),
                  Font::FontSmall, TextMuted);

    wchar_t current[32];
    formatBounded(current, 32, L"%.0f RPM", fan.currentRpm);
    if (fan.measured) {
        canvas.textAt(x + 16, B + 159, fitWithEllipsis(canvas, current, Font::FontBig, room),
                      Font::FontBig, AccentLight);
    } else {
        // A speed that was only asked for never looks like a reading.
        canvas.textAt(
            x + 16, B + 164,
            fitWithEllipsis(canvas, text(TextId::FanTargetNotMeasured), Font::FontSmall, room),
            Font::FontSmall, TextMuted);
        canvas.textAt(x + 16, B + 182, fitWithEllipsis(canvas, current, Font::FontBold, room),
                      Font::FontBold, TextMuted);
    }
    drawBar(canvas, x + 16, B + 209, cw - 32, 8, rangeFraction(fan, fan.currentRpm),
            fan.measured ? AccentLight : TextMuted);

    const double manual = model.settings.manualRpm[static_cast<std::size_t>(i)];
    wchar_t manualText[32];
    formatBounded(manualText, 32, L"%.0f RPM", manual);
    drawLabelValue(canvas, {x + 16, B + 229, x + cw - 16, B + 245}, text(TextId::ManualSpeedLabel),
                   manualText, {Font::FontSmall, TextMuted, Font::FontBold, Text});

    Rect& slider = ui.sliderRects[static_cast<std::size_t>(i)];
    slider = drawSlider(canvas, x + 16, B + 251, cw - 32, rangeFraction(fan, manual), Accent);
    addHitRegion(ui.hitRegions, slider, REGION_SLIDER_FIRST + i, i);
}

} // namespace

void paintDashboardTab(Canvas& canvas, const ContentLayout& l, UiState& ui,
                       const WindowModel& model) {
    using namespace palette;
    const Readings& r = model.readings();
    paintReadingCards(canvas, l, r);

    if (r.fanList.size() == 1) {
        paintFanCard(canvas, l, 0, 243, l.W, ui, model);
    } else {
        const int cw = l.W / 2 - 6;
        for (int i = 0; i < 2; ++i)
            paintFanCard(canvas, l, i, 243 + i * (cw + 12), cw, ui, model);
    }

    const int B = l.B;
    drawCard(canvas, {243, B + 310, l.W + 243, B + 364});
    drawToggle(canvas, ui.hitRegions, 257, B + 326, model.settings.linkSliders, REGION_LINK_SWITCH);
    const Rect apply{l.W + 43, B + 320, l.W + 229, B + 354};
    drawWrappedInBand(canvas, {297, B + 314, apply.left - 10, B + 360},
                      controlCaption(REGION_LINK_SWITCH), Font::FontBody, Text);

    drawRoundPanel(canvas, apply, 8, Accent, AccentLight);
    canvas.textIn(apply, controlCaption(REGION_APPLY_MANUAL), Font::FontBold, White,
                  TextAlign::Center);
    addHitRegion(ui.hitRegions, apply, REGION_APPLY_MANUAL, 0);

    // The free space below: how the readings moved. A short window cuts it like any content.
    const int top = B + 374;
    if (top + 60 <= l.H)
        paintHistoryCard(canvas, {243, top, l.W + 243, std::max(l.H - 20, top + 150)}, ui,
                         r.fanList);
}
