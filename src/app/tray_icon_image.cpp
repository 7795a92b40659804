#include "app/tray_icon_image.h"

#include <algorithm>
#include <cstddef>

namespace {

// Seven bars per digit, as on a segment display: top, upper right, lower right, bottom,
// lower left, upper left, middle. The "1" is drawn apart (drawOne).
enum Segment : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };
constexpr unsigned DIGIT_SEGMENTS[10] = {
    A | B | C | D | E | F,
    0,
    A | B | G | E | D,
    A | B | G | C | D,
    F | G | B | C,
    A | F | G | C | D,
    A | F | G | E | D | C,
    A | B | C,
    A | B | C | D | E | F | G,
    A | B | C | D | F | G,
};

struct PixelPainter {
    TrayIconImage& image;
    std::uint32_t pixel;
    // Fills columns [left, right) of rows [top, bottom), clipped to the icon.
    void fill(int left, int top, int right, int bottom) {
        const int size = static_cast<int>(image.size);
        for (int y = std::max(top, 0); y < std::min(bottom, size); ++y)
            for (int x = std::max(left, 0); x < std::min(right, size); ++x)
                image.pixels[static_cast<std::size_t>(y) * image.size +
                             static_cast<std::size_t>(x)] = pixel;
    }
};

// Stroke, space between two digits and digit width for an icon of size pixels: 2, 2 and 7 at
// 16 pixels; 3, 2 and 11 at 24; 4, 2 and 15 at 32.
struct Metrics {
    int stroke;
    int gap;
    int width;
};

Metrics metricsFor(int size) {
    Metrics m{};
    m.stroke = std::max(2, (size + 4) / 8);
    m.gap = std::max(2, size / 12);
    m.width = (size - m.gap) / 2;
    return m;
}

// A "1" of two bars on the right would leave a wide hole after "6" in "61": it stands in the
// middle of its place instead, with a flag that tells it from a bar.
void drawOne(PixelPainter& c, int x, int size, const Metrics& m) {
    const int t = m.stroke;
    const int bar = x + (m.width - t) / 2 + t / 2;
    c.fill(bar, 0, bar + t, size);
    c.fill(bar - t, t, bar, 2 * t);
}

void drawDigit(PixelPainter& c, int x, int size, const Metrics& m, unsigned segments) {
    const int t = m.stroke;
    const int w = m.width;
    const int middle = (size - t) / 2;
    if (segments & A)
        c.fill(x, 0, x + w, t);
    if (segments & G)
        c.fill(x, middle, x + w, middle + t);
    if (segments & D)
        c.fill(x, size - t, x + w, size);
    if (segments & F)
        c.fill(x, 0, x + t, middle + t);
    if (segments & E)
        c.fill(x, middle, x + t, size);
    if (segments & B)
        c.fill(x + w - t, 0, x + w, middle + t);
    if (segments & C)
        c.fill(x + w - t, middle, x + w, size);
}

} // namespace

TrayIconImage drawTrayIconImage(const TrayIconFace& face) {
    TrayIconImage image;
    if (face.text.empty() || face.size == 0)
        return image;
    image.size = face.size;
    image.pixels.assign(std::size_t{face.size} * face.size, 0u);
    const int size = static_cast<int>(face.size);
    PixelPainter canvas{image, 0xFF000000u | (redOf(face.color) << 16) |
                                   (greenOf(face.color) << 8) | blueOf(face.color)};
    const Metrics m = metricsFor(size);

    if (face.text == L"!") {
        const int width = std::max(3, size * 3 / 16);
        const int x = (size - width) / 2;
        canvas.fill(x, 0, x + width, size - 2 * m.stroke);
        canvas.fill(x, size - m.stroke, x + width, size);
        return image;
    }
    std::wstring digits;
    for (wchar_t ch : face.text)
        if (ch >= L'0' && ch <= L'9' && digits.size() < 2)
            digits += ch;
    const int count = static_cast<int>(digits.size());
    const int total = count * m.width + (count - 1) * m.gap;
    int x = (size - total) / 2;
    for (wchar_t ch : digits) {
        if (ch == L'1')
            drawOne(canvas, x, size, m);
        else
            drawDigit(canvas, x, size, m, DIGIT_SEGMENTS[ch - L'0']);
        x += m.width + m.gap;
    }
    return image;
}
