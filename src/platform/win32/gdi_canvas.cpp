#include "platform/win32/gdi_canvas.h"

#include "platform/canvas_bounds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

int clampedLength(std::size_t n) {
    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

// Selects a pen and a brush for one shape and puts the previous ones back before deleting.
class ScopedPenBrush {
public:
    ScopedPenBrush(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
        oldPen_ = pen_ ? SelectObject(dc_, pen_) : nullptr;
        oldBrush_ = brush_ ? SelectObject(dc_, brush_) : nullptr;
    }
    ~ScopedPenBrush() {
        if (oldBrush_)
            SelectObject(dc_, oldBrush_);
        if (oldPen_)
            SelectObject(dc_, oldPen_);
        if (brush_)
            DeleteObject(brush_);
        if (pen_)
            DeleteObject(pen_);
    }
    ScopedPenBrush(const ScopedPenBrush&) = delete;
    ScopedPenBrush& operator=(const ScopedPenBrush&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
};

// DT_NOPREFIX throughout: our texts are labels, not menu captions, and names such as
// "Dashboard & Lüfter" or a drive label must show their ampersand instead of an underline.
UINT drawTextFlags(TextAlign align) {
    switch (align) {
    case TextAlign::Center:
        return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    case TextAlign::LeftVCenter:
        return DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    case TextAlign::Right:
        return DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX;
    case TextAlign::RightEllipsis:
        return DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
    }
    return DT_SINGLELINE | DT_NOPREFIX;
}

} // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc), fonts_(&ownFonts_) {}

GdiCanvas::GdiCanvas(HDC dc, GdiFontSet& fonts, float scale)
    : dc_(dc), fonts_(&fonts), scale_(scale > 0.0f ? scale : 1.0f) {}

GdiCanvas::~GdiCanvas() {
    endPaint();
}

int GdiCanvas::px(int layout) const {
    if (scale_ == 1.0f)
        return layout;
    return static_cast<int>(std::lround(static_cast<double>(layout) * scale_));
}

RECT GdiCanvas::toDevice(const Rect& r) const {
    return RECT{px(r.left), px(r.top), px(r.right), px(r.bottom)};
}

void GdiCanvas::useFont(Font font) {
    fonts_->prepare(scale_);
    HFONT wanted = fonts_->font(font);
    // Selecting a font is not free (under Wine every select asks the X server's resource
    // defaults again), and a paint draws and measures hundreds of texts in a few fonts: keep the
    // last one selected and put the context's own font back once, at the end.
    if (wanted == nullptr || wanted == selectedFont_)
        return;
    HGDIOBJ previous = SelectObject(dc_, wanted);
    if (previous == nullptr)
        return;
    if (originalFont_ == nullptr)
        originalFont_ = previous;
    selectedFont_ = wanted;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    selectedHeight_ = static_cast<int>(metrics.tmHeight);
    selectedOverhang_ = static_cast<int>(metrics.tmOverhang);
}

void GdiCanvas::useTextColor(Color color) {
    if (textColorSet_ && color == textColor_)
        return;
    SetTextColor(dc_, color);
    textColor_ = color;
    textColorSet_ = true;
}

void GdiCanvas::restoreFont() {
    if (originalFont_ != nullptr)
        SelectObject(dc_, originalFont_);
    originalFont_ = nullptr;
    selectedFont_ = nullptr;
    selectedHeight_ = 0;
    selectedOverhang_ = 0;
}

void GdiCanvas::beginPaint() {
    endPaint();
    fonts_->prepare(scale_);
    savedBkMode_ = SetBkMode(dc_, TRANSPARENT);
    savedTextColor_ = GetTextColor(dc_);
    painting_ = true;
}

void GdiCanvas::endPaint() {
    if (painting_) {
        if (savedBkMode_ != 0)
            SetBkMode(dc_, savedBkMode_);
        SetTextColor(dc_, savedTextColor_);
        painting_ = false;
    }
    // None of our fonts may stay selected once the set is free to delete them.
    restoreFont();
    textColorSet_ = false;
    ownFonts_.release();
}

void GdiCanvas::limitTo(std::vector<Rect> areas) {
    areas_ = std::move(areas);
    limited_ = true;
}

bool GdiCanvas::skips(const Rect& bounds) const {
    if (!limited_)
        return false;
    for (const Rect& area : areas_)
        if (intersects(bounds, area))
            return false;
    return true;
}

void GdiCanvas::fillRect(const Rect& rect, Color color) {
    // FillRect paints an inverted rectangle too; an empty one must draw nothing.
    if (rect.right <= rect.left || rect.bottom <= rect.top || skips(rect))
        return;
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return;
    const RECT r = toDevice(rect);
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::roundPanel(const Rect& rect, int radius, Color fill, Color border) {
    if (skips(rect))
        return;
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, 1, border), CreateSolidBrush(fill));
    const RECT r = toDevice(rect);
    RoundRect(dc_, r.left, r.top, r.right, r.bottom, px(radius), px(radius));
}

void GdiCanvas::ellipse(const Rect& rect, Color fill, Color outline) {
    if (skips(rect))
        return;
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, 1, outline), CreateSolidBrush(fill));
    const RECT r = toDevice(rect);
    Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::line(Point from, Point to, Color color, int width, bool dotted) {
    if (skips(lineBounds(from, to, width)))
        return;
    ScopedPenBrush objects(
        dc_, CreatePen(dotted ? PS_DOT : PS_SOLID, dotted ? 1 : std::max(px(width), 1), color),
        nullptr);
    MoveToEx(dc_, px(from.x), px(from.y), nullptr);
    LineTo(dc_, px(to.x), px(to.y));
}

void GdiCanvas::polyline(const Point* points, std::size_t count, Color color, int width) {
    if (points == nullptr || count < 2 || skips(polylineBounds(points, count, width)))
        return;
    // A pen wider than a pixel is drawn by widening a path, which for a long line costs many
    // times more than thin strokes: the pen's round tip is swept instead, one thin stroke per
    // pixel of it (the square's pixels less its far corners).
    const int wide = std::max(px(width), 1);
    const int n = static_cast<int>(std::min<std::size_t>(count, INT_MAX / 2));
    std::vector<POINT> device(static_cast<std::size_t>(n));
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, 1, color), nullptr);
    const int low = -(wide - 1) / 2;
    for (int dy = low; dy < low + wide; ++dy)
        for (int dx = low; dx < low + wide; ++dx) {
            if (std::abs(dx) + std::abs(dy) > wide - 1)
                continue;
            for (int i = 0; i < n; ++i)
                device[static_cast<std::size_t>(i)] = {px(points[i].x) + dx, px(points[i].y) + dy};
            Polyline(dc_, device.data(), n);
        }
}

void GdiCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color color) {
    if (skips(textAtBounds(x, y, font)))
        return;
    useFont(font);
    useTextColor(color);
    TextOutW(dc_, px(x), px(y), text.data(), clampedLength(text.size()));
}

void GdiCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                       TextAlign align) {
    if (skips(rect))
        return;
    useFont(font);
    useTextColor(color);
    RECT r = toDevice(rect);
    DrawTextW(dc_, text.data(), clampedLength(text.size()), &r, drawTextFlags(align));
}

TextSize GdiCanvas::measureText(std::wstring_view text, Font font) {
    // A paint measures the texts the last one did; the font engine is asked once per text.
    fonts_->prepare(scale_);
    if (const std::optional<TextSize> known = fonts_->sizes().find(font, text))
        return *known;
    useFont(font);
    SIZE extent{};
    if (!text.empty())
        GetTextExtentPoint32W(dc_, text.data(), clampedLength(text.size()), &extent);
    // Overhanging glyphs (italic ends, some bold ones) ink past the advance width.
    int width = text.empty() ? 0 : static_cast<int>(extent.cx) + selectedOverhang_;
    int height = selectedHeight_;
    const double s = static_cast<double>(scale_);
    const TextSize size{static_cast<int>(std::ceil(width / s - 1e-9)),
                        static_cast<int>(std::ceil(height / s - 1e-9))};
    // Only a size taken in the font asked for is one to keep.
    if (selectedFont_ != nullptr && selectedFont_ == fonts_->font(font))
        fonts_->sizes().remember(font, text, size);
    return size;
}
