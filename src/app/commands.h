#pragma once

#include <cstdint>

// Fixed identifiers shared by the window procedure, the tray and the start-up code. Plain
// numbers, so the portable core can use them without <windows.h>.

// The once-a-second window timer that drives the tick (delivered as WM_TIMER).
inline constexpr std::uint32_t TICK_TIMER_ID = 1001;
inline constexpr std::uint32_t TICK_PERIOD_MS = 1000;

// Menu commands of the tray, arriving as WM_COMMAND.
inline constexpr std::uint32_t CMD_OPEN_DASHBOARD = 2001;
inline constexpr std::uint32_t CMD_MODE_SYSTEM_AUTO = 2002;
inline constexpr std::uint32_t CMD_MODE_CURVE = 2003;
inline constexpr std::uint32_t CMD_MODE_QUIET = 2004;
inline constexpr std::uint32_t CMD_MODE_BALANCED = 2005;
inline constexpr std::uint32_t CMD_MODE_MAX = 2006;
inline constexpr std::uint32_t CMD_MODE_MANUAL = 2007;
inline constexpr std::uint32_t CMD_TOGGLE_AUTOSTART = 2008;
inline constexpr std::uint32_t CMD_TOGGLE_START_MINIMIZED = 2009;
inline constexpr std::uint32_t CMD_EXIT = 2010;
inline constexpr std::uint32_t CMD_TOGGLE_TRAY_TEMPERATURE = 2021;

// The mode menus of the options tab: the mode for battery power (first + mode number) and for
// mains power.
inline constexpr std::uint32_t CMD_BATTERY_MODE_FIRST = 2101;
inline constexpr std::uint32_t CMD_MAINS_MODE_FIRST = 2111;
