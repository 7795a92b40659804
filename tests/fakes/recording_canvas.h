#pragma once

#include "platform/canvas.h"

#include <optional>
#include <string>
#include <vector>

// One drawing request as the recording canvas saw it.
struct DrawCall {
    enum class Kind { BeginPaint, EndPaint, Fill, Panel, Ellipse, Line, Polyline, TextAt, TextIn };
    Kind kind = Kind::Fill;
    Rect rect;                 // Fill, Panel, Ellipse, TextIn
    int radius = 0;            // Panel
    Color fill = 0;            // Fill, Panel, Ellipse; the colour of lines and text
    Color border = 0;          // Panel, Ellipse
    int width = 0;             // Line, Polyline
    bool dotted = false;       // Line
    std::vector<Point> points; // Line (two), Polyline
    Point at;                  // TextAt
    std::wstring text;         // TextAt, TextIn
    Font font = Font::FontBody;
    TextAlign align = TextAlign::Center;
};

// Records every call and, when given a size, also keeps a pixel model of the shapes: fills
// exactly, panels on their straight edges and inside away from the corners, the middle of
// ellipses, axis-parallel lines. Pixels the model cannot know (rounded corners, diagonal
// strokes) read as unknown; text never changes a pixel. Text is measured with a fixed model:
// every character as wide as a share of the font's pixel size (wider for bold), lines 4/3 of
// it tall, so layout tests run without fonts and a caption that fits does so with room.
class RecordingCanvas final : public Canvas {
public:
    RecordingCanvas() = default;
    RecordingCanvas(int width, int height, Color clear);

    std::vector<DrawCall> calls;
    // When set, text is measured by this canvas (real fonts) instead of the fixed model.
    Canvas* measurer = nullptr;

    // The model's colour at (x, y); nullopt outside the surface or where the model cannot say.
    std::optional<Color> pixel(int x, int y) const;

    // Queries for the layout tests.
    const DrawCall* findText(std::wstring_view text) const; // first text call with exactly text
    int countText(std::wstring_view text) const;
    std::vector<const DrawCall*> ofKind(DrawCall::Kind kind) const;
    bool painting() const { return painting_; }

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

private:
    Rect clip(const Rect& r) const; // r within the surface
    void set(int x, int y, std::optional<Color> color);
    void segment(Point from, Point to, Color color, int width, bool dotted);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::optional<Color>> pixels_;
    bool painting_ = false;
};
