// The entry point and the main window's procedure. The procedure only decodes messages; what
// each one means is decided by the portable code in app/ and ui/.
#include "app/app_state.h"
#include "app/commands.h"
#include "app/control_recovery.h"
#include "app/startup.h"
#include "app/tray.h"
#include "app/window_events.h"
#include "app/window_paint_win32.h"
#include "hardware/backend_selection.h"
#include "hardware/fan_handback.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "platform/win32/process_hardening.h"
#include "platform/win32/win32_crash_guard.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_task_scheduler.h"
#include "platform/win32/win32_thermal_zone_query.h"
#include "platform/win32/win32_window_host.h"
#include "regulation/fan_guard.h"
#include "settings/registry_settings.h"
#include "ui/dpi_scale.h"
#include "ui/paint_window.h"
#include "ui/pointer.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdint>
#include <new>
#include <utility>

namespace {

// The seams are made once and never destroyed. appState, and with it the backend, is destroyed
// at static destruction, in an order towards other statics that nothing fixes, and the
// backend's destructor still closes its device and frees its libraries through them. They own
// nothing that the end of the process does not release.
template <typename T, typename... Args> T* lifelong(Args&&... args) {
    alignas(T) static unsigned char storage[sizeof(T)];
    return ::new (static_cast<void*>(storage)) T(std::forward<Args>(args)...);
}

UINT taskbarCreatedMessage = 0;

void repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

int layoutX(LPARAM lParam) {
    return toLayoutPixel(GET_X_LPARAM(lParam), appState.dpiScale);
}
int layoutY(LPARAM lParam) {
    return toLayoutPixel(GET_Y_LPARAM(lParam), appState.dpiScale);
}

// The outer size of a client area of the minimum layout size at the window's scale.
POINT minimumTrackSize(HWND window) {
    RECT r{0, 0, toDevicePixel(MIN_CLIENT_WIDTH, appState.dpiScale),
           toDevicePixel(MIN_CLIENT_HEIGHT, appState.dpiScale)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return {r.right - r.left, r.bottom - r.top};
}

// The first size is the design size, but never larger than the work area of the monitor the
// window opens on: a tall window on a short screen would hide its lower part, the live status
// included, under the taskbar.
void fitToWorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT current{};
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !GetWindowRect(window, &current))
        return;
    const WindowSize design = initialWindowSize(appState.dpiScale);
    const POINT minimum = minimumTrackSize(window);
    const Rect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                    monitor.rcWork.bottom};
    const Rect fitted = fitWindowToWorkArea(
        {current.left, current.top, current.left + design.width, current.top + design.height}, work,
        {minimum.x, minimum.y});
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
        onTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        // The timer must belong to this window, and CreateWindowExW has not returned yet.
        appState.mainWindow = reinterpret_cast<WindowHandle>(window);
        if (platform.windowHost == nullptr)
            platform.windowHost =
                lifelong<Win32WindowHost>(appState.mainWindow, &invalidateChangedArea);
        onWindowCreated();
        return 0;
    case WM_DESTROY:
        runExitSequence();
        return 0;
    case WM_ENDSESSION:
        onSessionEnd(wParam != FALSE);
        return 0;
    case WM_POWERBROADCAST:
        onPowerEvent(static_cast<std::uint32_t>(wParam));
        repaint(window);
        return TRUE;
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
        handleCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        onTimer(static_cast<std::uintptr_t>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        onPointerMove(layoutX(lParam), layoutY(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(layoutX(lParam), layoutY(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info != nullptr)
            info->ptMinTrackSize = minimumTrackSize(window);
        return 0;
    }
    case WM_LBUTTONUP:
        onButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        onCaptureLost();
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        if (suggested == nullptr) {
            onDpiChanged(nullptr);
        } else {
            const Rect rect{suggested->left, suggested->top, suggested->right, suggested->bottom};
            onDpiChanged(&rect);
        }
        return 0;
    }
    case WM_TRAYICON:
        handleTrayEvent(static_cast<std::uint32_t>(lParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// No exception may unwind into user32: it would cross frames that know nothing of C++, and
// the fans would stay as they are. Hand them back and end instead.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handleMessage(window, message, wParam, lParam);
    } catch (...) {
        endProcessAfterCrash();
    }
}

// Owns the instance mutex from the first step until the message loop has ended.
class InstanceMutex {
public:
    InstanceMutex() : handle_(CreateMutexW(nullptr, TRUE, INSTANCE_MUTEX_NAME)) {
        alreadyRunning_ = GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~InstanceMutex() {
        if (handle_ != nullptr)
            CloseHandle(handle_);
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    bool alreadyRunning() const { return alreadyRunning_; }

private:
    HANDLE handle_;
    bool alreadyRunning_ = false;
};

void surfaceRunningInstance() {
    HWND other = FindWindowW(WINDOW_CLASS_NAME, nullptr);
    if (other == nullptr)
        return;
    ShowWindow(other, SW_SHOW);
    ShowWindow(other, SW_RESTORE);
    SetForegroundWindow(other);
}

void enablePerMonitorDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return;
    const auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (set != nullptr)
        set(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))); // PER_MONITOR_AWARE_V2
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    hardenProcess();
    installCrashGuard();
    // 1. One instance per machine.
    InstanceMutex mutex;
    if (mutex.alreadyRunning()) {
        surfaceRunningInstance();
        return 0;
    }
    platform.systemInfo = lifelong<Win32SystemInfo>();
    platform.registry = lifelong<Win32Registry>();
    platform.deviceIo = lifelong<Win32DeviceIo>();
    platform.serviceManager = lifelong<Win32ServiceManager>();
    platform.thermalZones = lifelong<Win32ThermalZoneQuery>();
    platform.libraryLoader = lifelong<Win32LibraryLoader>();
    platform.taskScheduler = lifelong<Win32TaskScheduler>();

    // 2.-4. Settings, backend, inventory.
    loadSettings();
    initBackend();
    reconcileFansAtStart();
    collectInventory();

    // 5. Per-monitor DPI awareness where this Windows has it; otherwise the manifest's stands.
    enablePerMonitorDpiAwareness();
    taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

    // 6. The window class.
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(APP_ICON_RESOURCE_ID));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = WINDOW_CLASS_NAME;
    wc.hIconSm = icon;
    RegisterClassExW(&wc);

    // 7.-9. Scale without a window, title, window.
    queryDpiScale();
    const std::wstring title = mainWindowTitle(appState.identity);
    const WindowSize size = initialWindowSize(appState.dpiScale);
    HWND window = CreateWindowExW(0, WINDOW_CLASS_NAME, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, size.width, size.height, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        // Without a window nothing could ever end the message loop: the process would linger
        // unseen, holding the mutex that turns every later start away. The fans have not been
        // commanded yet, so there is nothing to hand back.
        return 1;
    }
    appState.mainWindow = reinterpret_cast<WindowHandle>(window);
    // An elevated process does not hear the shell's broadcast unless it lets it through.
    if (taskbarCreatedMessage != 0)
        ChangeWindowMessageFilterEx(window, taskbarCreatedMessage, MSGFLT_ALLOW, nullptr);

    // 10. From now on the window's own scale; the size follows it and the work area.
    queryDpiScale();
    fitToWorkArea(window);

    // 11. The tray icon.
    addTrayIcon();

    // 12. Shown unless started for the tray.
    if (!startsHidden(commandLine)) {
        ShowWindow(window, SW_SHOWDEFAULT);
        UpdateWindow(window);
    }

    // 13. The message loop. GetMessageW's -1 (an invalid call) ends it too rather than
    // spinning on the error for ever.
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A loop that ended without the exit sequence (an invalid call, a stray WM_QUIT) leaves
    // nobody in control of the fans: give them back whatever the options say.
    if (!appState.safety.exitSequenceRan)
        emergencyFanHandBack();
    // 14. The mutex closes with its owner; the state (backend included) at static destruction.
    return static_cast<int>(message.wParam);
}
