#include "fakes/recording_canvas.h"

#include <algorithm>
#include <cstdlib>

RecordingCanvas::RecordingCanvas(int width, int height, Color clear)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), clear) {}

std::optional<Color> RecordingCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return std::nullopt;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

Rect RecordingCanvas::clip(const Rect& r) const {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_),
            std::min(r.bottom, height_)};
}

void RecordingCanvas::set(int x, int y, std::optional<Color> color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
}

const DrawCall* RecordingCanvas::findText(std::wstring_view text) const {
    for (const DrawCall& c : calls)
        if ((c.kind == DrawCall::Kind::TextAt || c.kind == DrawCall::Kind::TextIn) &&
            c.text == text)
            return &c;
    return nullptr;
}

int RecordingCanvas::countText(std::wstring_view text) const {
    int n = 0;
    for (const DrawCall& c : calls)
        if ((c.kind == DrawCall::Kind::TextAt || c.kind == DrawCall::Kind::TextIn) &&
            c.text == text)
            ++n;
    return n;
}

std::vector<const DrawCall*> RecordingCanvas::ofKind(DrawCall::Kind kind) const {
    std::vector<const DrawCall*> out;
    for (const DrawCall& c : calls)
        if (c.kind == kind)
            out.push_back(&c);
    return out;
}

void RecordingCanvas::beginPaint() {
    DrawCall c;
    c.kind = DrawCall::Kind::BeginPaint;
    calls.push_back(c);
    painting_ = true;
}

void RecordingCanvas::endPaint() {
    DrawCall c;
    c.kind = DrawCall::Kind::EndPaint;
    calls.push_back(c);
    painting_ = false;
}

void RecordingCanvas::fillRect(const Rect& rect, Color color) {
    DrawCall c;
    c.kind = DrawCall::Kind::Fill;
    c.rect = rect;
    c.fill = color;
    calls.push_back(c);
    const Rect area = clip(rect);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            set(x, y, color);
}

void RecordingCanvas::roundPanel(const Rect& rect, int radius, Color fill, Color border) {
    DrawCall c;
    c.kind = DrawCall::Kind::Panel;
    c.rect = rect;
    c.radius = radius;
    c.fill = fill;
    c.border = border;
    calls.push_back(c);
    // The corner arcs occupy radius/2 on each side of every corner.
    const int corner = (radius + 1) / 2 + 1;
    const Rect area = clip(rect);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const bool nearX = x < rect.left + corner || x >= rect.right - corner;
            const bool nearY = y < rect.top + corner || y >= rect.bottom - corner;
            if (nearX && nearY) {
                set(x, y, std::nullopt);
                continue;
            }
            const bool edge =
                x == rect.left || x == rect.right - 1 || y == rect.top || y == rect.bottom - 1;
            set(x, y, edge ? border : fill);
        }
    }
}

void RecordingCanvas::ellipse(const Rect& rect, Color fill, Color outline) {
    DrawCall c;
    c.kind = DrawCall::Kind::Ellipse;
    c.rect = rect;
    c.fill = fill;
    c.border = outline;
    calls.push_back(c);
    // Only the middle third is certain to be interior; the rest of the box is unknown.
    const int w = rect.width(), h = rect.height();
    const Rect area = clip(rect);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const bool middle = x >= rect.left + w / 3 && x < rect.right - w / 3 &&
                                y >= rect.top + h / 3 && y < rect.bottom - h / 3;
            set(x, y, middle ? std::optional<Color>(fill) : std::nullopt);
        }
}

void RecordingCanvas::segment(Point from, Point to, Color color, int width, bool dotted) {
    if (pixels_.empty())
        return;
    const int w = std::max(width, 1);
    if (from.y == to.y || from.x == to.x) {
        const bool horizontal = from.y == to.y;
        const int a = horizontal ? from.x : from.y;
        const int b = horizontal ? to.x : to.y;
        const int step = b >= a ? 1 : -1;
        const int lo = -(w - 1) / 2, hi = w / 2;
        int n = 0;
        for (int t = a; t != b; t += step, ++n) {
            for (int o = lo; o <= hi; ++o) {
                const int x = horizontal ? t : from.x + o;
                const int y = horizontal ? from.y + o : t;
                // A dotted pen leaves gaps that keep what was there before.
                if (!dotted || n % 2 == 0)
                    set(x, y, color);
            }
        }
        // A wide pen's end caps reach past the end points.
        if (w > 1) {
            for (int o = -w; o <= w; ++o)
                for (int p = lo - 1; p <= hi + 1; ++p) {
                    if (horizontal) {
                        set(a + o, from.y + p, std::nullopt);
                        set(b + o, from.y + p, std::nullopt);
                    } else {
                        set(from.x + p, a + o, std::nullopt);
                        set(from.x + p, b + o, std::nullopt);
                    }
                }
        }
        return;
    }
    // A slanted stroke: every pixel of its box, widened by the pen, is unknown.
    const Rect box = clip({std::min(from.x, to.x) - w, std::min(from.y, to.y) - w,
                           std::max(from.x, to.x) + w + 1, std::max(from.y, to.y) + w + 1});
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            set(x, y, std::nullopt);
}

void RecordingCanvas::line(Point from, Point to, Color color, int width, bool dotted) {
    DrawCall c;
    c.kind = DrawCall::Kind::Line;
    c.points = {from, to};
    c.fill = color;
    c.width = dotted ? 1 : width;
    c.dotted = dotted;
    calls.push_back(c);
    segment(from, to, color, c.width, dotted);
}

void RecordingCanvas::polyline(const Point* points, std::size_t count, Color color, int width) {
    DrawCall c;
    c.kind = DrawCall::Kind::Polyline;
    if (points != nullptr)
        c.points.assign(points, points + count);
    c.fill = color;
    c.width = width;
    calls.push_back(c);
    for (std::size_t i = 1; i < c.points.size(); ++i)
        segment(c.points[i - 1], c.points[i], color, width, false);
}

void RecordingCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color color) {
    DrawCall c;
    c.kind = DrawCall::Kind::TextAt;
    c.at = {x, y};
    c.text = std::wstring(text);
    c.font = font;
    c.fill = color;
    calls.push_back(c);
}

void RecordingCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                             TextAlign align) {
    DrawCall c;
    c.kind = DrawCall::Kind::TextIn;
    c.rect = rect;
    c.text = std::wstring(text);
    c.font = font;
    c.fill = color;
    c.align = align;
    calls.push_back(c);
}

TextSize RecordingCanvas::measureText(std::wstring_view text, Font font) {
    if (measurer != nullptr)
        return measurer->measureText(text, font);
    const FontDefinition& d = FONT_DEFINITIONS[static_cast<int>(font)];
    const long long perMille = d.fixedPitch ? 550 : (d.weight >= 600 ? 620 : 560);
    const long long n = static_cast<long long>(text.size());
    const long long width = (n * d.pixelSize * perMille + 999) / 1000;
    return {static_cast<int>(width), (d.pixelSize * 4 + 2) / 3};
}
