#pragma once

#include "base/color.h"
#include "base/rect.h"

#include <cstddef>
#include <string_view>

// The seven fonts of the window. Sizes are character heights in pixels, not cell heights.
enum class Font : int {
    FontTitle = 0,
    FontBrand,
    FontBody,
    FontBold,
    FontSmall,
    FontBig,
    FontMono,
    FontBoldStep, // FontBold one pixel smaller: a caption that does not fit at full size
    FontBoldMin,  // FontBold at 11 px, the smallest a caption steps down to (8 pt at 100 %)
};
inline constexpr int FONT_COUNT = 9;

struct FontDefinition {
    const wchar_t* face;
    int pixelSize;
    int weight;
    bool fixedPitch;
};

// Indexed by Font.
inline constexpr FontDefinition FONT_DEFINITIONS[FONT_COUNT] = {
    {L"Segoe UI", 20, 700, false}, // FontTitle: logo monogram, About title
    {L"Segoe UI", 16, 600, false}, // FontBrand: product name in the sidebar
    {L"Segoe UI", 13, 400, false}, // FontBody: inactive tabs, option texts, sensor labels
    {L"Segoe UI", 13, 700, false}, // FontBold: titles, buttons, values
    {L"Segoe UI", 11, 400, false}, // FontSmall: captions, labels, notice
    {L"Segoe UI", 32, 700, false}, // FontBig: large readings
    {L"Consolas", 12, 400, true},  // FontMono: live-status values, sensor keys
    {L"Segoe UI", 12, 700, false}, // FontBoldStep
    {L"Segoe UI", 11, 700, false}, // FontBoldMin
};

// How text sits in a rectangle; the text is single-line and clipped to the rectangle.
enum class TextAlign : int {
    Center = 0,   // both axes: buttons, badges, the logo
    LeftVCenter,  // left, vertically centred: sidebar entries
    Right,        // right, top: values
    RightEllipsis // right, top, "..." at the end when too wide: inventory values
};

// The extent of a single line of text: advance width and line (cell) height, in layout pixels.
struct TextSize {
    int width = 0;
    int height = 0;
    bool operator==(const TextSize&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Where the window is drawn: the off-screen bitmap of one paint. A paint is bracketed by
// beginPaint/endPaint, which own the fonts; every other object lives for one call only, so
// the target keeps no pen, brush or font of ours once endPaint has returned.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Makes the seven fonts and switches text to a transparent background.
    virtual void beginPaint() = 0;
    // Releases the fonts; the target is left as it was found.
    virtual void endPaint() = 0;

    // Fills exactly the pixels of rect (right and bottom exclusive).
    virtual void fillRect(const Rect& rect, Color color) = 0;
    // A rounded rectangle with corner ellipses of radius x radius, interior in fill and a
    // one-pixel outline in border; equal colours give a shape without a visible outline.
    virtual void roundPanel(const Rect& rect, int radius, Color fill, Color border) = 0;
    // An ellipse inscribed in rect, filled and outlined by a one-pixel line.
    virtual void ellipse(const Rect& rect, Color fill, Color outline) = 0;
    // A straight line from -> to (the end pixel excluded), solid of the given width or dotted
    // with width 1.
    virtual void line(Point from, Point to, Color color, int width, bool dotted) = 0;
    // Connected solid segments through count points, in order.
    virtual void polyline(const Point* points, std::size_t count, Color color, int width) = 0;
    // Text with its top-left corner at (x, y).
    virtual void textAt(int x, int y, std::wstring_view text, Font font, Color color) = 0;
    // Text placed in rect by align, clipped to rect.
    virtual void textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                        TextAlign align) = 0;
    // The extent text takes as one line in font, rounded up: textAt(x, y) inks nothing outside
    // (x, y, x + width, y + height). Usable outside a paint; empty text is 0 wide.
    virtual TextSize measureText(std::wstring_view text, Font font) = 0;

    // What the texts mean to those who read the window instead of seeing it (screen readers,
    // tooltips). Drawing ignores all four; a canvas that reads the page keeps them.
    // A text cut to fit: wherever this paint draws shown, it stands for whole.
    virtual void textCut(std::wstring_view /*shown*/, std::wstring_view /*whole*/) {}
    // The next `lines` texts drawn are the lines of one paragraph, whole.
    virtual void paragraph(std::wstring_view /*whole*/, int /*lines*/) {}
    // The texts drawn from liveBegin to liveEnd report a state that changes by itself (the
    // live status, the notice): one group under name, announced when it changes.
    virtual void liveBegin(std::wstring_view /*name*/) {}
    virtual void liveEnd() {}
};
