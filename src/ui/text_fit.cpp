#include "ui/text_fit.h"

#include <algorithm>
#include <utility>

namespace {

constexpr wchar_t kEllipsis[] = L"…";
constexpr int kLabelGap = 8;

bool isLeadSurrogate(wchar_t c) {
    const auto u = static_cast<unsigned long>(c);
    return u >= 0xD800ul && u <= 0xDBFFul;
}

// A cut after n units that does not leave half a surrogate pair.
std::size_t safeCut(std::wstring_view text, std::size_t n) {
    if (n > 0 && n < text.size() && isLeadSurrogate(text[n - 1]))
        --n;
    return n;
}

int widthOf(Canvas& canvas, std::wstring_view text, Font font) {
    return canvas.measureText(text, font).width;
}

// The longest start of text (in units) that fits maxWidth, by bisection: widths grow with
// length. The probes are built in one buffer (on the stack for the usual short texts), so that
// fitting a text allocates nothing per probe.
std::size_t longestFittingStart(Canvas& canvas, std::wstring_view text, Font font, int maxWidth,
                                std::wstring_view suffix) {
    constexpr std::size_t kStackProbe = 256;
    wchar_t onStack[kStackProbe];
    std::wstring onHeap;
    wchar_t* probe = onStack;
    if (!suffix.empty()) {
        if (text.size() + suffix.size() > kStackProbe) {
            onHeap.resize(text.size() + suffix.size());
            probe = onHeap.data();
        }
        std::copy(text.begin(), text.end(), probe);
    }
    std::size_t lo = 0, hi = text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        std::wstring_view candidate = text.substr(0, mid);
        if (!suffix.empty()) {
            // The suffix overwrites the text after mid for this probe only.
            std::copy(suffix.begin(), suffix.end(), probe + mid);
            candidate = std::wstring_view(probe, mid + suffix.size());
        }
        const bool fits = widthOf(canvas, candidate, font) <= maxWidth;
        if (!suffix.empty()) {
            const std::size_t restored = std::min(suffix.size(), text.size() - mid);
            std::copy(text.begin() + static_cast<std::ptrdiff_t>(mid),
                      text.begin() + static_cast<std::ptrdiff_t>(mid + restored), probe + mid);
        }
        if (fits)
            lo = mid;
        else
            hi = mid - 1;
    }
    return safeCut(text, lo);
}

} // namespace

FittedText FittedText::whole(std::wstring_view text) {
    FittedText t;
    t.original_ = text;
    return t;
}

FittedText FittedText::shortened(std::wstring text) {
    FittedText t;
    t.copy_ = std::move(text);
    t.isCopy_ = true;
    return t;
}

FittedText fitWithEllipsis(Canvas& canvas, std::wstring_view text, Font font, int maxWidth) {
    if (widthOf(canvas, text, font) <= maxWidth)
        return FittedText::whole(text);
    if (widthOf(canvas, kEllipsis, font) > maxWidth)
        return FittedText::shortened({});
    std::size_t n = longestFittingStart(canvas, text, font, maxWidth, kEllipsis);
    // A cut right after a blank would show "word …".
    while (n > 0 && text[n - 1] == L' ')
        --n;
    FittedText cut = FittedText::shortened(std::wstring(text.substr(0, n)) + kEllipsis);
    canvas.textCut(cut.view(), text);
    return cut;
}

Font firstFontThatFits(Canvas& canvas, std::wstring_view text, const Font* fonts, int count,
                       int maxWidth) {
    for (int i = 0; i < count; ++i)
        if (widthOf(canvas, text, fonts[i]) <= maxWidth)
            return fonts[i];
    return fonts[count - 1];
}

std::wstring_view takeLine(Canvas& canvas, std::wstring_view& rest, Font font, int maxWidth) {
    if (rest.empty())
        return {};
    if (widthOf(canvas, rest, font) <= maxWidth) {
        const std::wstring_view line = rest;
        rest = {};
        return line;
    }
    const std::size_t fits = longestFittingStart(canvas, rest, font, maxWidth, L"");
    // Break at the last blank inside what fits; without one, inside the word.
    std::size_t cut = fits;
    const std::size_t blank = rest.substr(0, fits + 1).find_last_of(L' ');
    if (blank != std::wstring_view::npos && blank > 0)
        cut = blank;
    if (cut == 0)
        cut = safeCut(rest, 1) == 0 ? std::min<std::size_t>(2, rest.size()) : 1;
    std::wstring_view line = rest.substr(0, cut);
    while (!line.empty() && line.back() == L' ')
        line.remove_suffix(1);
    rest.remove_prefix(cut);
    while (!rest.empty() && rest.front() == L' ')
        rest.remove_prefix(1);
    return line;
}

std::vector<std::wstring_view> wrapText(Canvas& canvas, std::wstring_view text, Font font,
                                        int maxWidth) {
    std::vector<std::wstring_view> lines;
    while (!text.empty())
        lines.push_back(takeLine(canvas, text, font, maxWidth));
    return lines;
}

TextBlock layoutBlock(Canvas& canvas, int x, int y, int width, int minLineHeight,
                      std::wstring_view text, Font font, Color color) {
    TextBlock b;
    b.lines = wrapText(canvas, text, font, width);
    b.x = x;
    b.y = y;
    b.lineHeight = minLineHeight < 0
                       ? -minLineHeight
                       : std::max(canvas.measureText(L"", font).height, minLineHeight);
    b.font = font;
    b.color = color;
    return b;
}

void drawBlock(Canvas& canvas, const TextBlock& block) {
    if (block.lines.size() > 1) {
        // The lines are views of one text, in order: together they span the paragraph.
        const wchar_t* first = block.lines.front().data();
        const wchar_t* end = block.lines.back().data() + block.lines.back().size();
        canvas.paragraph({first, static_cast<std::size_t>(end - first)},
                         static_cast<int>(block.lines.size()));
    }
    int y = block.y;
    for (const std::wstring_view line : block.lines) {
        canvas.textAt(block.x, y, line, block.font, block.color);
        y += block.lineHeight;
    }
}

void drawWrappedInBand(Canvas& canvas, const Rect& band, std::wstring_view text, Font font,
                       Color color) {
    const int lineHeight = canvas.measureText(L"", font).height;
    if (lineHeight <= 0)
        return;
    const std::size_t fit = static_cast<std::size_t>(std::max(band.height() / lineHeight, 1));
    // The lines that fit, the last of them standing for all the text from its start on.
    std::vector<std::wstring_view> lines;
    std::wstring_view rest = text;
    std::wstring_view lastStart;
    while (!rest.empty() && lines.size() < fit) {
        lastStart = rest;
        lines.push_back(takeLine(canvas, rest, font, band.width()));
    }
    if (lines.empty())
        return;
    const FittedText last = rest.empty() ? FittedText::whole(lines.back())
                                         : fitWithEllipsis(canvas, lastStart, font, band.width());
    int y = band.top + (band.height() - static_cast<int>(lines.size()) * lineHeight) / 2;
    if (lines.size() > 1)
        canvas.paragraph(text, static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        canvas.textAt(band.left, y, i + 1 == lines.size() ? last.view() : lines[i], font, color);
        y += lineHeight;
    }
}

void drawLabelValue(Canvas& canvas, const Rect& row, std::wstring_view label,
                    std::wstring_view value, const LabelValueStyle& style) {
    const FittedText shownValue = fitWithEllipsis(canvas, value, style.valueFont, row.width());
    const TextSize valueSize = canvas.measureText(shownValue, style.valueFont);
    const int valueWidth = valueSize.width;
    const int valueHeight = valueSize.height;
    const int labelRoom = row.width() - valueWidth - (valueWidth > 0 ? kLabelGap : 0);
    const FittedText shownLabel = fitWithEllipsis(canvas, label, style.labelFont, labelRoom);
    // The label first: a screen reader reads the row in drawing order.
    if (!shownLabel.empty())
        canvas.textAt(row.left, row.top, shownLabel, style.labelFont, style.labelColor);
    canvas.textIn({row.right - valueWidth, row.top, row.right, row.top + valueHeight}, shownValue,
                  style.valueFont, style.valueColor, TextAlign::Right);
}

void drawFittedCaption(Canvas& canvas, const Rect& box, int padding, std::wstring_view text,
                       const Font* fonts, int count, Color color) {
    const int room = box.width() - 2 * padding;
    const Font font = firstFontThatFits(canvas, text, fonts, count, room);
    const FittedText shown = fitWithEllipsis(canvas, text, font, room);
    canvas.textIn({box.left + padding, box.top, box.right - padding, box.bottom}, shown, font,
                  color, TextAlign::Center);
}
