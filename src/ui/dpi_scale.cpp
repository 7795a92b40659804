#include "ui/dpi_scale.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "platform/window_host.h"

#include <cmath>

void queryDpiScale() {
    appState.dpiScale = 1.0f;
    if (platform.windowHost == nullptr)
        return;
    const std::uint32_t dpi = platform.windowHost->windowDpi();
    if (dpi == 0)
        return;
    const float scale = static_cast<float>(dpi) / 96.0f;
    if (scale >= 0.75f)
        appState.dpiScale = scale;
}

int toLayoutPixel(int devicePixel, float scale) {
    if (!(scale > 0.0f) || scale == 1.0f)
        return devicePixel;
    return static_cast<int>(std::floor(static_cast<double>(devicePixel) / scale));
}

int toDevicePixel(int layoutPixel, float scale) {
    if (!(scale > 0.0f) || scale == 1.0f)
        return layoutPixel;
    return static_cast<int>(std::lround(static_cast<double>(layoutPixel) * scale));
}
