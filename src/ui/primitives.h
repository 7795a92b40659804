#pragma once

#include "base/color.h"
#include "base/rect.h"
#include "platform/canvas.h"

#include <cstdint>

// The building blocks every tab is drawn from. Coordinates are client pixels.

void addHitRegion(const Rect& rect, std::int32_t id, std::int32_t arg);

// A shape with its own brush and pen; fill equal to border gives no visible outline.
void drawRoundPanel(Canvas& canvas, const Rect& rect, int radius, Color fill, Color border);
// A card: radius 10, CardFill, Line.
void drawCard(Canvas& canvas, const Rect& rect);

// A horizontal level bar; a filled part of 4 pixels or less is left out.
void drawBar(Canvas& canvas, int x, int y, int width, int height, double fraction, Color color);
// A manual-speed slider; records sliderRects[index] (index 0 or 1), the area where a press
// starts a drag.
void drawSlider(Canvas& canvas, int x, int y, int width, double fraction, Color color, int index);
// A 38 x 20 on/off switch; records one region with the id and arg 0.
void drawToggle(Canvas& canvas, int x, int y, bool on, std::int32_t id);

// Good below 55 °C, Caution from 55, Warning from 70, Critical from 85; Good for NaN.
Color temperatureColor(double celsius);

// 1 for anything not below 1 (NaN included), else at least 0.
double clampFraction(double fraction);
// length x fraction rounded half away from zero; fraction must already be clamped.
int scaledLength(int length, double fraction);
