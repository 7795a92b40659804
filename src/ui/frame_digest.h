#pragma once

#include "base/rect.h"
#include "platform/canvas.h"

#include <cstdint>
#include <vector>

// A paint reduced to what each drawing call covers and a fingerprint of everything it draws
// with. Two digests of the same window tell which area differs between the two pictures, so
// that a tick repaints only the readings that moved instead of the whole window.
struct DigestEntry {
    Rect bounds;
    std::uint64_t fingerprint = 0;
    bool operator==(const DigestEntry&) const = default;
};

// Records a paint into entries; text is measured by measurer, the canvas the real paint
// measures with, so that every layout decision comes out the same. Given a target, every call
// is passed on to it as well, so that a real paint records what it drew.
class FrameDigestCanvas final : public Canvas {
public:
    FrameDigestCanvas(Canvas& measurer, std::vector<DigestEntry>& entries,
                      Canvas* target = nullptr);

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
    void add(const Rect& bounds, std::uint64_t fingerprint);

    Canvas& measurer_;
    std::vector<DigestEntry>& entries_;
    Canvas* target_;
};

// The areas in which the picture of after may differ from that of before, clipped to client:
// every call that is not the same at the same place in both, whatever it covers in either.
// Areas that touch are merged; none when the pictures are the same.
std::vector<Rect> changedAreas(const std::vector<DigestEntry>& before,
                               const std::vector<DigestEntry>& after, const Rect& client);
