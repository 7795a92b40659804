#pragma once

#include "base/color.h"

// The window's fixed palette, 0x00BBGGRR like a COLORREF. The fonts are the Font set of the
// canvas (platform/canvas.h).
namespace palette {
inline constexpr Color Background = rgb(22, 24, 30);
inline constexpr Color SidebarFill = rgb(17, 19, 24);
inline constexpr Color Line = rgb(52, 57, 72);
inline constexpr Color CardFill = rgb(31, 34, 43);
inline constexpr Color Accent = rgb(10, 132, 255);
inline constexpr Color AccentLight = rgb(50, 195, 255);
inline constexpr Color Text = rgb(242, 244, 248);
inline constexpr Color TextMuted = rgb(150, 158, 175);
inline constexpr Color White = rgb(255, 255, 255);
inline constexpr Color ButtonFill = rgb(38, 42, 53);
inline constexpr Color BadgeFill = rgb(15, 45, 78);
inline constexpr Color TrackFill = rgb(18, 20, 26);
inline constexpr Color TrackLine = rgb(45, 50, 62);
inline constexpr Color SliderLine = rgb(50, 56, 70);
inline constexpr Color KnobFill = rgb(245, 247, 250);
inline constexpr Color ToggleOff = rgb(55, 60, 74);
inline constexpr Color Good = rgb(48, 209, 88);
inline constexpr Color Caution = rgb(255, 214, 10);
inline constexpr Color Warning = rgb(255, 159, 10);
inline constexpr Color Critical = rgb(255, 69, 58);
inline constexpr Color NoticeErrorFill = rgb(60, 24, 24);
inline constexpr Color NoticeErrorText = rgb(255, 140, 130);
inline constexpr Color NoticeOkFill = rgb(22, 42, 34);
} // namespace palette
