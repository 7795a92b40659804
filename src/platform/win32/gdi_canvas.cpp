#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

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

// Keeps one of our fonts selected for one text call.
class ScopedFont {
public:
    ScopedFont(HDC dc, HFONT font) : dc_(dc) { old_ = font ? SelectObject(dc_, font) : nullptr; }
    ~ScopedFont() {
        if (old_)
            SelectObject(dc_, old_);
    }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
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

HFONT GdiCanvas::fontFor(Font font) {
    fonts_->prepare(scale_);
    return fonts_->font(font);
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
    // Text calls put the previous font back, so none of ours is selected here.
    ownFonts_.release();
}

void GdiCanvas::fillRect(const Rect& rect, Color color) {
    // FillRect paints an inverted rectangle too; an empty one must draw nothing.
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return;
    const RECT r = toDevice(rect);
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::roundPanel(const Rect& rect, int radius, Color fill, Color border) {
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, 1, border), CreateSolidBrush(fill));
    const RECT r = toDevice(rect);
    RoundRect(dc_, r.left, r.top, r.right, r.bottom, px(radius), px(radius));
}

void GdiCanvas::ellipse(const Rect& rect, Color fill, Color outline) {
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, 1, outline), CreateSolidBrush(fill));
    const RECT r = toDevice(rect);
    Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::line(Point from, Point to, Color color, int width, bool dotted) {
    ScopedPenBrush objects(
        dc_, CreatePen(dotted ? PS_DOT : PS_SOLID, dotted ? 1 : std::max(px(width), 1), color),
        nullptr);
    MoveToEx(dc_, px(from.x), px(from.y), nullptr);
    LineTo(dc_, px(to.x), px(to.y));
}

void GdiCanvas::polyline(const Point* points, std::size_t count, Color color, int width) {
    if (points == nullptr || count < 2)
        return;
    ScopedPenBrush objects(dc_, CreatePen(PS_SOLID, std::max(px(width), 1), color), nullptr);
    MoveToEx(dc_, px(points[0].x), px(points[0].y), nullptr);
    for (std::size_t i = 1; i < count; ++i)
        LineTo(dc_, px(points[i].x), px(points[i].y));
}

void GdiCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color color) {
    ScopedFont selected(dc_, fontFor(font));
    SetTextColor(dc_, color);
    TextOutW(dc_, px(x), px(y), text.data(), clampedLength(text.size()));
}

void GdiCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                       TextAlign align) {
    ScopedFont selected(dc_, fontFor(font));
    SetTextColor(dc_, color);
    RECT r = toDevice(rect);
    DrawTextW(dc_, text.data(), clampedLength(text.size()), &r, drawTextFlags(align));
}

TextSize GdiCanvas::measureText(std::wstring_view text, Font font) {
    ScopedFont selected(dc_, fontFor(font));
    SIZE extent{};
    if (!text.empty())
        GetTextExtentPoint32W(dc_, text.data(), clampedLength(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    // Overhanging glyphs (italic ends, some bold ones) ink past the advance width.
    int width = text.empty() ? 0 : static_cast<int>(extent.cx) + metrics.tmOverhang;
    int height = static_cast<int>(metrics.tmHeight);
    const double s = static_cast<double>(scale_);
    return {static_cast<int>(std::ceil(width / s - 1e-9)),
            static_cast<int>(std::ceil(height / s - 1e-9))};
}
