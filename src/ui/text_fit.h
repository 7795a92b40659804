#pragma once

#include "base/color.h"
#include "base/rect.h"
#include "platform/canvas.h"

#include <string>
#include <string_view>
#include <vector>

// Rules that keep every text inside its box, measured with the canvas's own fonts.

// A text made to fit: a view of the original when it fits (no copy, as nearly every text does),
// else a shortened copy of its own. Views of the original live as long as the original.
class FittedText {
public:
    static FittedText whole(std::wstring_view text);
    static FittedText shortened(std::wstring text);
    std::wstring_view view() const { return isCopy_ ? std::wstring_view(copy_) : original_; }
    operator std::wstring_view() const { return view(); }
    std::wstring str() const { return std::wstring(view()); }
    bool empty() const { return view().empty(); }

private:
    std::wstring_view original_;
    std::wstring copy_;
    bool isCopy_ = false;
};

// text when it fits in maxWidth, else its longest start that fits followed by "…" (never
// splitting a surrogate pair); just "…" or nothing when not even that fits.
FittedText fitWithEllipsis(Canvas& canvas, std::wstring_view text, Font font, int maxWidth);

// The first of fonts (largest first) in which text fits maxWidth, else the last one.
Font firstFontThatFits(Canvas& canvas, std::wstring_view text, const Font* fonts, int count,
                       int maxWidth);

// Breaks text into lines no wider than maxWidth, at spaces where possible; a word wider than
// a line is broken inside. Empty text gives no line. The lines are views of text.
std::vector<std::wstring_view> wrapText(Canvas& canvas, std::wstring_view text, Font font,
                                        int maxWidth);
// The first line wrapText would give for rest; rest is left with the text after it.
std::wstring_view takeLine(Canvas& canvas, std::wstring_view& rest, Font font, int maxWidth);

// Paragraphs laid out top to bottom before anything is drawn, so that the card under them
// can be sized first. The lines are views of the text laid out, which must outlive the block.
struct TextBlock {
    std::vector<std::wstring_view> lines;
    int x = 0;
    int y = 0;
    int lineHeight = 0;
    Font font = Font::FontBody;
    Color color = 0;
    int bottom() const { return y + lineHeight * static_cast<int>(lines.size()); }
};
// text wrapped at width from (x, y), lines at least minLineHeight apart; a negative
// minLineHeight sets lines exactly that far apart (its magnitude), closer than the font's cell
// but not closer than its characters.
TextBlock layoutBlock(Canvas& canvas, int x, int y, int width, int minLineHeight,
                      std::wstring_view text, Font font, Color color);
void drawBlock(Canvas& canvas, const TextBlock& block);

// Wrapped to band's width and centred in its height, as many lines as fit; the last shown
// line ends in "…" when text goes on.
void drawWrappedInBand(Canvas& canvas, const Rect& band, std::wstring_view text, Font font,
                       Color color);

// A label and a value on one row of row's width: the value gets the width it needs first
// (cut with "…" only if the row cannot hold it at all) and is right-aligned at row.right; the
// label gets what is left, less a gap, and is cut with "…" when longer.
struct LabelValueStyle {
    Font labelFont;
    Color labelColor;
    Font valueFont;
    Color valueColor;
};
void drawLabelValue(Canvas& canvas, const Rect& row, std::wstring_view label,
                    std::wstring_view value, const LabelValueStyle& style);

// Centred in box, stepping through fonts (largest first) until it fits, then cut with "…".
void drawFittedCaption(Canvas& canvas, const Rect& box, int padding, std::wstring_view text,
                       const Font* fonts, int count, Color color);
