#pragma once

#include <cstdint>

// 0x00BBGGRR, the layout of a Win32 COLORREF, so colours pass to GDI unchanged.
using Color = std::uint32_t;

constexpr Color rgb(unsigned r, unsigned g, unsigned b) {
    return static_cast<Color>((r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16));
}
constexpr unsigned redOf(Color c) {
    return c & 0xFFu;
}
constexpr unsigned greenOf(Color c) {
    return (c >> 8) & 0xFFu;
}
constexpr unsigned blueOf(Color c) {
    return (c >> 16) & 0xFFu;
}
