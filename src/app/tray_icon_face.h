#pragma once

#include "base/color.h"

#include <cstdint>
#include <string>

// What the notification-area icon shows: a whole number of degrees (or "!") in the colour of
// its level, for one icon size; or, with no text, the program's own icon.
struct TrayIconFace {
    std::wstring text;
    Color color = 0;
    std::uint32_t size = 0;
    bool operator==(const TrayIconFace&) const = default;
};

enum class TrayLevel : std::uint8_t { Normal, Warm, Hot };

// From these whole degrees on, the number turns warm and hot; above the largest shown the
// icon says "!".
inline constexpr long TRAY_WARM_CELSIUS = 80;
inline constexpr long TRAY_HOT_CELSIUS = 90;
inline constexpr long TRAY_LARGEST_SHOWN = 99;

// The sizes an icon is drawn at; the taskbar's answer is kept within them.
inline constexpr std::uint32_t TRAY_ICON_SMALLEST = 16;
inline constexpr std::uint32_t TRAY_ICON_LARGEST = 256;

TrayLevel trayLevel(long wholeCelsius);

// Each level's colour, readable on a dark or on a light taskbar.
Color trayLevelColor(TrayLevel level, bool lightTaskbar);

// The face for a temperature in °C, rounded to whole degrees (halves away from zero). A
// temperature that is not a number, or below zero (no sensor of a running machine reads that),
// gives the program's icon, whatever the size.
TrayIconFace trayIconFace(double celsius, bool lightTaskbar, std::uint32_t size);
