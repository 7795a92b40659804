#pragma once

#include "app/app_state.h"
#include "platform/accessibility.h"
#include "platform/win32/gdi_font_set.h"
#include "ui/frame_digest.h"

#include <vector>

#include <windows.h>

// Painting the main window. A tick repaints only what moved: the next picture is first
// recorded as a digest and compared with the one the window shows, and only the area where
// they differ is invalidated. A paint draws only the calls that reach its update area.

// What the window shows and the fonts it is drawn with, kept from paint to paint.
struct PaintedWindow {
    // Made once per scale and kept across paints; deleted at process exit.
    GdiFontSet fonts;
    // What the window shows (once a paint covered all of it), and scratch for the next picture.
    std::vector<DigestEntry> shownFrame;
    std::vector<DigestEntry> nextFrame;
    bool shownFrameKnown = false;
    // A context for measuring outside a paint, with the same fonts as the paint; made when
    // first needed.
    HDC measuringContext = nullptr;
};

// WM_PAINT.
void paintMainWindow(HWND window, AppState& app, PaintedWindow& painted);

// The automation tree of the window as it stands, laid out with the paint's fonts.
std::vector<AccessibleElement> readWindowTree(HWND window, AppState& app, PaintedWindow& painted);

// The pointer rests at (x, y) in layout pixels: a text there shown cut gets its tooltip.
void restPointer(HWND window, AppState& app, PaintedWindow& painted, int x, int y);

// Invalidates the part of the window whose picture changed since the last paint; false when it
// cannot tell (the window is hidden or was never painted whole), and the caller invalidates
// everything.
bool invalidateChangedArea(HWND window, AppState& app, PaintedWindow& painted);
