#pragma once

#include <windows.h>

// Painting the main window. A tick repaints only what moved: the next picture is first
// recorded as a digest and compared with the one the window shows, and only the area where
// they differ is invalidated. A paint draws only the calls that reach its update area.

// WM_PAINT.
void paintMainWindow(HWND window);

// Invalidates the part of the window whose picture changed since the last paint; false when it
// cannot tell (the window is hidden or was never painted whole), and the caller invalidates
// everything.
bool invalidateChangedArea(HWND window);
