#pragma once

// Stores the main window's DPI scale (dpi / 96) in appState.dpiScale; 1.0 when the DPI
// cannot be asked, is 0, or gives a scale below 0.75. Run before the window is sized and on
// every WM_DPICHANGED.
void queryDpiScale();
