#include "dib_surface.h"

DibSurface::DibSurface(int width, int height, Color clear) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc_ || !bitmap_ || !bits)
        return;
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(clear);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

DibSurface::~DibSurface() {
    if (oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (dc_)
        DeleteDC(dc_);
}

std::optional<Color> DibSurface::pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return std::nullopt;
    GdiFlush();
    // A 32-bit DIB stores blue, green, red, unused: 0x00RRGGBB as a number.
    const std::uint32_t v = bits_[static_cast<std::size_t>(y) * width_ + x];
    return rgb((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}
