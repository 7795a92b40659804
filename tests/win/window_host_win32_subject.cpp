#include "contract/window_host_contract.h"
#include "platform/win32/win32_window_host.h"
#include "win/icon_pixels.h"
#include "win/test_window.h"

#include <commctrl.h>

namespace {

class Win32Probe final : public WindowHostProbe {
public:
    Win32Probe() : host_(reinterpret_cast<std::uintptr_t>(window_.handle())) {}

    WindowHost& host() override { return host_; }
    bool exists() override { return IsWindow(window_.handle()) != FALSE; }
    bool visible() override { return IsWindowVisible(window_.handle()) != FALSE; }
    bool captured() override { return GetCapture() == window_.handle(); }
    bool needsPainting() override {
        return GetUpdateRect(window_.handle(), nullptr, FALSE) != FALSE;
    }
    void validate() override { ValidateRect(window_.handle(), nullptr); }
    bool timerFires(std::uint32_t id, int withinMs) override {
        return window_.waitForTimer(id, withinMs);
    }
    Rect windowRect() override {
        RECT r{};
        GetWindowRect(window_.handle(), &r);
        return Rect{r.left, r.top, r.right, r.bottom};
    }
    std::optional<int> takeQuit() override {
        MSG msg{};
        if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return static_cast<int>(msg.wParam);
        return std::nullopt;
    }
    std::vector<MenuEntry> lastMenu() override { return window_.lastMenu(); }
    TrayIconImage trayPicture() override {
        const HICON shown = host_.trayRecord().hIcon;
        if (shown == LoadIconW(nullptr, IDI_APPLICATION)) // the test binary has no icon 101
            return {};
        int size = 0;
        ICONINFO info{};
        if (GetIconInfo(shown, &info)) {
            BITMAP bitmap{};
            GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
            size = bitmap.bmWidth;
            DeleteObject(info.hbmMask);
            if (info.hbmColor != nullptr)
                DeleteObject(info.hbmColor);
        }
        return iconPixels(shown, size);
    }
    std::optional<TrayBalloon> lastBalloon() override {
        const NOTIFYICONDATAW& record = host_.trayRecord();
        if (record.szInfo[0] == L'\0')
            return std::nullopt;
        TrayBalloonKind kind = TrayBalloonKind::Info;
        if ((record.dwInfoFlags & NIIF_ICON_MASK) == NIIF_WARNING)
            kind = TrayBalloonKind::Warning;
        else if ((record.dwInfoFlags & NIIF_ICON_MASK) == NIIF_ERROR)
            kind = TrayBalloonKind::Error;
        // Every balloon of the program waits for the user's quiet time to pass.
        if ((record.dwInfoFlags & NIIF_RESPECT_QUIET_TIME) == 0)
            return TrayBalloon{L"quiet time ignored", L"", kind};
        return TrayBalloon{record.szInfoTitle, record.szInfo, kind};
    }
    std::wstring tooltip() override {
        HWND tip = host_.tooltipWindow();
        if (tip == nullptr || !IsWindowVisible(tip))
            return L"";
        wchar_t text[256] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = window_.handle();
        tool.uId = 1;
        tool.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }

private:
    TestWindow window_;
    Win32WindowHost host_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, WindowHostContract,
                         ::testing::Values(WindowHostSubject{
                             "Win32", [] { return std::make_unique<Win32Probe>(); }}),
                         windowHostSubjectName);
