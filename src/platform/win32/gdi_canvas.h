#pragma once

#include "platform/canvas.h"
#include "platform/win32/gdi_font_set.h"

#include <windows.h>

#include <vector>

// Draws into a device context the caller owns (the paint's memory DC). Brushes and pens are
// made and deleted inside each call. Fonts come from a font set the caller keeps across paints;
// a canvas made without one makes its own fonts for each paint and releases them at endPaint
// or, for an abandoned paint, in the destructor. A font stays selected between text calls and
// the context's own one is put back at endPaint; every object is deselected before it is
// deleted.
//
// Coordinates are layout pixels; scale turns them into device pixels (1.5 at 144 DPI), so the
// same layout fills a window of any DPI. Measurements come back in layout pixels, rounded up.
class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HDC dc);
    GdiCanvas(HDC dc, GdiFontSet& fonts, float scale);
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
    TextSize measureText(std::wstring_view text, Font font) override;

    // Leaves out every call that inks nothing inside areas (layout pixels): a paint of part of
    // the window draws that part as a full paint would, at a fraction of the cost.
    void limitTo(std::vector<Rect> areas);

private:
    bool skips(const Rect& bounds) const;
    void useFont(Font font);
    void useTextColor(Color color);
    void restoreFont();
    int px(int layout) const;
    RECT toDevice(const Rect& r) const;

    HDC dc_;
    GdiFontSet ownFonts_;
    GdiFontSet* fonts_;
    float scale_ = 1.0f;
    bool painting_ = false;
    int savedBkMode_ = 0;
    COLORREF savedTextColor_ = 0;
    HGDIOBJ originalFont_ = nullptr;
    HFONT selectedFont_ = nullptr;
    int selectedHeight_ = 0;
    int selectedOverhang_ = 0;
    Color textColor_ = 0;
    bool textColorSet_ = false;
    std::vector<Rect> areas_;
    bool limited_ = false;
};
