#include "platform/canvas_bounds.h"

#include <algorithm>

namespace {

// Overhanging glyphs, ClearType fringes and a scaled pixel's rounding stay inside this.
constexpr int kInkMargin = 3;

bool isEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

Rect textAtBounds(int x, int y, Font font) {
    const int i = static_cast<int>(font);
    const int size = i >= 0 && i < FONT_COUNT ? FONT_DEFINITIONS[i].pixelSize : 32;
    // A font's cell is about 1.3 times its pixel size; twice that is safe for every face.
    return {x - kInkMargin, y - kInkMargin, UNBOUNDED_RIGHT, y + 2 * size + kInkMargin};
}

Rect lineBounds(Point from, Point to, int width) {
    const int pad = std::max(width, 1) + kInkMargin;
    return {std::min(from.x, to.x) - pad, std::min(from.y, to.y) - pad,
            std::max(from.x, to.x) + pad, std::max(from.y, to.y) + pad};
}

Rect polylineBounds(const Point* points, std::size_t count, int width) {
    if (points == nullptr || count == 0)
        return {};
    Rect r = lineBounds(points[0], points[0], width);
    for (std::size_t i = 1; i < count; ++i)
        r = unite(r, lineBounds(points[i], points[i], width));
    return r;
}

bool intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Rect unite(const Rect& a, const Rect& b) {
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}
