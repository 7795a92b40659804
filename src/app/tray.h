#pragma once

#include "app/app_state.h"
#include "platform/window_host.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The tooltip buffer of the notification-area record, terminator included.
inline constexpr std::size_t TRAY_TIP_CAPACITY = 128;

// Mouse messages the tray icon reports in lParam of WM_TRAYICON.
inline constexpr std::uint32_t TRAY_EVENT_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t TRAY_EVENT_RBUTTONUP = 0x0205;

// The live tooltip: CPU, GPU and power on the first line ("--" for a value that is lost or has
// no sensor, "~" before an estimate), then one line per fan with its measured speed ("--" for
// a fan whose speed is not measured). Fan lines that would not fit the tip buffer are left
// out whole; the first line is cut to it.
std::wstring formatTrayTooltip(const Readings& readings);

// Adds the icon with the initialising tip and the program's own icon, and reads the taskbar's
// theme; from then on the tick refreshes the tooltip and the icon.
void addTrayIcon(TrayIconState& icon);
// Puts the live tip into the icon record and sends it when it changed. The caller checks that
// the icon was added.
void refreshTrayTooltip(TrayIconState& icon, const Readings& readings);
// Shows the control temperature in the icon (or the program's icon when there is none or the
// user turned it off), drawn for the taskbar's icon size and theme. Sent only when the number,
// its colour or the size changed; a refused picture is tried again next time. Nothing before
// the icon was added.
void refreshTrayIcon(TrayIconState& icon, const Settings& settings,
                     const RegulationState& regulation);
// Reads the taskbar's theme again and redraws the icon for it (a setting or the DPI changed).
void onTrayLookChanged(AppState& app);
void removeTrayIcon(TrayIconState& icon);

// The tray menu's entries with the check marks of this moment. The autostart entry is
// unchecked and disabled while the logon task has not been looked up yet.
std::vector<MenuEntry> buildTrayMenu(const Settings& settings);
// Brings the main window to the foreground (also while hidden, so the menu closes when the
// user clicks elsewhere) and shows the menu at the cursor.
void showTrayMenu(const Settings& settings);
// A mouse message from the icon: a double click opens the window, a click on a notification
// opens it at the dashboard, a right-button release shows the menu; everything else is
// ignored.
void handleTrayEvent(AppState& app, std::uint32_t mouseMessage);

// The option "Temperatur im Tray-Symbol anzeigen" switched: saved, and the icon redrawn.
void toggleTrayTemperature(AppState& app);
