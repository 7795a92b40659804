#include "platform/win32/tray_icon_bitmap.h"

#include <cstddef>
#include <vector>

namespace {

// A GDI bitmap deleted when the icon has copied it.
class OwnedBitmap {
public:
    explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~OwnedBitmap() {
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

constexpr std::uint32_t LARGEST_ICON = 256;

} // namespace

HICON iconFromImage(const TrayIconImage& image) {
    const std::uint32_t size = image.size;
    if (size == 0 || size > LARGEST_ICON || image.pixels.size() != std::size_t{size} * size)
        return nullptr;

    // Alpha is all or nothing, so the colours need no premultiplying; a transparent pixel is
    // stored black, as the shell expects of an icon's transparent parts. A 32-bit bitmap made
    // from the bits keeps the alpha byte, and costs less than a DIB section.
    std::vector<std::uint32_t> color(image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        color[i] = (image.pixels[i] >> 24) != 0 ? (image.pixels[i] | 0xFF000000u) : 0u;
    OwnedBitmap colorBitmap(
        CreateBitmap(static_cast<int>(size), static_cast<int>(size), 1, 32, color.data()));

    // The monochrome mask: a set bit lets the background through. Rows are padded to 16 bits.
    const std::size_t stride = ((size + 15) / 16) * 2;
    std::vector<std::uint8_t> mask(stride * size, 0);
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x)
            if ((image.pixels[std::size_t{y} * size + x] >> 24) == 0)
                mask[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    OwnedBitmap maskBitmap(
        CreateBitmap(static_cast<int>(size), static_cast<int>(size), 1, 1, mask.data()));
    if (colorBitmap.get() == nullptr || maskBitmap.get() == nullptr)
        return nullptr;

    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmMask = maskBitmap.get();
    icon.hbmColor = colorBitmap.get();
    return CreateIconIndirect(&icon);
}
