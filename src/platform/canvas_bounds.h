#pragma once

#include "base/rect.h"
#include "platform/canvas.h"

#include <cstddef>

// Where a drawing call may put ink, in layout pixels and never too small: a paint that leaves
// out every call whose area misses the region it repaints draws that region exactly as a full
// paint would. Text is taken to run to the right without end, one generous line high.
inline constexpr int UNBOUNDED_RIGHT = 1 << 28;

Rect textAtBounds(int x, int y, Font font);
Rect lineBounds(Point from, Point to, int width);
Rect polylineBounds(const Point* points, std::size_t count, int width);
bool intersects(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty one adds nothing.
Rect unite(const Rect& a, const Rect& b);
