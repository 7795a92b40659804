#pragma once

#include "base/rect.h"

#include <cstdint>
#include <string>
#include <vector>

// One entry of the tray's popup menu; a separator has id 0 and no text.
struct MenuEntry {
    std::uint32_t id = 0;
    std::wstring text;
    bool checked = false;
    bool separator = false;
    bool disabled = false; // shown greyed, cannot be chosen
    bool operator==(const MenuEntry&) const = default;
};

// The tray icon's callback message (WM_USER + 100) and its identifier.
inline constexpr std::uint32_t WM_TRAYICON = 1124;
inline constexpr std::uint32_t TRAY_ICON_ID = 1;

// The program's icon group, used for the window class and the tray.
inline constexpr std::uint32_t APP_ICON_RESOURCE_ID = 101;

// What the core asks of the main window and the notification area. The Win32 side works on the
// window it was made for; results that only present state are ignored by the callers.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Marks the whole client area for repainting; erase asks for a background erase too.
    virtual void invalidate(bool erase) = 0;
    virtual void setCapture() = 0;
    virtual void releaseCapture() = 0;
    virtual void setTimer(std::uint32_t id, std::uint32_t periodMs) = 0;
    virtual void killTimer(std::uint32_t id) = 0;
    // ShowWindow(SW_SHOW), ShowWindow(SW_RESTORE), SetForegroundWindow, in that order.
    virtual void showMainWindow() = 0;
    virtual void setForeground() = 0;
    // Moves and sizes the window (screen coordinates) without changing z-order or activation.
    virtual void setWindowRect(const Rect& rect) = 0;
    virtual void destroyWindow() = 0;
    virtual void postQuit(int exitCode) = 0;
    // The window's DPI through GetDpiForWindow when user32 has it; 0 when it cannot be asked.
    virtual std::uint32_t windowDpi() = 0;

    // The notification-area icon (identifier 1, callback message WM_TRAYICON).
    virtual bool trayAdd(const std::wstring& tip) = 0;
    virtual bool trayModify(const std::wstring& tip) = 0;
    virtual bool trayDelete() = 0;
    // Shows the popup menu at the cursor; a chosen entry arrives later as WM_COMMAND.
    virtual void trackPopupMenu(const std::vector<MenuEntry>& entries) = 0;
};
