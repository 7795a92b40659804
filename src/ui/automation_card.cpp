#include "ui/automation_card.h"

#include "base/texts.h"
#include "regulation/control_modes.h"
#include "ui/controls.h"
#include "ui/primitives.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>

namespace {

constexpr int kOptionLine = 16;
constexpr int kPickerRow = 32;

// A label and, right of it, a button showing the mode chosen; a click opens the mode menu.
void paintModePicker(Canvas& canvas, UiState& ui, int y, int right, const wchar_t* label,
                     ControlMode mode, bool active, std::int32_t id) {
    using namespace palette;
    const int width = std::min(150, (right - 309) / 2);
    const Rect button{right - width, y - 5, right, y + 21};
    canvas.textAt(309, y, fitWithEllipsis(canvas, label, Font::FontSmall, button.left - 8 - 309),
                  Font::FontSmall, TextMuted);
    drawRoundPanel(canvas, button, 6, ButtonFill, Line);
    const Font fonts[] = {Font::FontSmall};
    drawFittedCaption(canvas, button, 4, controlModeName(mode), fonts, 1,
                      active ? Text : TextMuted);
    addHitRegion(ui.hitRegions, button, id, 0);
}

} // namespace

int paintAutomationCard(Canvas& canvas, const ContentLayout& l, UiState& ui,
                        const WindowModel& model, int top) {
    using namespace palette;
    const AutomationSettings& automation = model.settings.automation;
    const int right = l.W + 243 - 16;

    // Laid out before anything is drawn: the card under the rows grows with their lines.
    const TextBlock powerText =
        layoutBlock(canvas, 309, top + 42, right - 309, -kOptionLine,
                    controlCaption(REGION_POWER_SOURCE_SWITCH), Font::FontBody, Text);
    const int batteryY = std::max(top + 42 + 34, powerText.bottom() + 2) + 4;
    const int mainsY = batteryY + kPickerRow;
    const TextBlock logText =
        layoutBlock(canvas, 309, mainsY + kPickerRow + 4, right - 309, -kOptionLine,
                    controlCaption(REGION_CSV_LOG_SWITCH), Font::FontBody, Text);
    const int buttonY = std::max(logText.y + 34, logText.bottom() + 2);
    const Rect folderButton{309, buttonY - 4, 309 + std::min(210, right - 309), buttonY + 24};
    const int bottom = folderButton.bottom + 14;

    drawCard(canvas, {243, top, l.W + 243, bottom});
    canvas.textAt(
        259, top + 12,
        fitWithEllipsis(canvas, text(TextId::AutomationTitle), Font::FontBold, right - 259),
        Font::FontBold, Text);
    drawToggle(canvas, ui.hitRegions, 259, powerText.y - 2, automation.followPowerSource,
               REGION_POWER_SOURCE_SWITCH);
    drawBlock(canvas, powerText);
    paintModePicker(canvas, ui, batteryY, right, controlCaption(REGION_BATTERY_MODE),
                    automation.batteryMode, automation.followPowerSource, REGION_BATTERY_MODE);
    paintModePicker(canvas, ui, mainsY, right, controlCaption(REGION_MAINS_MODE),
                    automation.mainsMode, automation.followPowerSource, REGION_MAINS_MODE);
    drawToggle(canvas, ui.hitRegions, 259, logText.y - 2, automation.csvLog, REGION_CSV_LOG_SWITCH);
    drawBlock(canvas, logText);
    drawRoundPanel(canvas, folderButton, 6, ButtonFill, Line);
    const Font fonts[] = {Font::FontBold, Font::FontBoldStep, Font::FontBoldMin};
    drawFittedCaption(canvas, folderButton, 4, controlCaption(REGION_OPEN_LOG_FOLDER), fonts, 3,
                      Text);
    addHitRegion(ui.hitRegions, folderButton, REGION_OPEN_LOG_FOLDER, 0);
    return bottom;
}
