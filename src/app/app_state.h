#pragma once

// The app folder is the top: the entry point, the window procedure's handlers, the tray, the
// start-up and the moments that replace or pause the backend. It composes every folder's record
// into AppState, whose one instance lives in main_win32.cpp, and may call everything below.

#include "app/measurement_log.h"
#include "app/tray_icon_face.h"
#include "app/tray_notifications.h"
#include "hardware/hardware_records.h"
#include "inventory/inventory_records.h"
#include "regulation/power_source_rule.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"
#include "ui/ui_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The core's view of the notification-area icon; the Win32 layer owns the real record.
struct TrayIconState {
    bool added = false; // false until the icon was added to the notification area
    std::wstring tip;
    TrayIconFace face;         // what the icon shows; no text: the program's own icon
    bool lightTaskbar = false; // the taskbar's theme, read again when a setting changes
};

// The program's state. Only the user-interface thread touches it.
struct AppState {
    TrayIconState trayIcon;
    TrayNotificationState notifications;
    bool exitSequenceRan = false;
    // The second half of the start-up is through: backend, leftover fans, first mode.
    bool startupFinished = false;
    // A mode from the command line, applied once the start-up is through.
    std::optional<ControlMode> startMode;
    // The autostart was switched (by a command) before the logon task's state was known: done
    // once it is.
    bool autostartToggleQueued = false;
    Settings settings;
    RegulationState regulation;
    SystemIdentity identity;
    // Collected once, after the window first appeared.
    std::vector<InventorySection> inventory;
    UiState ui;
    // The power source last read: a change applies the mode chosen for the new one.
    PowerSource powerSource = PowerSource::None;
    MeasurementLog measurementLog;
    // Windows' user-interface language (a LANGID), which the automatic language choice follows.
    std::uint16_t windowsLanguage = 0;
};
