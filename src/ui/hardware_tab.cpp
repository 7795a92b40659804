#include "app/app_state.h"
#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

#include <climits>
#include <cstddef>

namespace {

int cardHeight(const InventorySection& section) {
    const std::size_t rows = section.rows.size();
    // A section that could not fit any window is as tall as the limit allows.
    if (rows > static_cast<std::size_t>((INT_MAX - 52) / 24))
        return INT_MAX / 2;
    return 52 + 24 * static_cast<int>(rows);
}

void paintSection(Canvas& canvas, const InventorySection& s, int off, int half, int y, int h) {
    using namespace palette;
    drawCard(canvas, {243 + off, y, off + half + 237, y + h});
    canvas.textAt(257 + off, y + 10, s.title, Font::FontBold, s.accentColor);
    canvas.textAt(257 + off, y + 26, s.subtitle, Font::FontSmall, TextMuted);
    int yk = y + 46;
    for (const InventoryRow& row : s.rows) {
        canvas.textAt(257 + off, yk, row.label, Font::FontSmall, TextMuted);
        canvas.textIn({388 + off, yk, off + half + 223, yk + 20}, row.value, Font::FontBold, Text,
                      TextAlign::RightEllipsis);
        yk += 24;
    }
}

} // namespace

void paintHardwareTab(Canvas& canvas, const ContentLayout& l) {
    const int half = l.W / 2;
    int nextY[2] = {l.B, l.B}; // left, right
    for (const InventorySection& s : appState.inventory) {
        const int column = nextY[0] > nextY[1] ? 1 : 0; // ties go left
        const int off = column == 0 ? 0 : half + 6;
        const int y = nextY[column];
        const int h = cardHeight(s);
        // Cards out of sight keep their place, so the packing does not depend on the window.
        if (y <= l.H && y + h >= l.B - 20)
            paintSection(canvas, s, off, half, y, h);
        nextY[column] = y > INT_MAX / 2 - h ? INT_MAX / 2 : y + h + 10;
    }
}
