#pragma once

#include "app/app_state.h"

#include <cstdint>

// The left mouse button against the regions of the last paint. The window procedure passes
// client coordinates (the signed 16-bit words of lParam; negative or beyond the client area
// while the mouse is captured).

// WM_LBUTTONDOWN: the first region containing (x, y) decides; outside every region nothing.
void onButtonDown(AppState& app, int x, int y);
// WM_MOUSEMOVE: continues a drag; without one nothing happens and nothing is repainted.
void onPointerMove(AppState& app, int x, int y);
// WM_LBUTTONUP: ends a drag, releases the mouse and saves the settings once.
void onButtonUp(AppState& app);
// WM_CAPTURECHANGED: another window took the mouse in the middle of a drag (a dialog, a
// task switch). The drag ends where it stands and is saved, as if the button had been
// released there; the release that follows elsewhere then finds nothing to end.
void onCaptureLost(AppState& app);

// Maps the pointer to the dragged value: a manual speed (fans linked by fraction of each
// fan's own range) or a curve point clamped to 35..95 °C and 0..100 %.
void updateDrag(AppState& app, int x, int y);

// What a click on a region does, for the regions that act at once (tabs, modes, switches,
// buttons); the keyboard and screen readers press controls through it too. Sliders and the
// chart start a drag instead and do nothing here.
void activateRegion(AppState& app, std::int32_t id, std::int32_t arg);

// Sets fan k's manual speed to the share fraction (clamped to 0..1) of its range, rounded to
// a whole RPM; linked sliders move the other fan to the same share of its own range. Nothing is
// saved. Without fan k nothing changes.
void setManualFraction(AppState& app, int k, double fraction);

// Moves curve point j to (temperature, level), rounded and kept within the editor's 35..95 °C
// and 0..100 %; in the curve mode the fans follow at once. Nothing is saved.
void moveCurvePoint(AppState& app, int j, double temperature, double level);
