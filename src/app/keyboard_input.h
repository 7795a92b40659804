#pragma once

#include "app/app_state.h"

#include <cstdint>

// The keyboard, with Windows' conventions, against the focus stops of the last paint (ui/focus.h).
// A key presses a control through the same functions as a click, so it does exactly what the
// click does.

// Virtual-key codes as WM_KEYDOWN's wParam carries them.
inline constexpr std::uint32_t KEY_TAB = 0x09;
inline constexpr std::uint32_t KEY_ENTER = 0x0D;
inline constexpr std::uint32_t KEY_SPACE = 0x20;
inline constexpr std::uint32_t KEY_PAGE_UP = 0x21;
inline constexpr std::uint32_t KEY_PAGE_DOWN = 0x22;
inline constexpr std::uint32_t KEY_END = 0x23;
inline constexpr std::uint32_t KEY_HOME = 0x24;
inline constexpr std::uint32_t KEY_LEFT = 0x25;
inline constexpr std::uint32_t KEY_UP = 0x26;
inline constexpr std::uint32_t KEY_RIGHT = 0x27;
inline constexpr std::uint32_t KEY_DOWN = 0x28;

struct KeyPress {
    std::uint32_t key = 0;
    bool ctrl = false;
    bool shift = false;
};

// A manual speed moves by this much per arrow key and per page key.
inline constexpr double SLIDER_STEP_RPM = 50.0;
inline constexpr double SLIDER_PAGE_RPM = 500.0;

// WM_KEYDOWN. Tab and Shift+Tab move the focus from stop to stop, round the end; Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp switch tabs from anywhere. On the tab list
// Up/Down choose the tab; in the mode group the arrows move the focus and Space or Enter applies
// the mode; Space toggles a switch; Space or Enter presses a button; a slider moves by 50 RPM
// (arrows), 500 RPM (PageUp/PageDown) or to its fan's ends (Home/End) and is saved like after a
// drag; a curve point moves by 1 °C (Left/Right) or 1 % (Up/Down) within the editor's limits
// and is saved like after a drag. Every key that does something shows the focus ring from then
// on. Returns whether the key was used.
bool onKeyDown(AppState& app, const KeyPress& press);

// Moves the focus to stop (a screen reader asked for it); false when the stop is not on the page.
bool focusStop(AppState& app, const FocusStop& stop);
