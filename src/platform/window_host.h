#pragma once

#include "base/color.h"
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

// A picture for the notification-area icon: size x size pixels, rows from the top, each
// 0xAARRGGBB. Alpha is 0 (the taskbar shows through) or 255.
struct TrayIconImage {
    std::uint32_t size = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const TrayIconImage&) const = default;
};

// The symbol a balloon notification carries.
enum class TrayBalloonKind : std::uint8_t { Info, Warning, Error };

// One balloon notification over the tray icon.
struct TrayBalloon {
    std::wstring title; // at most 63 characters reach the shell
    std::wstring text;  // at most 255
    TrayBalloonKind kind = TrayBalloonKind::Info;
    bool operator==(const TrayBalloon&) const = default;
};

// A click on a balloon notification, as WM_TRAYICON reports it in lParam (NIN_BALLOONUSERCLICK).
inline constexpr std::uint32_t TRAY_EVENT_BALLOON_CLICK = 0x0405;

// The colours Windows asks programs to paint with in its high-contrast mode (0x00BBGGRR).
struct SystemColors {
    Color window = 0;
    Color windowText = 0;
    Color buttonFace = 0;
    Color buttonText = 0;
    Color highlight = 0;
    Color highlightText = 0;
    Color grayText = 0;
    Color hotTrack = 0;
    bool operator==(const SystemColors&) const = default;
};

struct ContrastMode {
    bool on = false;
    SystemColors colors;
    bool operator==(const ContrastMode&) const = default;
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

    // The notification-area icon (identifier 1, callback message WM_TRAYICON). An add shows
    // the picture last set since the previous delete, else the program's own icon; an add
    // while the icon exists is what a restarted taskbar needs and may be refused otherwise.
    virtual bool trayAdd(const std::wstring& tip) = 0;
    virtual bool trayModify(const std::wstring& tip) = 0;
    virtual bool trayDelete() = 0;
    // The small-icon size in pixels at the taskbar's DPI (16 at 100 %).
    virtual std::uint32_t trayIconSize() = 0;
    // Shows image as the icon, or the program's own icon for nullptr. False, and the icon as it
    // was, before the icon was added or when the picture cannot be made.
    virtual bool traySetIcon(const TrayIconImage* image) = 0;
    // A balloon notification from the icon, held back by the shell while the user does not
    // want to be disturbed. False before the icon was added. A click on it arrives as
    // WM_TRAYICON with TRAY_EVENT_BALLOON_CLICK.
    virtual bool trayNotify(const TrayBalloon& balloon) = 0;
    // Shows the popup menu at the cursor; a chosen entry arrives later as WM_COMMAND.
    virtual void trackPopupMenu(const std::vector<MenuEntry>& entries) = 0;

    // Whether Windows' high-contrast mode is on, and its colours.
    virtual ContrastMode contrastMode() = 0;
    // A tooltip with text at the client point (x, y) in the window's pixels, until
    // hideTooltip; a second call replaces it.
    virtual void showTooltip(const std::wstring& text, int x, int y) = 0;
    virtual void hideTooltip() = 0;
};
