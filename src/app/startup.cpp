#include "app/startup.h"

#include <cmath>
#include <cwchar>

std::wstring mainWindowTitle(const SystemIdentity& identity) {
    return L"Ventrasol — " + identity.product + L" Thermal & Fan Control [Universal Windows]";
}

bool startsHidden(const wchar_t* commandLine) {
    if (commandLine == nullptr)
        return false;
    return std::wcsstr(commandLine, L"--minimized") != nullptr ||
           std::wcsstr(commandLine, L"-m") != nullptr;
}

WindowSize initialWindowSize(float dpiScale) {
    const float width = static_cast<float>(DESIGN_WIDTH) * dpiScale;
    const float height = static_cast<float>(DESIGN_HEIGHT) * dpiScale;
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
}
