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
// length.
std::size_t longestFittingStart(Canvas& canvas, std::wstring_view text, Font font, int maxWidth,
                                std::wstring_view suffix) {
    std::size_t lo = 0, hi = text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        std::wstring probe(text.substr(0, mid));
        probe += suffix;
        if (widthOf(canvas, probe, font) <= maxWidth)
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
    return FittedText::shortened(std::wstring(text.substr(0, n)) + kEllipsis);
}

Font firstFontThatFits(Canvas& canvas, std::wstring_view text, const Font* fonts, int count,
                       int maxWidth) {
    for (int i = 0; i < count; ++i)
        if (widthOf(canvas, text, fonts[i]) <= maxWidth)
            return fonts[i];
    return fonts[count - 1];
}

std::vector<std::wstring> wrapText(Canvas& canvas, std::wstring_view text, Font font,
                                   int maxWidth) {
    std::vector<std::wstring> lines;
    while (!text.empty()) {
        if (widthOf(canvas, text, font) <= maxWidth) {
            lines.emplace_back(text);
            break;
        }
        const std::size_t fits = longestFittingStart(canvas, text, font, maxWidth, L"");
        // Break at the last blank inside what fits; without one, inside the word.
        std::size_t cut = fits;
        const std::size_t blank = text.substr(0, fits + 1).find_last_of(L' ');
        if (blank != std::wstring_view::npos && blank > 0)
            cut = blank;
        if (cut == 0)
            cut = safeCut(text, 1) == 0 ? std::min<std::size_t>(2, text.size()) : 1;
        std::wstring_view line = text.substr(0, cut);
        while (!line.empty() && line.back() == L' ')
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(cut);
        while (!text.empty() && text.front() == L' ')
            text.remove_prefix(1);
    }
    return lines;
}

int drawWrapped(Canvas& canvas, int x, int y, int maxWidth, int lineHeight, std::wstring_view text,
                Font font, Color color) {
    for (const std::wstring& line : wrapText(canvas, text, font, maxWidth)) {
        canvas.textAt(x, y, line, font, color);
        y += lineHeight;
    }
    return y;
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
    int y = block.y;
    for (const std::wstring& line : block.lines) {
        canvas.textAt(block.x, y, line, block.font, block.color);
        y += block.lineHeight;
    }
}

void drawWrappedInBand(Canvas& canvas, const Rect& band, std::wstring_view text, Font font,
                       Color color) {
    std::vector<std::wstring> lines = wrapText(canvas, text, font, band.width());
    const int lineHeight = canvas.measureText(L"", font).height;
    if (lines.empty() || lineHeight <= 0)
        return;
    const std::size_t fit = static_cast<std::size_t>(std::max(band.height() / lineHeight, 1));
    if (lines.size() > fit) {
        std::wstring rest = lines[fit - 1];
        for (std::size_t i = fit; i < lines.size(); ++i)
            rest += L" " + lines[i];
        lines.resize(fit);
        lines.back() = fitWithEllipsis(canvas, rest, font, band.width()).str();
    }
    int y = band.top + (band.height() - static_cast<int>(lines.size()) * lineHeight) / 2;
    for (const std::wstring& line : lines) {
        canvas.textAt(band.left, y, line, font, color);
        y += lineHeight;
    }
}

void drawLabelValue(Canvas& canvas, const Rect& row, std::wstring_view label,
                    std::wstring_view value, const LabelValueStyle& style) {
    const FittedText shownValue = fitWithEllipsis(canvas, value, style.valueFont, row.width());
    const TextSize valueSize = canvas.measureText(shownValue, style.valueFont);
    const int valueWidth = valueSize.width;
    const int valueHeight = valueSize.height;
    canvas.textIn({row.right - valueWidth, row.top, row.right, row.top + valueHeight}, shownValue,
                  style.valueFont, style.valueColor, TextAlign::Right);
    const int labelRoom = row.width() - valueWidth - (valueWidth > 0 ? kLabelGap : 0);
    const FittedText shownLabel = fitWithEllipsis(canvas, label, style.labelFont, labelRoom);
    if (!shownLabel.empty())
        canvas.textAt(row.left, row.top, shownLabel, style.labelFont, style.labelColor);
}

void drawFittedCaption(Canvas& canvas, const Rect& box, int padding, std::wstring_view text,
                       const Font* fonts, int count, Color color) {
    const int room = box.width() - 2 * padding;
    const Font font = firstFontThatFits(canvas, text, fonts, count, room);
    const FittedText shown = fitWithEllipsis(canvas, text, font, room);
    canvas.textIn({box.left + padding, box.top, box.right - padding, box.bottom}, shown, font,
                  color, TextAlign::Center);
}
