#pragma once

#include "platform/window_host.h"

#include <windows.h>

// An icon of the image's pixels, alpha and all, with a mask that agrees with the alpha. The
// caller owns it (DestroyIcon); nullptr when the image is malformed or GDI refuses.
HICON iconFromImage(const TrayIconImage& image);
