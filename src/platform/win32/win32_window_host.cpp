#include "platform/win32/win32_window_host.h"

#include "base/bounded_format.h"

namespace {

// A popup menu destroyed when the tracking is over, whatever happened.
class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() {
        if (menu_ != nullptr)
            DestroyMenu(menu_);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

HICON programIcon() {
    // Icons from LoadIconW are shared by the system and are never destroyed by their user.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(APP_ICON_RESOURCE_ID));
    return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

} // namespace

Win32WindowHost::Win32WindowHost(std::uintptr_t window, PartialInvalidate partial)
    : window_(reinterpret_cast<HWND>(window)), partial_(partial) {}

void Win32WindowHost::invalidate(bool erase) {
    if (!erase && partial_ != nullptr && partial_(window_))
        return;
    InvalidateRect(window_, nullptr, erase ? TRUE : FALSE);
}

void Win32WindowHost::setCapture() {
    SetCapture(window_);
}

void Win32WindowHost::releaseCapture() {
    ReleaseCapture();
}

void Win32WindowHost::setTimer(std::uint32_t id, std::uint32_t periodMs) {
    SetTimer(window_, id, periodMs, nullptr);
}

void Win32WindowHost::killTimer(std::uint32_t id) {
    KillTimer(window_, id);
}

void Win32WindowHost::showMainWindow() {
    ShowWindow(window_, SW_SHOW);
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

void Win32WindowHost::setForeground() {
    SetForegroundWindow(window_);
}

void Win32WindowHost::setWindowRect(const Rect& rect) {
    SetWindowPos(window_, nullptr, rect.left, rect.top, rect.width(), rect.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowHost::destroyWindow() {
    DestroyWindow(window_);
}

void Win32WindowHost::postQuit(int exitCode) {
    PostQuitMessage(exitCode);
}

std::uint32_t Win32WindowHost::windowDpi() {
    // Windows before 10 (1607) has no per-window DPI; looked up so the program still starts.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return 0;
    const FARPROC proc = GetProcAddress(user32, "GetDpiForWindow");
    if (proc == nullptr)
        return 0;
    const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
    return getDpi(window_);
}

bool Win32WindowHost::trayAdd(const std::wstring& tip) {
    tray_ = NOTIFYICONDATAW{};
    tray_.cbSize = sizeof(NOTIFYICONDATAW);
    tray_.hWnd = window_;
    tray_.uID = TRAY_ICON_ID;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.uCallbackMessage = WM_TRAYICON;
    tray_.hIcon = programIcon();
    copyBounded(tray_.szTip, sizeof tray_.szTip / sizeof tray_.szTip[0], tip.c_str());
    return Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
}

bool Win32WindowHost::trayModify(const std::wstring& tip) {
    if (tray_.cbSize == 0)
        return false; // never added: there is no icon to change
    copyBounded(tray_.szTip, sizeof tray_.szTip / sizeof tray_.szTip[0], tip.c_str());
    // Only the tip changes: handing the icon over again makes the shell copy and redraw it on
    // every tick.
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &change) != FALSE;
}

bool Win32WindowHost::trayDelete() {
    if (tray_.cbSize == 0)
        return false;
    const bool removed = Shell_NotifyIconW(NIM_DELETE, &tray_) != FALSE;
    tray_.cbSize = 0;
    return removed;
}

void Win32WindowHost::trackPopupMenu(const std::vector<MenuEntry>& entries) {
    PopupMenu menu;
    if (menu.get() == nullptr)
        return;
    for (const MenuEntry& entry : entries) {
        if (entry.separator)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(),
                        MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED) |
                            (entry.disabled ? MF_GRAYED : MF_ENABLED),
                        entry.id, entry.text.c_str());
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu.get(), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window_,
                   nullptr);
    // Without a message right after the menu's modal loop, a menu opened from the tray stays
    // open when the user clicks elsewhere.
    PostMessageW(window_, WM_NULL, 0, 0);
}
