#pragma once

#include "app/app_state.h"
#include "platform/window_host.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The tooltip buffer of the notification-area record, terminator included.
inline constexpr std::size_t TRAY_TIP_CAPACITY = 128;
inline constexpr wchar_t TRAY_INITIAL_TIP[] = L"Ventrasol — Initialisiere...";

// Mouse messages the tray icon reports in lParam of WM_TRAYICON.
inline constexpr std::uint32_t TRAY_EVENT_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t TRAY_EVENT_RBUTTONUP = 0x0205;

// The live tooltip, cut to the tip buffer.
std::wstring formatTrayTooltip(double rpm, double cpu, double gpu, double watts);

// Adds the icon with the initialising tip; from then on the tick refreshes the tooltip.
void addTrayIcon(TrayIconState& icon);
// Puts the live tip into the icon record and sends it. The caller checks that the icon was
// added.
void refreshTrayTooltip(TrayIconState& icon, double rpm, double cpu, double gpu, double watts);
void removeTrayIcon(TrayIconState& icon);

// The thirteen entries of the tray menu with the check marks of this moment. The autostart
// entry is unchecked and disabled while the logon task has not been looked up yet.
std::vector<MenuEntry> buildTrayMenu(const Settings& settings);
// Brings the main window to the foreground (also while hidden, so the menu closes when the
// user clicks elsewhere) and shows the menu at the cursor.
void showTrayMenu(const Settings& settings);
// A mouse message from the icon: a double click opens the window, a right-button release the
// menu; everything else is ignored.
void handleTrayEvent(const Settings& settings, std::uint32_t mouseMessage);
