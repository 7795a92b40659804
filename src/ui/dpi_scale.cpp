#include "ui/dpi_scale.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "platform/window_host.h"

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
