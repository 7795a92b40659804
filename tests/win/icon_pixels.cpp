#include "win/icon_pixels.h"

#include "win/dib_surface.h"

#include <cstddef>

TrayIconImage iconPixels(HICON icon, int size) {
    const Color first = rgb(1, 2, 3);
    const Color second = rgb(253, 252, 251);
    DibSurface a(size, size, first);
    DibSurface b(size, size, second);
    if (icon == nullptr || !a.valid() || !b.valid() ||
        !DrawIconEx(a.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) ||
        !DrawIconEx(b.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL))
        return {};
    TrayIconImage image;
    image.size = static_cast<std::uint32_t>(size);
    image.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Color p = *a.pixel(x, y);
            const Color q = *b.pixel(x, y);
            const std::uint32_t argb = (redOf(p) << 16) | (greenOf(p) << 8) | blueOf(p);
            std::uint32_t& out = image.pixels[static_cast<std::size_t>(y * size + x)];
            if (p == q)
                out = 0xFF000000u | argb;
            else if (p == first && q == second)
                out = 0;
            else
                out = 0x7F000000u | argb;
        }
    }
    return image;
}
