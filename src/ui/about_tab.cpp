#include "base/texts.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>

namespace {

constexpr int kSmallLine = 18;

// Paragraphs in a card from top, each starting no higher than its usual place; returns the
// card's bottom, which grows with the lines.
int paintCard(Canvas& canvas, const ContentLayout& l, int top, int usualBottom,
              const TextBlock* blocks, int count) {
    const int bottom = std::max(usualBottom, blocks[count - 1].bottom() + 10);
    drawCard(canvas, {243, top, l.W + 243, bottom});
    for (int i = 0; i < count; ++i)
        drawBlock(canvas, blocks[i]);
    return bottom;
}

} // namespace

void paintAboutTab(Canvas& canvas, const ContentLayout& l, UiState&, const WindowModel&) {
    using namespace palette;
    const int B = l.B;
    const int width = l.W - 32;

    struct Paragraph {
        const wchar_t* text;
        int usualY; // relative to the card's top
        Font font;
        Color color;
    };
    const Paragraph about[] = {
        {L"Ventrasol Universal for Windows", 14, Font::FontTitle, Text},
        {L"Version 2.0.0 (x64 Native Multi-Vendor Build)", 42, Font::FontSmall, TextMuted},
        {text(TextId::AboutCredit), 60, Font::FontSmall, TextMuted},
        {text(TextId::AboutSummary), 78, Font::FontSmall, TextMuted},
    };
    // Only what the program does: the SMC through its driver on Intel MacBooks; elsewhere the
    // ACPI thermal zones and an NVIDIA GPU's readings, with the fans left to the firmware.
    const Paragraph supported[] = {
        {text(TextId::AboutSupported), 14, Font::FontBold, Text},
        {text(TextId::AboutApple), 40, Font::FontSmall, TextMuted},
        {text(TextId::AboutOtherPcs), 58, Font::FontSmall, TextMuted},
        {text(TextId::AboutGraphics), 76, Font::FontSmall, TextMuted},
    };

    auto layout = [&](const Paragraph* ps, int count, int top, TextBlock* out) {
        int y = top;
        for (int i = 0; i < count; ++i) {
            y = std::max(y, top + ps[i].usualY);
            out[i] =
                layoutBlock(canvas, 259, y, width, ps[i].font == Font::FontSmall ? kSmallLine : 0,
                            ps[i].text, ps[i].font, ps[i].color);
            y = out[i].bottom() + (i == 0 ? 6 : 0);
        }
    };
    TextBlock blocks[4];
    layout(about, 4, B, blocks);
    const int next = paintCard(canvas, l, B, B + 110, blocks, 4) + 14;
    layout(supported, 4, next, blocks);
    paintCard(canvas, l, next, next + 130, blocks, 4);
}
