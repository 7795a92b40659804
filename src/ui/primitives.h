#pragma once

#include "base/color.h"
#include "base/rect.h"
#include "platform/canvas.h"

#include "ui/hit_region.h"

#include <cstdint>
#include <vector>

// The building blocks every tab is drawn from. Coordinates are client pixels.

void addHitRegion(std::vector<HitRegion>& regions, const Rect& rect, std::int32_t id,
                  std::int32_t arg);

// A shape with its own brush and pen; fill equal to border gives no visible outline.
void drawRoundPanel(Canvas& canvas, const Rect& rect, int radius, Color fill, Color border);
// A card: radius 10, CardFill, Line.
void drawCard(Canvas& canvas, const Rect& rect);

// A horizontal level bar; a filled part of 4 pixels or less is left out.
void drawBar(Canvas& canvas, int x, int y, int width, int height, double fraction, Color color);
// A manual-speed slider; returns the area where a press starts a drag.
Rect drawSlider(Canvas& canvas, int x, int y, int width, double fraction, Color color);
// A 38 x 20 on/off switch; records one region with the id and arg 0.
void drawToggle(Canvas& canvas, std::vector<HitRegion>& regions, int x, int y, bool on,
                std::int32_t id);

// A switch whose state is not known yet: a muted track with the knob in the middle, and no
// region, so it cannot be flipped until the state is known.
void drawPendingToggle(Canvas& canvas, int x, int y);

// Good below 55 °C, Caution from 55, Warning from 70, Critical from 85; Good for NaN.
Color temperatureColor(double celsius);

// 1 for anything not below 1 (NaN included), else at least 0.
double clampFraction(double fraction);
// length x fraction rounded half away from zero; fraction must already be clamped.
int scaledLength(int length, double fraction);
