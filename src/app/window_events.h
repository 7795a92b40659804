#pragma once

#include "app/app_state.h"
#include "base/rect.h"

#include <chrono>
#include <cstdint>

// What the main window does with each message. The Win32 window procedure only decodes the
// message and calls one of these; every effect on the window goes through platform.windowHost.

// WM_CREATE: the once-a-second tick timer. Nothing else is created here.
void onWindowCreated();

// WM_COMMAND with the low word of wParam: the tray menu's commands and the mode menus of the
// options tab. Other identifiers are swallowed: they do nothing.
void handleCommand(AppState& app, std::uint32_t id);

// WM_TIMER: the tick timer runs one tick and repaints; any other timer is ignored.
void onTimer(AppState& app, std::uintptr_t timerId);

// WM_DPICHANGED: rescale, move to the rectangle Windows suggests (when it sent one), repaint.
void onDpiChanged(AppState& app, const Rect* suggested);

// WM_SETTINGCHANGE and WM_SYSCOLORCHANGE (and once at creation): whether Windows' high-contrast
// mode is on and its colours are asked again; a change repaints the window.
void onDisplaySettingsChanged(AppState& app);

// WM_SETFOCUS / WM_KILLFOCUS: the focus ring shows only while the window has the keyboard.
void onWindowFocus(AppState& app, bool focused);

// WM_UPDATEUISTATE: Windows says whether focus cues are shown (they are once the keyboard was
// used, or always where the user chose so).
void onFocusCues(AppState& app, bool shown);

// The shell announced a new taskbar (Explorer restarted): the icon it knew is gone, so add it
// again with the tip and the picture it showed, provided the program had added one and has not
// removed it.
void onTaskbarCreated(const TrayIconState& icon);

// How long the exit keeps trying to hand the fans back when the hardware refuses.
inline constexpr std::chrono::milliseconds EXIT_HANDBACK_RETRY{1000};

// WM_DESTROY: stop the tick, hand the fans back when the user asked for it, remove the tray
// icon, end the message loop with exit code 0. Nothing is saved.
void runExitSequence(AppState& app);

// WM_ENDSESSION: the exit sequence when the session really ends, nothing when it goes on.
void onSessionEnd(AppState& app, bool ending);
