#include "base/bounded_format.h"
#include "base/texts.h"
#include "hardware/apple_smc_controller.h"
#include "ui/automation_card.h"
#include "ui/backend_state.h"
#include "ui/controls.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kSmallLine = 18;
constexpr int kOptionLine = 16;

// The status card: its lines wrap, and the card grows with them beyond its usual height.
int paintStatusCard(Canvas& canvas, const ContentLayout& l, UiState& ui, const WindowModel& model) {
    using namespace palette;
    const int B = l.B;
    const IHardwareController* controller = model.controller();
    const bool fault = controller && controller->isConnected() && model.readings().driverFault;
    const int right = l.W + 243 - 16;
    const Rect reload{l.W + 63, B + 14, l.W + 227, B + 42};

    std::wstring status =
        controller ? controller->statusText() : std::wstring(text(TextId::DriverNotInitialised));
    if (fault)
        status = text(TextId::DriverFaultPrefix) + status;
    // The status steps its font down before it wraps, so that the card keeps its height.
    const int statusRoom = reload.left - 10 - 259;
    const Font statusFonts[] = {Font::FontBold, Font::FontBoldStep, Font::FontBoldMin};
    TextBlock blocks[6];
    blocks[0] = layoutBlock(canvas, 259, B + 14, statusRoom, 0, status,
                            firstFontThatFits(canvas, status, statusFonts, 3, statusRoom),
                            backendState(model).color);
    const std::wstring smc = smcGenerationText(controller);
    const std::wstring lines[5] = {
        text(TextId::DriverBackend) +
            (controller ? controller->backendName() : text(TextId::DriverBackendNone)),
        text(TextId::DriverManufacturer) + model.identity.manufacturer + text(TextId::DriverModel) +
            model.identity.product,
        text(TextId::DriverResources),
        smc.empty() ? std::wstring() : text(TextId::DriverSmcGeneration) + smc,
        controller ? controller->driverNote() : std::wstring(),
    };
    int y = std::max(blocks[0].bottom() + 6, B + 38);
    int count = 1;
    for (int i = 0; i < 5; ++i) {
        if (lines[i].empty())
            continue;
        blocks[count] = layoutBlock(canvas, 259, y, right - 259, kSmallLine, lines[i],
                                    Font::FontSmall, i == 4 ? Warning : TextMuted);
        y = blocks[count++].bottom();
    }
    const int bottom = std::max(B + 115, y + 5);
    drawCard(canvas, {243, B, l.W + 243, bottom});
    for (int i = 0; i < count; ++i)
        drawBlock(canvas, blocks[i]);

    drawRoundPanel(canvas, reload, 6, Accent, AccentLight);
    canvas.textIn(reload, controlCaption(REGION_RELOAD_DRIVER), Font::FontBold, White,
                  TextAlign::Center);
    addHitRegion(ui.hitRegions, reload, REGION_RELOAD_DRIVER, 0);
    return bottom;
}

// Two small buttons where a switch would be: the alarm temperature one step down and up.
void drawAlarmStepper(Canvas& canvas, UiState& ui, int y) {
    using namespace palette;
    const Rect down{259, y, 277, y + 20};
    const Rect up{279, y, 297, y + 20};
    drawRoundPanel(canvas, down, 6, ButtonFill, Line);
    drawRoundPanel(canvas, up, 6, ButtonFill, Line);
    canvas.textIn(down, L"−", Font::FontBold, Text, TextAlign::Center);
    canvas.textIn(up, L"+", Font::FontBold, Text, TextAlign::Center);
    addHitRegion(ui.hitRegions, down, REGION_ALARM_DOWN, 0);
    addHitRegion(ui.hitRegions, up, REGION_ALARM_UP, 0);
}

// The language button: as wide as the automation card's mode buttons, at the row's right end.
Rect pickerRect(int right, int y) {
    const int width = std::min(150, (right - 309) / 2);
    return {right - width, y - 5, right, y + 21};
}

void drawLanguagePicker(Canvas& canvas, UiState& ui, const Rect& button, LanguageChoice choice) {
    using namespace palette;
    drawRoundPanel(canvas, button, 6, ButtonFill, Line);
    const Font fonts[] = {Font::FontSmall};
    drawFittedCaption(canvas, button, 4, languageChoiceName(choice), fonts, 1, Text);
    addHitRegion(ui.hitRegions, button, REGION_LANGUAGE, 0);
}

} // namespace

void paintDriverTab(Canvas& canvas, const ContentLayout& l, UiState& ui, const WindowModel& model) {
    using namespace palette;
    const Settings& settings = model.settings;
    const int top = paintStatusCard(canvas, l, ui, model) + 13; // B + 128 at the usual height
    const int right = l.W + 243 - 16;

    wchar_t alarm[96];
    formatBounded(alarm, 96, text(TextId::AlarmOption),
                  static_cast<int>(settings.tray.alarmCelsius));
    struct Option {
        const wchar_t* text;
        bool on;
        std::int32_t id;
        bool pending; // not known yet: neither on nor off, and not to be flipped
        bool stepper; // two buttons, down and up, instead of a switch
        bool picker;  // a button at the row's right end that shows the choice and steps it
    };
    const Option options[] = {
        {controlCaption(REGION_AUTOSTART_SWITCH), settings.autostartEnabled,
         REGION_AUTOSTART_SWITCH, settings.autostartPending, false, false},
        {controlCaption(REGION_MINIMIZED_SWITCH), settings.startMinimized, REGION_MINIMIZED_SWITCH,
         false, false, false},
        {controlCaption(REGION_RESET_ON_EXIT_SWITCH), settings.resetFansOnExit,
         REGION_RESET_ON_EXIT_SWITCH, false, false, false},
        {controlCaption(REGION_TRAY_TEMPERATURE_SWITCH), settings.tray.temperatureInIcon,
         REGION_TRAY_TEMPERATURE_SWITCH, false, false, false},
        {controlCaption(REGION_NOTIFICATIONS_SWITCH), settings.tray.notifications,
         REGION_NOTIFICATIONS_SWITCH, false, false, false},
        {alarm, false, 0, false, true, false},
        {controlCaption(REGION_LANGUAGE), false, REGION_LANGUAGE, false, false, true},
    };
    const Rect picker = pickerRect(right, 0);
    constexpr int kOptions = static_cast<int>(sizeof options / sizeof options[0]);
    // Each option's first line keeps its usual place, 34 pixels below the last; an option
    // that wraps pushes the next one down only when its lines need the room.
    TextBlock blocks[kOptions];
    int y = top + 42;
    for (int i = 0; i < kOptions; ++i) {
        // Wrapped lines stand close, so that two of them fit the usual 34-pixel row.
        const int room = (options[i].picker ? picker.left - 8 : right) - 309;
        blocks[i] =
            layoutBlock(canvas, 309, y, room, -kOptionLine, options[i].text, Font::FontBody, Text);
        y = std::max(y + 34, blocks[i].bottom() + 2);
    }
    const int bottom =
        std::max(top + 148 + 34 * (kOptions - 3), blocks[kOptions - 1].bottom() + 14);
    drawCard(canvas, {243, top, l.W + 243, bottom});
    canvas.textAt(259, top + 12,
                  fitWithEllipsis(canvas, text(TextId::OptionsTitle), Font::FontBold, right - 259),
                  Font::FontBold, Text);
    for (int i = 0; i < kOptions; ++i) {
        const int toggleY = blocks[i].y - 2;
        if (options[i].stepper)
            drawAlarmStepper(canvas, ui, toggleY);
        else if (options[i].picker)
            drawLanguagePicker(canvas, ui, pickerRect(right, blocks[i].y), settings.language);
        else if (options[i].pending)
            drawPendingToggle(canvas, 259, toggleY);
        else
            drawToggle(canvas, ui.hitRegions, 259, toggleY, options[i].on, options[i].id);
        drawBlock(canvas, blocks[i]);
    }
    paintAutomationCard(canvas, l, ui, model, bottom + 13);
}
