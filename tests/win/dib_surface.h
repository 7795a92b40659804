#pragma once

#include "base/color.h"

#include <windows.h>

#include <cstdint>
#include <optional>

// A memory DC holding a top-down 32-bit DIB section: a paint target whose pixels can be read.
class DibSurface {
public:
    DibSurface(int width, int height, Color clear);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    bool valid() const { return bits_ != nullptr; }
    // The pixel as 0x00BBGGRR; nullopt outside the bitmap.
    std::optional<Color> pixel(int x, int y) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};
