#pragma once

#include "app/app_state.h"

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
