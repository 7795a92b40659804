#pragma once

#include "platform/canvas.h"

#include <windows.h>

// Draws into a device context the caller owns (the paint's memory DC). Brushes and pens are
// made and deleted inside each call; the fonts live from beginPaint to endPaint, or to the
// destructor when a paint is abandoned. Every object is deselected before it is deleted.
class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HDC dc);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void beginPaint() override;
    void endPaint() override;
    void fillRect(const Rect& rect, Color color) override;
    void roundPanel(const Rect& rect, int radius, Color fill, Color border) override;
    void ellipse(const Rect& rect, Color fill, Color outline) override;
    void line(Point from, Point to, Color color, int width, bool dotted) override;
    void polyline(const Point* points, std::size_t count, Color color, int width) override;
    void textAt(int x, int y, std::wstring_view text, Font font, Color color) override;
    void textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                TextAlign align) override;

private:
    void releaseFonts();

    HDC dc_;
    HFONT fonts_[FONT_COUNT] = {};
    bool painting_ = false;
    int savedBkMode_ = 0;
    COLORREF savedTextColor_ = 0;
};
