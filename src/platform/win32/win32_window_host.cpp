#include "platform/win32/win32_window_host.h"

#include "base/bounded_format.h"
#include "platform/win32/tray_icon_bitmap.h"

#include <commctrl.h>

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

// The common controls register the tooltip class. They are loaded when the first tooltip is
// asked for, not imported: every start of the program would pay for loading them.
bool registerTooltipClass() {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const Init init = [] {
        HMODULE dll = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return dll == nullptr ? nullptr
                              : reinterpret_cast<Init>(reinterpret_cast<void (*)()>(
                                    GetProcAddress(dll, "InitCommonControlsEx")));
    }();
    if (init == nullptr)
        return false;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    return init(&controls) != FALSE;
}

HICON programIcon() {
    // Icons from LoadIconW are shared by the system and are never destroyed by their user.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(APP_ICON_RESOURCE_ID));
    return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

// A function of user32 that older Windows versions lack, looked up so the program still starts.
template <typename Fn> Fn user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    const FARPROC proc = GetProcAddress(user32, name);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// The DPI the notification area is drawn at: the taskbar's own window where this Windows can
// say it (the taskbar may sit on a monitor of another scale), else the system's.
UINT taskbarDpi() {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    using DpiForSystem = UINT(WINAPI*)();
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    const auto forWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    if (taskbar != nullptr && forWindow != nullptr) {
        const UINT dpi = forWindow(taskbar);
        if (dpi != 0)
            return dpi;
    }
    const auto forSystem = user32Function<DpiForSystem>("GetDpiForSystem");
    if (forSystem != nullptr && forSystem() != 0)
        return forSystem();
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

} // namespace

Win32WindowHost::Win32WindowHost(std::uintptr_t window, PartialInvalidate partial,
                                 ShellNotify shell)
    : window_(reinterpret_cast<HWND>(window)), partial_(partial), shell_(shell) {}

Win32WindowHost::~Win32WindowHost() {
    if (ownedIcon_ != nullptr)
        DestroyIcon(ownedIcon_);
}

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
    // Windows before 10 (1607) has no per-window DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    return getDpi != nullptr ? getDpi(window_) : 0;
}

bool Win32WindowHost::trayAdd(const std::wstring& tip) {
    tray_ = NOTIFYICONDATAW{};
    tray_.cbSize = sizeof(NOTIFYICONDATAW);
    tray_.hWnd = window_;
    tray_.uID = TRAY_ICON_ID;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.uCallbackMessage = WM_TRAYICON;
    // After a taskbar restart the picture shown before comes back with the icon.
    tray_.hIcon = ownedIcon_ != nullptr ? ownedIcon_ : programIcon();
    copyBounded(tray_.szTip, sizeof tray_.szTip / sizeof tray_.szTip[0], tip.c_str());
    return shell_(NIM_ADD, &tray_) != FALSE;
}

bool Win32WindowHost::trayModify(const std::wstring& tip) {
    if (tray_.cbSize == 0)
        return false; // never added: there is no icon to change
    copyBounded(tray_.szTip, sizeof tray_.szTip / sizeof tray_.szTip[0], tip.c_str());
    // Only the tip changes: handing the icon over again makes the shell copy and redraw it on
    // every tick.
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_TIP;
    return shell_(NIM_MODIFY, &change) != FALSE;
}

bool Win32WindowHost::trayDelete() {
    if (tray_.cbSize == 0)
        return false;
    const bool removed = shell_(NIM_DELETE, &tray_) != FALSE;
    tray_.cbSize = 0;
    // The shell no longer shows the picture: it can go.
    if (ownedIcon_ != nullptr)
        DestroyIcon(ownedIcon_);
    ownedIcon_ = nullptr;
    tray_.hIcon = nullptr;
    return removed;
}

std::uint32_t Win32WindowHost::trayIconSize() {
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    const UINT dpi = taskbarDpi();
    const auto forDpi = user32Function<MetricsForDpi>("GetSystemMetricsForDpi");
    int size = forDpi != nullptr ? forDpi(SM_CXSMICON, dpi) : 0;
    if (size <= 0)
        size = MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), 96);
    return size > 0 ? static_cast<std::uint32_t>(size) : 16u;
}

bool Win32WindowHost::traySetIcon(const TrayIconImage* image) {
    if (tray_.cbSize == 0)
        return false;
    HICON fresh = image != nullptr ? iconFromImage(*image) : programIcon();
    if (fresh == nullptr)
        return false;
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_ICON;
    change.hIcon = fresh;
    const bool shown = shell_(NIM_MODIFY, &change) != FALSE;
    // The shell may still draw the previous picture until it has the new one: the old handle
    // goes only now, and only when the new one took its place.
    if (!shown) {
        if (image != nullptr)
            DestroyIcon(fresh);
        return false;
    }
    if (ownedIcon_ != nullptr)
        DestroyIcon(ownedIcon_);
    ownedIcon_ = image != nullptr ? fresh : nullptr;
    tray_.hIcon = fresh;
    return true;
}

bool Win32WindowHost::trayNotify(const TrayBalloon& balloon) {
    if (tray_.cbSize == 0)
        return false;
    copyBounded(tray_.szInfoTitle, sizeof tray_.szInfoTitle / sizeof tray_.szInfoTitle[0],
                balloon.title.c_str());
    copyBounded(tray_.szInfo, sizeof tray_.szInfo / sizeof tray_.szInfo[0], balloon.text.c_str());
    DWORD symbol = NIIF_INFO;
    if (balloon.kind == TrayBalloonKind::Warning)
        symbol = NIIF_WARNING;
    else if (balloon.kind == TrayBalloonKind::Error)
        symbol = NIIF_ERROR;
    // Presentation mode, quiet hours and the first hour after sign-in hold it back.
    tray_.dwInfoFlags = symbol | NIIF_RESPECT_QUIET_TIME;
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_INFO;
    return shell_(NIM_MODIFY, &change) != FALSE;
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

ContrastMode Win32WindowHost::contrastMode() {
    ContrastMode mode;
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    mode.on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) != FALSE &&
              (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
    if (!mode.on)
        return mode;
    SystemColors& c = mode.colors;
    c.window = GetSysColor(COLOR_WINDOW);
    c.windowText = GetSysColor(COLOR_WINDOWTEXT);
    c.buttonFace = GetSysColor(COLOR_BTNFACE);
    c.buttonText = GetSysColor(COLOR_BTNTEXT);
    c.highlight = GetSysColor(COLOR_HIGHLIGHT);
    c.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    c.grayText = GetSysColor(COLOR_GRAYTEXT);
    c.hotTrack = GetSysColor(COLOR_HOTLIGHT);
    return mode;
}

void Win32WindowHost::showTooltip(const std::wstring& text, int x, int y) {
    if (tooltip_ == nullptr) {
        if (!registerTooltipClass())
            return;
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (tooltip_ == nullptr)
            return;
        // Long texts wrap instead of running across the screen.
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 480);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window_;
    tool.uId = 1;
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tooltipText_ = text;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.lpszText = tooltipText_.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT at{x, y};
    ClientToScreen(window_, &at);
    SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void Win32WindowHost::hideTooltip() {
    if (tooltip_ == nullptr)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window_;
    tool.uId = 1;
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
