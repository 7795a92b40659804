#pragma once

// The base folder holds small values and helpers that depend on nothing: rectangles, colours,
// rounding, UTF-16 and UTF-8 text, the bounded formatter and the notice record.

// A rectangle in client pixels; right and bottom are exclusive, as in Win32's RECT.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};
