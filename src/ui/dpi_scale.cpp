#include "ui/dpi_scale.h"

#include "platform/platform.h"
#include "platform/window_host.h"

#include <cmath>

float queryDpiScale() {
    if (platform.windowHost == nullptr)
        return 1.0f;
    const std::uint32_t dpi = platform.windowHost->windowDpi();
    if (dpi == 0)
        return 1.0f;
    const float scale = static_cast<float>(dpi) / 96.0f;
    return scale >= 0.75f ? scale : 1.0f;
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
