#pragma once

#include "platform/canvas.h"
#include "platform/window_host.h"

#include <utility>
#include <vector>

// The window in Windows' high-contrast mode: the painters draw with the dark palette as always,
// and this canvas puts the system colours in its place before passing each call on. Surfaces
// become the window or button face colour, the active tab, primary buttons and "on" switches
// the highlight; text takes the text colour that belongs to what it is drawn on; the chart's
// lines keep four different system colours and three thicknesses so that they stay apart.
enum class SystemRole {
    Window,
    WindowText,
    ButtonFace,
    ButtonText,
    Highlight,
    HighlightText,
    GrayText,
    HotTrack,
};

Color systemColor(SystemRole role, const SystemColors& colors);

// What a dark palette colour becomes as a surface, as a line or a coloured mark.
SystemRole surfaceRole(Color dark);
SystemRole lineRole(Color dark);
// Text and small marks on a surface of the given role.
SystemRole foregroundOn(SystemRole surface);

class ContrastCanvas final : public Canvas {
public:
    ContrastCanvas(Canvas& target, const SystemColors& colors);

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
    void textCut(std::wstring_view shown, std::wstring_view whole) override;
    void paragraph(std::wstring_view whole, int lines) override;
    void liveBegin(std::wstring_view name) override;
    void liveEnd() override;

private:
    // The role of the surface last drawn under (x, y); the window's own where there is none.
    SystemRole baseAt(int x, int y) const;
    Color textColor(int x, int y) const;
    Color color(SystemRole role) const { return systemColor(role, colors_); }

    Canvas& target_;
    SystemColors colors_;
    std::vector<std::pair<Rect, SystemRole>> surfaces_; // this paint's, in drawing order
};
