#pragma once

// The main window's DPI scale (dpi / 96); 1.0 when the DPI cannot be asked, is 0, or gives a
// scale below 0.75. Asked before the window is sized and on every WM_DPICHANGED.
float queryDpiScale();

// The window's pixels and the layout's: painting works in layout pixels, which the canvas
// scales by dpiScale, so a pointer position is divided by it before it is tested.
int toLayoutPixel(int devicePixel, float scale);
int toDevicePixel(int layoutPixel, float scale);
