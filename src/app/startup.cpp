#include "app/startup.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

std::wstring mainWindowTitle(const SystemIdentity& identity) {
    return L"Ventrasol — " + identity.product + L" Thermal & Fan Control [Universal Windows]";
}

namespace {

bool equalsIgnoringCase(const std::wstring& a, const wchar_t* b) {
    const std::size_t n = std::wcslen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

} // namespace

bool startsHidden(const wchar_t* commandLine) {
    if (commandLine == nullptr)
        return false;
    // Quotes group blanks into an argument and are not part of it.
    std::wstring argument;
    bool quoted = false, any = false;
    for (const wchar_t* p = commandLine;; ++p) {
        const wchar_t c = *p;
        if (c == L'"') {
            quoted = !quoted;
            any = true;
            continue;
        }
        if (c == L'\0' || (!quoted && (c == L' ' || c == L'\t'))) {
            if (any && (equalsIgnoringCase(argument, L"--minimized") ||
                        equalsIgnoringCase(argument, L"-m")))
                return true;
            argument.clear();
            any = false;
            if (c == L'\0')
                return false;
            continue;
        }
        argument += c;
        any = true;
    }
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
