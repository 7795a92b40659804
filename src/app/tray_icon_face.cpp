#include "app/tray_icon_face.h"

#include "base/rounding.h"

#include <algorithm>
#include <cmath>

TrayLevel trayLevel(long wholeCelsius) {
    if (wholeCelsius >= TRAY_HOT_CELSIUS)
        return TrayLevel::Hot;
    if (wholeCelsius >= TRAY_WARM_CELSIUS)
        return TrayLevel::Warm;
    return TrayLevel::Normal;
}

Color trayLevelColor(TrayLevel level, bool lightTaskbar) {
    switch (level) {
    case TrayLevel::Hot:
        return lightTaskbar ? rgb(196, 20, 20) : rgb(255, 69, 58);
    case TrayLevel::Warm:
        return lightTaskbar ? rgb(184, 92, 0) : rgb(255, 159, 10);
    case TrayLevel::Normal:
    default:
        return lightTaskbar ? rgb(16, 16, 16) : rgb(255, 255, 255);
    }
}

TrayIconFace trayIconFace(double celsius, bool lightTaskbar, std::uint32_t size) {
    if (std::isnan(celsius) || roundHalfAway(celsius) < 0.0)
        return {};
    TrayIconFace face;
    face.size = std::clamp(size, TRAY_ICON_SMALLEST, TRAY_ICON_LARGEST);
    // Compared as a double first: a reading of 1e300 is no long.
    const double whole = roundHalfAway(celsius);
    if (whole > static_cast<double>(TRAY_LARGEST_SHOWN)) {
        face.text = L"!";
        face.color = trayLevelColor(TrayLevel::Hot, lightTaskbar);
        return face;
    }
    const long degrees = static_cast<long>(whole);
    face.text = std::to_wstring(degrees);
    face.color = trayLevelColor(trayLevel(degrees), lightTaskbar);
    return face;
}
