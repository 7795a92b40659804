#pragma once

#include "platform/window_host.h"

#include <windows.h>

// The icon as the shell would draw it at size x size: each pixel 0xFF000000 | RGB where the
// icon covers it, 0 where the background shows through, and 0x7F000000 | RGB where it blends
// the two (found by drawing it over two different backgrounds). Empty when it cannot be drawn.
TrayIconImage iconPixels(HICON icon, int size);
