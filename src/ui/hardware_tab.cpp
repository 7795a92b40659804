#include "ui/primitives.h"
#include "ui/tab_painters.h"
#include "ui/text_fit.h"
#include "ui/theme.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

namespace {

constexpr int kRowPitch = 24;
constexpr int kLabelGap = 10;
constexpr int kMaxValueLines = 3;

// How one row is laid out in a card of the given inner width: the value right-aligned beside
// the whole label when both fit, else the label on its own line and the value, wrapped where
// needed, right-aligned on the lines below it.
struct RowLayout {
    FittedText label;
    FittedText value[kMaxValueLines]; // views of the row's texts unless cut
    int lines = 0;
    bool below = false; // the value starts on the line under the label
};

RowLayout layoutRow(Canvas& canvas, const InventoryRow& row, int inner) {
    RowLayout r;
    const int labelWidth = canvas.measureText(row.label, Font::FontSmall).width;
    const int valueWidth = canvas.measureText(row.value, Font::FontBold).width;
    if (labelWidth + kLabelGap + valueWidth <= inner) {
        r.label = FittedText::whole(row.label);
        r.value[0] = FittedText::whole(row.value);
        r.lines = 1;
        return r;
    }
    r.below = true;
    r.label = fitWithEllipsis(canvas, row.label, Font::FontSmall, inner);
    // The last line that fits stands for the rest of the value, cut with "…" when it goes on.
    std::wstring_view rest = row.value;
    while (!rest.empty() && r.lines < kMaxValueLines) {
        const std::wstring_view from = rest;
        const std::wstring_view line = takeLine(canvas, rest, Font::FontBold, inner);
        const bool cut = r.lines == kMaxValueLines - 1 && !rest.empty();
        r.value[r.lines++] =
            cut ? fitWithEllipsis(canvas, from, Font::FontBold, inner) : FittedText::whole(line);
    }
    return r;
}

int valueLineHeight(Canvas& canvas) {
    return canvas.measureText(L"", Font::FontBold).height;
}

int rowHeight(const RowLayout& r, int lineHeight) {
    const int lines = r.lines + (r.below ? 0 : -1);
    return kRowPitch + lineHeight * std::max(lines, 0);
}

// Lays out s's rows once for both the card's height and its paint; returns the height. rows is
// reused from section to section.
int layoutSection(Canvas& canvas, const InventorySection& s, int inner, int lineHeight,
                  std::vector<RowLayout>& rows) {
    rows.clear();
    // A section that could not fit any window is as tall as the limit allows.
    const std::size_t limit = (INT_MAX / 4 - 52) / (kRowPitch * (kMaxValueLines + 1));
    if (s.rows.size() > limit)
        return INT_MAX / 4;
    rows.reserve(s.rows.size());
    int h = 52;
    for (const InventoryRow& row : s.rows) {
        rows.push_back(layoutRow(canvas, row, inner));
        h += rowHeight(rows.back(), lineHeight);
    }
    return h;
}

struct SectionPlace {
    int off, half, y, h, bottom; // bottom: the window's, below which nothing is seen
};

void paintSection(Canvas& canvas, const InventorySection& s, const std::vector<RowLayout>& rows,
                  const SectionPlace& at) {
    using namespace palette;
    const int left = 257 + at.off, right = at.off + at.half + 223;
    const int inner = right - left;
    drawCard(canvas, {243 + at.off, at.y, at.off + at.half + 237, at.y + at.h});
    canvas.textAt(left, at.y + 10, fitWithEllipsis(canvas, s.title, Font::FontBold, inner),
                  Font::FontBold, s.accentColor);
    canvas.textAt(left, at.y + 26, fitWithEllipsis(canvas, s.subtitle, Font::FontSmall, inner),
                  Font::FontSmall, TextMuted);
    const int lineHeight = valueLineHeight(canvas);
    int yk = at.y + 46;
    for (std::size_t k = 0; k < s.rows.size() && yk <= at.bottom; ++k) {
        RowLayout fresh; // a section too long to lay out whole is laid out as far as seen
        if (k >= rows.size())
            fresh = layoutRow(canvas, s.rows[k], inner);
        const RowLayout& r = k < rows.size() ? rows[k] : fresh;
        canvas.textAt(left, yk, r.label, Font::FontSmall, TextMuted);
        int yl = r.below ? yk + lineHeight : yk;
        for (int i = 0; i < r.lines; ++i) {
            canvas.textIn({left, yl, right, yl + lineHeight}, r.value[i], Font::FontBold, Text,
                          TextAlign::Right);
            yl += lineHeight;
        }
        yk += rowHeight(r, lineHeight);
    }
}

} // namespace

void paintHardwareTab(Canvas& canvas, const ContentLayout& l, UiState&, const WindowModel& model) {
    const int half = l.W / 2;
    const int inner = half - 34;
    const int lineHeight = valueLineHeight(canvas);
    int nextY[2] = {l.B, l.B}; // left, right
    std::vector<RowLayout> rows;
    for (const InventorySection& s : model.inventory) {
        const int column = nextY[0] > nextY[1] ? 1 : 0; // ties go left
        const int off = column == 0 ? 0 : half + 6;
        const int y = nextY[column];
        const int h = layoutSection(canvas, s, inner, lineHeight, rows);
        // Cards out of sight keep their place, so the packing does not depend on the window.
        if (y <= l.H && y + h >= l.B - 20)
            paintSection(canvas, s, rows, {off, half, y, h, l.H});
        nextY[column] = y > INT_MAX / 2 - h ? INT_MAX / 2 : y + h + 10;
    }
}
