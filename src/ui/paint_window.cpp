#include "ui/paint_window.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "regulation/control_modes.h"
#include "ui/backend_state.h"
#include "ui/contrast_canvas.h"
#include "ui/controls.h"
#include "ui/focus.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kSidebarWidth = 225;
constexpr int kManufacturerMax = 22;
constexpr int kManufacturerCut = 20;
constexpr int kFocusRingGap = 3;
constexpr int kFocusRingWidth = 2;

// The sidebar shows a long maker name cut, so that it never runs into the divider. A cut
// never splits a surrogate pair: half a character would be drawn as a stray box.
std::wstring shortManufacturer(const std::wstring& name) {
    if (name.size() <= static_cast<std::size_t>(kManufacturerMax))
        return name;
    std::size_t cut = kManufacturerCut;
    const auto last = static_cast<unsigned long>(name[cut - 1]);
    if (last >= 0xD800ul && last <= 0xDBFFul)
        --cut;
    return name.substr(0, cut) + L"..";
}

void paintSidebar(Canvas& canvas, int H, UiState& ui, const WindowModel& model) {
    using namespace palette;
    canvas.fillRect({0, 0, kSidebarWidth, H}, SidebarFill);
    canvas.line({kSidebarWidth, 0}, {kSidebarWidth, H}, Line, 1, false);

    drawRoundPanel(canvas, {16, 18, 48, 50}, 10, Accent, AccentLight);
    canvas.textIn({16, 18, 48, 50}, L"VS", Font::FontTitle, White, TextAlign::Center);
    canvas.textAt(58, 17, L"Ventrasol", Font::FontBrand, Text);
    const std::wstring& maker = model.identity.manufacturer;
    const std::wstring shortMaker = shortManufacturer(maker);
    const FittedText shownMaker =
        fitWithEllipsis(canvas, shortMaker, Font::FontSmall, kSidebarWidth - 8 - 58);
    if (shownMaker.view() != maker)
        canvas.textCut(shownMaker, maker);
    canvas.textAt(58, 35, shownMaker, Font::FontSmall, TextMuted);

    for (int i = 0; i < TAB_COUNT; ++i) {
        const Rect entry{12, 70 + 36 * i, 213, 100 + 36 * i};
        const Rect caption{24, 70 + 36 * i, 205, 100 + 36 * i};
        const bool active = i == ui.activeTab;
        const Font font = active ? Font::FontBold : Font::FontBody;
        drawRoundPanel(canvas, entry, 8, active ? Accent : SidebarFill,
                       active ? Accent : SidebarFill);
        canvas.textIn(
            caption,
            fitWithEllipsis(canvas, controlCaption(REGION_TAB_FIRST + i), font, caption.width()),
            font, active ? White : TextMuted, TextAlign::LeftVCenter);
        addHitRegion(ui.hitRegions, entry, REGION_TAB_FIRST + i, i);
    }

    drawCard(canvas, {12, H - 148, 213, H - 12});
    // The state's dot and text sit at the card's right; a longer text pushes the dot left.
    const Readings& r = model.readings();
    const BackendState state = backendState(model);
    const int stateLeft =
        std::min(159, 207 - canvas.measureText(state.word, Font::FontSmall).width);
    canvas.liveBegin(text(TextId::LiveStatusName));
    canvas.textAt(22, H - 138,
                  fitWithEllipsis(canvas, text(TextId::LiveStatusTitle), Font::FontSmall,
                                  stateLeft - 16 - 22),
                  Font::FontSmall, TextMuted);
    canvas.ellipse({stateLeft - 12, H - 136, stateLeft - 4, H - 128}, state.color, Line);
    canvas.textAt(stateLeft, H - 138, state.word, Font::FontSmall, state.color);

    const auto& fans = r.fanList;
    struct Row {
        const wchar_t* label;
        const wchar_t* format;
        double value;
        bool lost;
        Color color;
    };
    const Row rows[] = {
        {L"CPU Max", L"%.1f °C", r.cpuTemp, r.cpuTempLost || r.quality.cpuTempFallback,
         temperatureColor(r.cpuTemp)},
        {L"GPU Max", L"%.1f °C", r.gpuTemp, r.gpuTempLost || r.quality.gpuTempFallback,
         temperatureColor(r.gpuTemp)},
        {text(TextId::FanOne), L"%.0f RPM", fans.size() >= 1 ? fans[0].currentRpm : 0.0,
         fans.size() >= 1 && !fans[0].measured, AccentLight},
        {text(TextId::FanTwo), L"%.0f RPM", fans.size() >= 2 ? fans[1].currentRpm : 0.0,
         fans.size() >= 2 && !fans[1].measured, AccentLight},
    };
    int y = H - 114;
    for (const Row& row : rows) {
        wchar_t value[32];
        formatBounded(value, 32, row.format, row.value);
        drawLabelValue(
            canvas, {22, y, 203, y + 18}, row.label, row.lost ? L"--" : value,
            {Font::FontSmall, TextMuted, Font::FontMono, row.lost ? TextMuted : row.color});
        y += 23;
    }
    canvas.liveEnd();
}

// The six mode buttons: in one row where every caption fits one, else in two rows of three.
bool modesFitOneRow(Canvas& canvas, int W) {
    const int room = (W - 58) / 6 - 6;
    for (int m = 0; m < MODE_COUNT; ++m) {
        const wchar_t* name = controlModeName(static_cast<ControlMode>(m));
        if (canvas.measureText(name, Font::FontSmall).width > room ||
            canvas.measureText(name, Font::FontBoldMin).width > room)
            return false;
    }
    return true;
}

Rect modeButtonRect(int W, int m, bool oneRow) {
    if (oneRow) {
        const int bw = (W - 58) / 6;
        const int x = 257 + m * (bw + 6);
        return {x, 48, x + bw, 80};
    }
    const int bw = (W - 40) / 3;
    const int x = 257 + (m % 3) * (bw + 6);
    const int y = m < 3 ? 43 : 67;
    return {x, y, x + bw, y + 21};
}

void paintHeader(Canvas& canvas, int W, UiState& ui, const WindowModel& model) {
    using namespace palette;
    drawCard(canvas, {243, 14, W + 243, 92});
    const Rect badge{W + 98, 18, W + 229, 38};
    canvas.textAt(257, 20,
                  fitWithEllipsis(canvas, model.identity.product + text(TextId::HeaderFanControl),
                                  Font::FontBold, badge.left - 8 - 257),
                  Font::FontBold, Text);
    drawRoundPanel(canvas, badge, 8, BadgeFill, Accent);
    const Font badgeFonts[] = {Font::FontSmall};
    drawFittedCaption(canvas, badge, 4, controlModeName(model.settings.mode), badgeFonts, 1,
                      AccentLight);

    // Captions step down to the smallest readable size before they are cut.
    const Font activeFonts[] = {Font::FontBold, Font::FontBoldStep, Font::FontBoldMin};
    const Font inactiveFonts[] = {Font::FontSmall};
    const bool oneRow = modesFitOneRow(canvas, W);
    const int active = static_cast<int>(model.settings.mode);
    for (int m = 0; m < MODE_COUNT; ++m) {
        const Rect button = modeButtonRect(W, m, oneRow);
        const wchar_t* name = controlModeName(static_cast<ControlMode>(m));
        if (m == active) {
            drawRoundPanel(canvas, button, 7, Accent, AccentLight);
            drawFittedCaption(canvas, button, 3, name, activeFonts, 3, White);
        } else {
            drawRoundPanel(canvas, button, 7, ButtonFill, Line);
            drawFittedCaption(canvas, button, 3, name, inactiveFonts, 1, Text);
        }
        addHitRegion(ui.hitRegions, button, REGION_MODE_FIRST + m, m);
    }
}

// Returns the y of the first content card.
int paintNotice(Canvas& canvas, int W, const Notice& notice) {
    using namespace palette;
    if (notice.text.empty())
        return 102;
    const bool error = notice.isError;
    drawRoundPanel(canvas, {243, 102, W + 243, 128}, 6, error ? NoticeErrorFill : NoticeOkFill,
                   error ? Critical : Good);
    canvas.liveBegin(text(TextId::NoticeName));
    canvas.textAt(255, 108, fitWithEllipsis(canvas, notice.text, Font::FontSmall, W - 24),
                  Font::FontSmall, error ? NoticeErrorText : Good);
    canvas.liveEnd();
    return 136;
}

// The ring around the control the keyboard works on, drawn over everything.
void paintFocusRing(Canvas& canvas, const UiState& ui, const WindowModel& model) {
    if (!ui.focusCues || !ui.windowFocused)
        return;
    const Rect r = focusRect(ui.focus, ui.hitRegions, ui.activeTab, ui.chartRect, model);
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int g = kFocusRingGap, w = kFocusRingWidth;
    const Rect o{r.left - g - w, r.top - g - w, r.right + g + w, r.bottom + g + w};
    const Color c = palette::Text;
    canvas.fillRect({o.left, o.top, o.right, o.top + w}, c);
    canvas.fillRect({o.left, o.bottom - w, o.right, o.bottom}, c);
    canvas.fillRect({o.left, o.top + w, o.left + w, o.bottom - w}, c);
    canvas.fillRect({o.right - w, o.top + w, o.right, o.bottom - w}, c);
}

void paintAll(Canvas& canvas, const Rect& client, UiState& ui, const WindowModel& model) {
    // The sidebar covers its own strip: the background is laid only where the content goes.
    canvas.fillRect({std::max(client.left, kSidebarWidth), client.top, client.right, client.bottom},
                    palette::Background);
    canvas.beginPaint();

    ContentLayout layout;
    layout.H = client.height();
    layout.W = contentWidth(client);
    paintSidebar(canvas, layout.H, ui, model);
    paintHeader(canvas, layout.W, ui, model);
    layout.B = paintNotice(canvas, layout.W, model.regulation.notice);

    switch (ui.activeTab) {
    case 0:
        paintDashboardTab(canvas, layout, ui, model);
        break;
    case 1:
        paintCurveTab(canvas, layout, ui, model);
        break;
    case 2:
        paintSensorsTab(canvas, layout, ui, model);
        break;
    case 3:
        paintHardwareTab(canvas, layout, ui, model);
        break;
    case 4:
        paintDriverTab(canvas, layout, ui, model);
        break;
    case 5:
        paintAboutTab(canvas, layout, ui, model);
        break;
    default:
        break; // an unknown tab shows the frame only
    }

    paintFocusRing(canvas, ui, model);
    canvas.endPaint();
}

} // namespace

int contentWidth(const Rect& client) {
    return std::max(client.width() - 261, 320);
}

void paintWindow(Canvas& canvas, const Rect& client, UiState& ui, const WindowModel& model) {
    ui.hitRegions.clear();
    if (ui.contrast.on) {
        ContrastCanvas contrast(canvas, ui.contrast.colors);
        paintAll(contrast, client, ui, model);
        return;
    }
    paintAll(canvas, client, ui, model);
}
