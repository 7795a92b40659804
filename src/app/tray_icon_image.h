#pragma once

#include "app/tray_icon_face.h"
#include "platform/window_host.h"

// Draws a face's text ("0" to "99" or "!") into an icon of its size: blocky digits of whole
// pixels over the full height, centred, in the face's colour on a transparent background and
// without any blended edge pixel, so that they stay crisp on every taskbar. Other characters
// are left out. A face without text gives an empty image.
TrayIconImage drawTrayIconImage(const TrayIconFace& face);
