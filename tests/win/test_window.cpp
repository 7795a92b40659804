#include "win/test_window.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t CLASS_NAME[] = L"VentrasolTestWindow";
constexpr UINT_PTR MENU_CLOSE_TIMER = 0x7E57;

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW; // replaced per window through GWLP_WNDPROC
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = CLASS_NAME;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

TestWindow::TestWindow() {
    registerClassOnce();
    window_ = CreateWindowExW(0, CLASS_NAME, L"Ventrasol Test", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        ADD_FAILURE() << "no window could be created: these tests need an X display "
                         "(scripts/test runs tier 2 on Xvfb)";
    } else {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
    }
}

TestWindow::~TestWindow() {
    if (GetCapture() == window_)
        ReleaseCapture();
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
    // Leave no quit request or stray message behind for the next case.
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void TestWindow::pump(int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    MSG msg{};
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            DispatchMessageW(&msg);
        }
        if (GetTickCount64() >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (true);
}

bool TestWindow::waitForTimer(std::uint32_t id, int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    MSG msg{};
    while (GetTickCount64() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == window_ && msg.wParam == id)
                return true;
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return false;
}

bool TestWindow::takePostedNull() {
    MSG msg{};
    return PeekMessageW(&msg, window_, WM_NULL, WM_NULL, PM_REMOVE) != FALSE;
}

void TestWindow::recordMenu(HMENU menu) {
    ++menusShown_;
    menu_.clear();
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        MenuEntry entry;
        entry.separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.id = entry.separator ? 0 : info.wID;
        entry.text = entry.separator ? L"" : text;
        entry.checked = (info.fState & MFS_CHECKED) != 0;
        menu_.push_back(entry);
    }
}

LRESULT CALLBACK TestWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == WM_INITMENUPOPUP) {
            self->recordMenu(reinterpret_cast<HMENU>(wParam));
            SetTimer(window, MENU_CLOSE_TIMER, 30, nullptr);
            return 0;
        }
        if (message == WM_TIMER && wParam == MENU_CLOSE_TIMER) {
            KillTimer(window, MENU_CLOSE_TIMER);
            EndMenu();
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
