#include "app/startup.h"

#include <algorithm>
#include <cmath>

std::wstring mainWindowTitle(const SystemIdentity& identity) {
    return L"Ventrasol — " + identity.product + L" Thermal & Fan Control [Universal Windows]";
}

WindowSize initialWindowSize(float dpiScale) {
    const float width = static_cast<float>(DESIGN_WIDTH) * dpiScale;
    const float height = static_cast<float>(DESIGN_HEIGHT) * dpiScale;
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
}

Rect fitWindowToWorkArea(const Rect& window, const Rect& workArea, WindowSize minimum) {
    const int width = std::max(std::min(window.width(), workArea.width()), minimum.width);
    const int height = std::max(std::min(window.height(), workArea.height()), minimum.height);
    int left = std::min(window.left, workArea.right - width);
    int top = std::min(window.top, workArea.bottom - height);
    left = std::max(left, workArea.left);
    top = std::max(top, workArea.top);
    return {left, top, left + width, top + height};
}
