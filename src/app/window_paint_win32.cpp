#include "app/window_paint_win32.h"

#include "app/window_reading.h"
#include "base/rect.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_back_buffer.h"
#include "ui/dpi_scale.h"
#include "ui/paint_window.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

Rect layoutClient(const RECT& client, float scale) {
    return {0, 0, toLayoutPixel(client.right - client.left, scale),
            toLayoutPixel(client.bottom - client.top, scale)};
}

RECT deviceArea(const Rect& area, float scale) {
    const double s = static_cast<double>(scale);
    return {static_cast<LONG>(std::floor(area.left * s)) - 1,
            static_cast<LONG>(std::floor(area.top * s)) - 1,
            static_cast<LONG>(std::ceil(area.right * s)) + 1,
            static_cast<LONG>(std::ceil(area.bottom * s)) + 1};
}

Rect layoutArea(const RECT& device, float scale) {
    const double s = static_cast<double>(scale);
    return {static_cast<int>(std::floor(device.left / s)) - 1,
            static_cast<int>(std::floor(device.top / s)) - 1,
            static_cast<int>(std::ceil(device.right / s)) + 1,
            static_cast<int>(std::ceil(device.bottom / s)) + 1};
}

WindowModel modelOf(const AppState& app) {
    return {app.settings, app.regulation, app.identity, app.inventory};
}

// Makes the window show nextFrame: whatever differs from the shown picture is invalidated.
void invalidateDifference(HWND window, PaintedWindow& painted, const Rect& client, float scale) {
    const std::vector<Rect> areas = changedAreas(painted.shownFrame, painted.nextFrame, client);
    std::swap(painted.shownFrame, painted.nextFrame);
    for (const Rect& area : areas) {
        const RECT device = deviceArea(area, scale);
        InvalidateRect(window, &device, FALSE);
    }
}

// The rectangles of the update region; the paint draws only what reaches them. The whole of
// bounds when the region cannot be read.
std::vector<RECT> updateRects(HRGN region, const RECT& bounds) {
    std::vector<RECT> rects;
    const DWORD size = region != nullptr ? GetRegionData(region, 0, nullptr) : 0;
    if (size >= sizeof(RGNDATAHEADER)) {
        std::vector<unsigned char> storage(size);
        auto* data = reinterpret_cast<RGNDATA*>(storage.data());
        if (GetRegionData(region, size, data) == size) {
            const auto* first = reinterpret_cast<const RECT*>(data->Buffer);
            rects.assign(first, first + data->rdh.nCount);
        }
    }
    if (rects.empty())
        rects.push_back(bounds);
    return rects;
}

bool coversClient(const RECT& painted, const RECT& client) {
    return painted.left <= client.left && painted.top <= client.top &&
           painted.right >= client.right && painted.bottom >= client.bottom;
}

} // namespace

void paintMainWindow(HWND window, AppState& app, PaintedWindow& painted) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (region != nullptr && GetUpdateRgn(window, region, FALSE) == ERROR) {
        DeleteObject(region);
        region = nullptr;
    }
    PAINTSTRUCT ps{};
    HDC target = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    const float scale = app.ui.dpiScale;
    const Rect layout = layoutClient(client, scale);
    RECT area = ps.rcPaint;
    IntersectRect(&area, &area, &client);
    const std::vector<RECT> rects = updateRects(region, area);
    std::vector<Rect> areas;
    for (const RECT& r : rects)
        areas.push_back(layoutArea(r, scale));
    bool drawn = false;
    {
        Win32BackBuffer buffer(target, area);
        if (buffer.dc() != nullptr) {
            drawn = true;
            GdiCanvas canvas(buffer.dc(), painted.fonts, scale);
            canvas.limitTo(std::move(areas));
            FrameDigestCanvas recorder(canvas, painted.nextFrame, &canvas);
            paintWindow(recorder, layout, app.ui, modelOf(app));
        }
        buffer.present();
    }
    EndPaint(window, &ps);
    if (region != nullptr)
        DeleteObject(region);

    if (!drawn) {
        // Out of memory for the buffer: what the window shows is unknown, so the next change
        // repaints all of it.
        painted.shownFrameKnown = false;
    } else if (rects.size() == 1 && coversClient(rects.front(), client)) {
        std::swap(painted.shownFrame, painted.nextFrame);
        painted.shownFrameKnown = true;
    } else if (painted.shownFrameKnown && painted.shownFrame != painted.nextFrame) {
        // Something changed without asking for a repaint: the rest of the window catches up
        // with the next paint.
        invalidateDifference(window, painted, layout, scale);
    }
}

namespace {

Rect clientLayout(HWND window, float scale) {
    RECT client{};
    GetClientRect(window, &client);
    return layoutClient(client, scale);
}

} // namespace

std::vector<AccessibleElement> readWindowTree(HWND window, AppState& app, PaintedWindow& painted) {
    const float scale = app.ui.dpiScale;
    if (painted.measuringContext == nullptr)
        painted.measuringContext = CreateCompatibleDC(nullptr);
    GdiCanvas measurer(painted.measuringContext, painted.fonts, scale);
    return readAccessibleTree(app, measurer, clientLayout(window, scale));
}

void restPointer(HWND window, AppState& app, PaintedWindow& painted, int x, int y) {
    const float scale = app.ui.dpiScale;
    if (painted.measuringContext == nullptr)
        painted.measuringContext = CreateCompatibleDC(nullptr);
    GdiCanvas measurer(painted.measuringContext, painted.fonts, scale);
    onPointerRest(app, measurer, clientLayout(window, scale), x, y);
}

bool invalidateChangedArea(HWND window, AppState& app, PaintedWindow& painted) {
    if (!painted.shownFrameKnown || !IsWindowVisible(window) || IsIconic(window)) {
        // A hidden window paints nothing; when it shows again it is painted whole.
        painted.shownFrameKnown = false;
        return false;
    }
    RECT client{};
    GetClientRect(window, &client);
    const float scale = app.ui.dpiScale;
    const Rect layout = layoutClient(client, scale);
    if (painted.measuringContext == nullptr)
        painted.measuringContext = CreateCompatibleDC(nullptr);
    {
        GdiCanvas measurer(painted.measuringContext, painted.fonts, scale);
        FrameDigestCanvas recorder(measurer, painted.nextFrame);
        paintWindow(recorder, layout, app.ui, modelOf(app));
    }
    invalidateDifference(window, painted, layout, scale);
    return true;
}
