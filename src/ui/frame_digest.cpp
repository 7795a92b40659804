#include "ui/frame_digest.h"

#include "platform/canvas_bounds.h"

#include <algorithm>
#include <cstring>

namespace {

// FNV-1a over the call's kind and every argument that changes its ink.
class Fingerprint {
public:
    explicit Fingerprint(int kind) { mix(&kind, sizeof kind); }
    Fingerprint& mix(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash_ ^= bytes[i];
            hash_ *= 0x100000001b3ull;
        }
        return *this;
    }
    template <typename T> Fingerprint& add(const T& value) { return mix(&value, sizeof value); }
    Fingerprint& add(const Rect& r) { return add(r.left).add(r.top).add(r.right).add(r.bottom); }
    Fingerprint& add(Point p) { return add(p.x).add(p.y); }
    Fingerprint& add(std::wstring_view text) {
        add(text.size());
        return mix(text.data(), text.size() * sizeof(wchar_t));
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

enum Kind { kFill = 1, kPanel, kEllipse, kLine, kPolyline, kTextAt, kTextIn };

Rect clippedTo(const Rect& r, const Rect& client) {
    Rect c{std::max(r.left, client.left), std::max(r.top, client.top),
           std::min(r.right, client.right), std::min(r.bottom, client.bottom)};
    if (c.right <= c.left || c.bottom <= c.top)
        return {};
    return c;
}

bool touches(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

FrameDigestCanvas::FrameDigestCanvas(Canvas& measurer, std::vector<DigestEntry>& entries,
                                     Canvas* target)
    : measurer_(measurer), entries_(entries), target_(target) {
    entries_.clear();
}

void FrameDigestCanvas::beginPaint() {
    if (target_)
        target_->beginPaint();
}

void FrameDigestCanvas::endPaint() {
    if (target_)
        target_->endPaint();
}

void FrameDigestCanvas::add(const Rect& bounds, std::uint64_t fingerprint) {
    entries_.push_back({bounds, fingerprint});
}

void FrameDigestCanvas::fillRect(const Rect& rect, Color color) {
    add(rect, Fingerprint(kFill).add(rect).add(color).value());
    if (target_)
        target_->fillRect(rect, color);
}

void FrameDigestCanvas::roundPanel(const Rect& rect, int radius, Color fill, Color border) {
    add(rect, Fingerprint(kPanel).add(rect).add(radius).add(fill).add(border).value());
    if (target_)
        target_->roundPanel(rect, radius, fill, border);
}

void FrameDigestCanvas::ellipse(const Rect& rect, Color fill, Color outline) {
    add(rect, Fingerprint(kEllipse).add(rect).add(fill).add(outline).value());
    if (target_)
        target_->ellipse(rect, fill, outline);
}

void FrameDigestCanvas::line(Point from, Point to, Color color, int width, bool dotted) {
    add(lineBounds(from, to, width),
        Fingerprint(kLine).add(from).add(to).add(color).add(width).add(dotted).value());
    if (target_)
        target_->line(from, to, color, width, dotted);
}

void FrameDigestCanvas::polyline(const Point* points, std::size_t count, Color color, int width) {
    Fingerprint f(kPolyline);
    f.add(count).add(color).add(width);
    for (std::size_t i = 0; points != nullptr && i < count; ++i)
        f.add(points[i]);
    add(polylineBounds(points, count, width), f.value());
    if (target_)
        target_->polyline(points, count, color, width);
}

void FrameDigestCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color color) {
    add(textAtBounds(x, y, font),
        Fingerprint(kTextAt).add(x).add(y).add(text).add(font).add(color).value());
    if (target_)
        target_->textAt(x, y, text, font, color);
}

void FrameDigestCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                               TextAlign align) {
    add(rect, Fingerprint(kTextIn).add(rect).add(text).add(font).add(color).add(align).value());
    if (target_)
        target_->textIn(rect, text, font, color, align);
}

TextSize FrameDigestCanvas::measureText(std::wstring_view text, Font font) {
    return measurer_.measureText(text, font);
}

std::vector<Rect> changedAreas(const std::vector<DigestEntry>& before,
                               const std::vector<DigestEntry>& after, const Rect& client) {
    std::vector<Rect> areas;
    const auto addArea = [&](const Rect& bounds) {
        Rect r = clippedTo(bounds, client);
        if (r.right <= r.left)
            return;
        // Whatever r touches becomes part of it, until it touches nothing else.
        for (bool merged = true; merged;) {
            merged = false;
            for (std::size_t i = 0; i < areas.size(); ++i) {
                if (touches(areas[i], r)) {
                    r = unite(r, areas[i]);
                    areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(i));
                    merged = true;
                    break;
                }
            }
        }
        areas.push_back(r);
    };
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!(before[i] == after[i])) {
            addArea(before[i].bounds);
            addArea(after[i].bounds);
        }
    }
    for (std::size_t i = common; i < before.size(); ++i)
        addArea(before[i].bounds);
    for (std::size_t i = common; i < after.size(); ++i)
        addArea(after[i].bounds);
    return areas;
}
