// The entry point and the main window's procedure. The procedure only decodes messages; what
// each one means is decided by the portable code in app/ and ui/.
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/console_win32.h"
#include "app/control_recovery.h"
#include "app/crash_guard_win32.h"
#include "app/deferred_startup.h"
#include "app/keyboard_input.h"
#include "app/language_switch.h"
#include "app/mode_handover.h"
#include "app/mode_handover_win32.h"
#include "app/pointer_input.h"
#include "app/startup.h"
#include "app/tray.h"
#include "app/window_events.h"
#include "app/window_paint_win32.h"
#include "app/window_reading.h"
#include "base/texts.h"
#include "hardware/fan_handback.h"
#include "platform/platform.h"
#include "platform/win32/process_hardening.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_task_scheduler.h"
#include "platform/win32/win32_thermal_counter_query.h"
#include "platform/win32/win32_thermal_zone_query.h"
#include "platform/win32/win32_uia_provider.h"
#include "platform/win32/win32_window_host.h"
#include "settings/registry_settings.h"
#include "ui/accessible_tree.h"
#include "ui/dpi_scale.h"
#include "ui/paint_window.h"

#include <windows.h>
#include <windowsx.h>

#include <chrono>
#include <cstdint>
#include <new>
#include <utility>

namespace {

// The program's state: the one instance, used by the window procedure and the entry point only.
AppState appState;
PaintedWindow paintedWindow;
AutostartLookup autostartLookup;

// The seams are made once and never destroyed: the backend's destructor closes its device and
// frees its libraries through them, at the end of wWinMain or, when the start failed, at static
// destruction in an order towards other statics that nothing fixes. They own nothing that the
// end of the process does not release.
template <typename T, typename... Args> T* lifelong(Args&&... args) {
    alignas(T) static unsigned char storage[sizeof(T)];
    return ::new (static_cast<void*>(storage)) T(std::forward<Args>(args)...);
}

UINT taskbarCreatedMessage = 0;

// The screen reader's side: its provider answers from other threads and reaches the window
// through these two messages (a fresh tree, an element's action).
constexpr UINT WM_ACCESSIBLE_REFRESH = WM_APP + 0x40;
constexpr UINT WM_ACCESSIBLE_ACTION = WM_APP + 0x41;
Win32UiaProvider* accessibility = nullptr;
LiveAnnouncements liveAnnouncements(LIVE_ANNOUNCE_INTERVAL_MS);
bool trackingPointer = false;

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Whether a message may change what the window shows: its input, its timer, its commands.
bool changesState(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_COMMAND:
    case WM_TIMER:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_POWERBROADCAST:
    case WM_DPICHANGED:
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_FINISH_STARTUP:
    case WM_AUTOSTART_KNOWN:
    case WM_ACCESSIBLE_ACTION:
        return true;
    case WM_MOUSEMOVE:
        return appState.ui.dragTarget != DRAG_NONE;
    default:
        return false;
    }
}

// After a message that may have changed what the window shows: the provider's tree is out of
// date, and a listening screen reader hears what changed. Nothing more while none listens.
void accessibleChange(HWND window, UINT message) {
    if (accessibility == nullptr)
        return;
    if (message == WM_PAINT || message == WM_SIZE) {
        accessibility->markStale();
        return;
    }
    if (!changesState(message))
        return;
    accessibility->markStale();
    if (!accessibility->listening())
        return;
    std::vector<AccessibleElement> tree = readWindowTree(window, appState, paintedWindow);
    const std::vector<std::int32_t> live = liveAnnouncements.due(tree, nowMs());
    accessibility->publishWithEvents(std::move(tree), appState.ui.dpiScale, live);
}

// Asks Windows to say when the pointer rests, and while a tooltip shows, when it leaves the
// window. Windows (and Wine) watch for both with a timer: a pointer that lies still over the
// window costs nothing once its rest was reported and no tooltip shows.
void trackPointer(HWND window, bool leave) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | (leave ? TME_LEAVE : 0u);
    track.hwndTrack = window;
    track.dwHoverTime = HOVER_DEFAULT;
    trackingPointer = TrackMouseEvent(&track) != FALSE;
}

// The windows of the session share one keyboard-cue state: the program's first key shows the
// focus ring, and Windows is told so.
void showFocusCues(HWND window) {
    PostMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

int layoutX(LPARAM lParam) {
    return toLayoutPixel(GET_X_LPARAM(lParam), appState.ui.dpiScale);
}
int layoutY(LPARAM lParam) {
    return toLayoutPixel(GET_Y_LPARAM(lParam), appState.ui.dpiScale);
}

// The outer size of a client area of the minimum layout size at the window's scale.
POINT minimumTrackSize(HWND window) {
    RECT r{0, 0, toDevicePixel(MIN_CLIENT_WIDTH, appState.ui.dpiScale),
           toDevicePixel(MIN_CLIENT_HEIGHT, appState.ui.dpiScale)};
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
    const WindowSize design = initialWindowSize(appState.ui.dpiScale);
    const POINT minimum = minimumTrackSize(window);
    const Rect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                    monitor.rcWork.bottom};
    const Rect fitted = fitWindowToWorkArea(
        {current.left, current.top, current.left + design.width, current.top + design.height}, work,
        {minimum.x, minimum.y});
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool invalidateChangedPart(HWND window) {
    return invalidateChangedArea(window, appState, paintedWindow);
}

LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
        onTaskbarCreated(appState.trayIcon);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        // The timer must belong to this window, and CreateWindowExW has not returned yet.
        if (platform.windowHost == nullptr)
            platform.windowHost = lifelong<Win32WindowHost>(
                reinterpret_cast<std::uintptr_t>(window), &invalidateChangedPart);
        onWindowCreated();
        if (accessibility == nullptr)
            accessibility =
                lifelong<Win32UiaProvider>(window, WM_ACCESSIBLE_REFRESH, WM_ACCESSIBLE_ACTION);
        {
            // Windows' setting "always show keyboard cues"; otherwise the first key shows them.
            BOOL cues = FALSE;
            SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
            appState.ui.focusCues = cues != FALSE;
        }
        onDisplaySettingsChanged(appState);
        return 0;
    case WM_FINISH_STARTUP:
        // The lookup's thread only queues a message; the answer is taken on this thread.
        finishStartup(
            appState, autostartLookup, [window] { PostMessageW(window, WM_AUTOSTART_KNOWN, 0, 0); },
            guardThisThread);
        repaint(window);
        return 0;
    case WM_AUTOSTART_KNOWN:
        if (takeAutostartAnswer(appState, autostartLookup))
            repaint(window);
        return 0;
    case WM_DESTROY:
        // A switch of the autostart asked for before the task's state was known is not lost.
        if (appState.autostartToggleQueued && autostartLookup.wait(AUTOSTART_ANSWER_AT_EXIT))
            takeAutostartAnswer(appState, autostartLookup);
        if (accessibility != nullptr)
            accessibility->disconnect();
        runExitSequence(appState);
        return 0;
    case WM_ENDSESSION:
        onSessionEnd(appState, wParam != FALSE);
        return 0;
    case WM_COPYDATA: {
        // Another start of the program hands over a mode. The window leaves the message filter
        // closed: only a process with administrator rights gets this far.
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr)
            return 0;
        const HandoverReply reply =
            receiveModeHandover(appState, data->dwData, data->lpData, data->cbData);
        repaint(window);
        return static_cast<LRESULT>(reply);
    }
    case WM_POWERBROADCAST:
        onPowerEvent(appState, static_cast<std::uint32_t>(wParam));
        repaint(window);
        return TRUE;
    case WM_PAINT:
        paintMainWindow(window, appState, paintedWindow);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
        handleCommand(appState, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        onTimer(appState, static_cast<std::uintptr_t>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        onPointerMove(appState, layoutX(lParam), layoutY(lParam));
        onPointerAway(appState, layoutX(lParam), layoutY(lParam), false);
        if (!trackingPointer)
            trackPointer(window, appState.ui.tooltipShown);
        return 0;
    case WM_MOUSEHOVER:
        trackingPointer = false;
        if (appState.ui.dragTarget == DRAG_NONE)
            restPointer(window, appState, paintedWindow, layoutX(lParam), layoutY(lParam));
        if (appState.ui.tooltipShown)
            trackPointer(window, true); // to take the tooltip away when the pointer leaves
        return 0;
    case WM_MOUSELEAVE:
        trackingPointer = false;
        onPointerAway(appState, 0, 0, true);
        return 0;
    case WM_KEYDOWN: {
        const bool cuesBefore = appState.ui.focusCues;
        const KeyPress press{static_cast<std::uint32_t>(wParam), GetKeyState(VK_CONTROL) < 0,
                             GetKeyState(VK_SHIFT) < 0};
        if (!onKeyDown(appState, press))
            return DefWindowProcW(window, message, wParam, lParam);
        if (!cuesBefore)
            showFocusCues(window);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        onWindowFocus(appState, message == WM_SETFOCUS);
        return 0;
    case WM_UPDATEUISTATE:
        if ((HIWORD(wParam) & UISF_HIDEFOCUS) != 0 && LOWORD(wParam) != UIS_INITIALIZE)
            onFocusCues(appState, LOWORD(wParam) == UIS_CLEAR);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
        onDisplaySettingsChanged(appState);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (accessibility != nullptr && accessibility->onGetObject(wParam, lParam, &result))
            return result;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_ACCESSIBLE_REFRESH:
        if (accessibility != nullptr)
            accessibility->publish(readWindowTree(window, appState, paintedWindow),
                                   appState.ui.dpiScale);
        return 0;
    case WM_ACCESSIBLE_ACTION:
        performAccessibleAction(appState, Win32UiaProvider::actionKey(wParam),
                                Win32UiaProvider::action(wParam),
                                Win32UiaProvider::actionValue(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(appState, layoutX(lParam), layoutY(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info != nullptr)
            info->ptMinTrackSize = minimumTrackSize(window);
        return 0;
    }
    case WM_LBUTTONUP:
        onButtonUp(appState);
        return 0;
    case WM_CAPTURECHANGED:
        onCaptureLost(appState);
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        if (suggested == nullptr) {
            onDpiChanged(appState, nullptr);
        } else {
            const Rect rect{suggested->left, suggested->top, suggested->right, suggested->bottom};
            onDpiChanged(appState, &rect);
        }
        onTrayLookChanged(appState);
        return 0;
    }
    case WM_TRAYICON:
        handleTrayEvent(appState, static_cast<std::uint32_t>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
        // The taskbar's theme or scale may have changed: the icon is drawn for them. The
        // high-contrast mode may have been switched.
        onTrayLookChanged(appState);
        if (message == WM_SETTINGCHANGE)
            onDisplaySettingsChanged(appState);
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// No exception may unwind into user32: it would cross frames that know nothing of C++, and
// the fans would stay as they are. Hand them back and end instead.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        const LRESULT result = handleMessage(window, message, wParam, lParam);
        accessibleChange(window, message);
        return result;
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
    // The language first: even a refused command line is answered in it.
    platform.registry = lifelong<Win32Registry>();
    appState.windowsLanguage = GetUserDefaultUILanguage();
    loadSettings(appState.settings);
    useChosenLanguage(appState);
    // 0. A command line the program does not understand changes nothing, not even the running
    // instance's window.
    const CommandLine arguments = parseCommandLine(commandLine);
    if (arguments.action != CommandLineAction::Start) {
        printToParentConsole(arguments.message);
        return arguments.action == CommandLineAction::Help ? EXIT_DONE : EXIT_USAGE;
    }
    // 1. One instance per machine: a second start hands its mode to the first, or else shows
    // the first one's window.
    InstanceMutex mutex;
    if (mutex.alreadyRunning()) {
        if (!arguments.mode) {
            surfaceRunningInstance();
            return EXIT_DONE;
        }
        const int code = handModeOver(*arguments.mode);
        if (code != EXIT_DONE)
            printToParentConsole(text(TextId::CommandModeNotTaken));
        return code;
    }
    platform.systemInfo = lifelong<Win32SystemInfo>();
    platform.deviceIo = lifelong<Win32DeviceIo>();
    platform.serviceManager = lifelong<Win32ServiceManager>();
    platform.thermalZones = lifelong<Win32ThermalZoneQuery>();
    platform.thermalCounters = lifelong<Win32ThermalCounterQuery>();
    platform.libraryLoader = lifelong<Win32LibraryLoader>();
    platform.taskScheduler = lifelong<Win32TaskScheduler>();
    platform.fileSystem = lifelong<Win32FileSystem>();
    appState.measurementLog.threadStart = guardThisThread;
    // Applied once the start-up has dealt with the backend and the fans.
    appState.startMode = arguments.mode;

    // 2. Settings and the machine's name; the backend, the inventory and the logon task come
    // once the window is there.
    beginStartup(appState);

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
    appState.ui.dpiScale = queryDpiScale();
    const std::wstring title = mainWindowTitle(appState.identity);
    const WindowSize size = initialWindowSize(appState.ui.dpiScale);
    HWND window = CreateWindowExW(0, WINDOW_CLASS_NAME, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, size.width, size.height, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        // Without a window nothing could ever end the message loop: the process would linger
        // unseen, holding the mutex that turns every later start away. The fans have not been
        // commanded yet, so there is nothing to hand back.
        return 1;
    }
    // An elevated process does not hear the shell's broadcast unless it lets it through.
    if (taskbarCreatedMessage != 0)
        ChangeWindowMessageFilterEx(window, taskbarCreatedMessage, MSGFLT_ALLOW, nullptr);

    // 10. From now on the window's own scale; the size follows it and the work area.
    appState.ui.dpiScale = queryDpiScale();
    fitToWorkArea(window);

    // 11. The tray icon.
    addTrayIcon(appState.trayIcon);

    // 12. Shown unless started for the tray; then the rest of the start-up, through the queue,
    // so that the first paint comes before it.
    if (!arguments.hidden) {
        ShowWindow(window, SW_SHOWDEFAULT);
        UpdateWindow(window);
    }
    PostMessageW(window, WM_FINISH_STARTUP, 0, 0);

    // 13. The message loop. GetMessageW's -1 (an invalid call) ends it too rather than
    // spinning on the error for ever.
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A loop that ended without the exit sequence (an invalid call, a stray WM_QUIT) leaves
    // nobody in control of the fans: give them back whatever the options say.
    if (!appState.exitSequenceRan)
        emergencyFanHandBack();
    // 14. The backend (device, sensor thread, libraries) goes while this run still holds the
    // mutex, so a new start never finds them in use; a sensor thread hung in a source call is
    // waited for only briefly. Then the process ends at once, the mutex with it, and no thread
    // of this run outlives it.
    appState.regulation.controller.reset();
    ExitProcess(static_cast<UINT>(message.wParam));
}
