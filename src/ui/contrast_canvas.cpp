#include "ui/contrast_canvas.h"

#include "ui/theme.h"

#include <algorithm>
#include <vector>

namespace {

bool isNeutralOutline(Color c) {
    return c == palette::Line || c == palette::TrackLine || c == palette::SliderLine;
}

// Knobs and points: marks in the colour of the text on what they sit on.
bool isMark(Color c) {
    return c == palette::White || c == palette::KnobFill;
}

bool isSurface(SystemRole role) {
    return role == SystemRole::Window || role == SystemRole::ButtonFace ||
           role == SystemRole::Highlight;
}

} // namespace

Color systemColor(SystemRole role, const SystemColors& c) {
    switch (role) {
    case SystemRole::Window:
        return c.window;
    case SystemRole::WindowText:
        return c.windowText;
    case SystemRole::ButtonFace:
        return c.buttonFace;
    case SystemRole::ButtonText:
        return c.buttonText;
    case SystemRole::Highlight:
        return c.highlight;
    case SystemRole::HighlightText:
        return c.highlightText;
    case SystemRole::GrayText:
        return c.grayText;
    case SystemRole::HotTrack:
        return c.hotTrack;
    }
    return c.windowText;
}

SystemRole lineRole(Color dark) {
    using namespace palette;
    if (dark == Accent || dark == Caution)
        return SystemRole::Highlight;
    if (dark == Warning || dark == Critical)
        return SystemRole::HotTrack;
    if (dark == Good || dark == TextMuted || dark == ButtonFill)
        return SystemRole::GrayText;
    return SystemRole::WindowText; // AccentLight, the outlines, the text colours
}

SystemRole surfaceRole(Color dark) {
    using namespace palette;
    if (dark == Background || dark == SidebarFill || dark == CardFill || dark == TrackFill ||
        dark == BadgeFill || dark == NoticeErrorFill || dark == NoticeOkFill)
        return SystemRole::Window;
    if (dark == ButtonFill || dark == ToggleOff)
        return SystemRole::ButtonFace;
    if (dark == Accent)
        return SystemRole::Highlight;
    // A level bar's fill, a state's dot: the mark's colour as its line would have it.
    return lineRole(dark);
}

SystemRole foregroundOn(SystemRole surface) {
    switch (surface) {
    case SystemRole::Highlight:
        return SystemRole::HighlightText;
    case SystemRole::ButtonFace:
        return SystemRole::ButtonText;
    default:
        return SystemRole::WindowText;
    }
}

ContrastCanvas::ContrastCanvas(Canvas& target, const SystemColors& colors)
    : target_(target), colors_(colors) {}

SystemRole ContrastCanvas::baseAt(int x, int y) const {
    for (auto it = surfaces_.rbegin(); it != surfaces_.rend(); ++it)
        if (it->first.contains(x, y))
            return it->second;
    return SystemRole::Window;
}

// Every text in the text colour of what it sits on: the dark palette's muted captions too, as
// Windows keeps its grey text for what cannot be used.
Color ContrastCanvas::textColor(int x, int y) const {
    return color(foregroundOn(baseAt(x, y)));
}

void ContrastCanvas::beginPaint() {
    target_.beginPaint();
}

void ContrastCanvas::endPaint() {
    target_.endPaint();
}

void ContrastCanvas::fillRect(const Rect& rect, Color c) {
    const SystemRole role = isMark(c) ? foregroundOn(baseAt(rect.left, rect.top)) : surfaceRole(c);
    if (isSurface(role))
        surfaces_.emplace_back(rect, role);
    target_.fillRect(rect, color(role));
}

void ContrastCanvas::roundPanel(const Rect& rect, int radius, Color fill, Color border) {
    const SystemRole base = baseAt(rect.left + rect.width() / 2, rect.top + rect.height() / 2);
    const SystemRole fillRole = isMark(fill) ? foregroundOn(base) : surfaceRole(fill);
    SystemRole borderRole = fillRole;
    if (border != fill)
        borderRole = isNeutralOutline(border) || isMark(border)
                         ? foregroundOn(isSurface(fillRole) ? fillRole : base)
                         : lineRole(border);
    // A button face on a window of the same colour would vanish: it gets the button's outline.
    if (fillRole == SystemRole::ButtonFace && borderRole == fillRole &&
        color(fillRole) == color(base))
        borderRole = SystemRole::ButtonText;
    if (isSurface(fillRole))
        surfaces_.emplace_back(rect, fillRole);
    target_.roundPanel(rect, radius, color(fillRole), color(borderRole));
}

void ContrastCanvas::ellipse(const Rect& rect, Color fill, Color outline) {
    const SystemRole base = baseAt(rect.left + rect.width() / 2, rect.top + rect.height() / 2);
    const SystemRole fillRole = isMark(fill) ? foregroundOn(base) : surfaceRole(fill);
    const SystemRole outlineRole =
        isNeutralOutline(outline) || isMark(outline) ? foregroundOn(base) : lineRole(outline);
    target_.ellipse(rect, color(fillRole), color(outlineRole));
}

namespace {

// Two system colours of a scheme may lie close together (the blue and the purple of "High
// Contrast White"): the chart's lines differ in thickness as well.
int lineWidth(SystemRole role, int width) {
    if (role == SystemRole::HotTrack)
        return width * 2;
    if (role == SystemRole::GrayText)
        return std::max(width / 2, 1);
    return width;
}

} // namespace

void ContrastCanvas::line(Point from, Point to, Color c, int width, bool dotted) {
    const SystemRole role = lineRole(c);
    target_.line(from, to, color(role), dotted ? width : lineWidth(role, width), dotted);
}

void ContrastCanvas::polyline(const Point* points, std::size_t count, Color c, int width) {
    const SystemRole role = lineRole(c);
    target_.polyline(points, count, color(role), lineWidth(role, width));
}

void ContrastCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color) {
    target_.textAt(x, y, text, font, textColor(x + 1, y + 2));
}

void ContrastCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color,
                            TextAlign align) {
    const int x = align == TextAlign::LeftVCenter ? rect.left + 1 : rect.left + rect.width() / 2;
    target_.textIn(rect, text, font, textColor(x, rect.top + rect.height() / 2), align);
}

TextSize ContrastCanvas::measureText(std::wstring_view text, Font font) {
    return target_.measureText(text, font);
}

void ContrastCanvas::textCut(std::wstring_view shown, std::wstring_view whole) {
    target_.textCut(shown, whole);
}

void ContrastCanvas::paragraph(std::wstring_view whole, int lines) {
    target_.paragraph(whole, lines);
}

void ContrastCanvas::liveBegin(std::wstring_view name) {
    target_.liveBegin(name);
}

void ContrastCanvas::liveEnd() {
    target_.liveEnd();
}
