#pragma once

#include "base/rect.h"
#include "hardware/hardware_controller.h"
#include "hardware/hardware_records.h"
#include "inventory/inventory_records.h"
#include "regulation/control_mode.h"
#include "regulation/fan_curve.h"
#include "ui/history.h"
#include "ui/hit_region.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An opaque window handle; only the Win32 layer turns it back into an HWND.
using WindowHandle = std::uintptr_t;

// The core's view of the notification-area icon; the Win32 layer owns the real record.
struct TrayIconState {
    bool added = false; // false until the icon was added to the notification area
    std::wstring tip;
};

// The regulation's fail-safe bookkeeping: what it needs to notice that the fans are no longer
// under control (see regulation/fan_guard.h).
struct FanSafetyState {
    std::int32_t failedTicks = 0; // consecutive ticks whose reads or fan commands failed
    bool commandsFailing = false; // the last fan command failed; cleared by one that succeeds
    std::int32_t cpuAge = -1;     // ticks since the value was refreshed; -1: never measured
    std::int32_t gpuAge = -1;
    std::int32_t powerAge = -1;
    std::int32_t hotTicks = 0; // consecutive ticks at or above the over-temperature limit
    std::int32_t ticksSinceRecommand = 0;
    std::array<double, 4> commandedRpm = {-1.0, -1.0, -1.0, -1.0}; // < 0: not commanded
    bool suspended = false; // between a suspend notice and the resume: command nothing
    bool curveFailureShown = false;
    bool exitSequenceRan = false;
    // The backend's fans as constructed, before any hardware answered: the ranges that replace
    // an impossible one read from the hardware.
    std::vector<FanChannel> defaultFans;
};

// The one record of the program's state. Only the user-interface thread touches it.
struct AppState {
    // Shell
    WindowHandle mainWindow = 0;
    TrayIconState trayIcon;

    // Options (persisted)
    bool resetFansOnExit = true;
    bool startMinimized = true;
    bool linkSliders = true;
    bool autostartEnabled = false;

    // Regulation
    ControlMode mode = ControlMode::SystemAuto; // persisted, never read back
    std::int32_t curveSource = 0;               // 0 max(CPU, GPU), 1 CPU, 2 GPU
    FanCurve curve = DEFAULT_CURVE;
    std::array<double, 2> manualRpm = {2200.0, 2000.0};
    std::array<double, 4> lastCurveRpm = {-1.0, -1.0, -1.0, -1.0}; // <= 0: nothing written yet
    std::wstring noticeText = L"Ventrasol initialisiert...";
    bool noticeIsError = false;

    // Readings, shown until the first poll replaces them
    double cpuTemp = 42.0;
    double gpuTemp = 38.0;
    double powerWatts = 25.0;
    std::vector<FanChannel> fanList;
    std::vector<SensorReading> sensorList;
    // A summary value the backend has not refreshed for several ticks: shown as "--" and no
    // longer used to drive the fans.
    bool cpuTempLost = false;
    bool gpuTempLost = false;
    bool powerLost = false;
    // The hardware has not answered for several ticks in a row: the status shows an error.
    bool driverFault = false;
    FanSafetyState safety;
    // What the backend says of its last summary values (stand-ins, estimates).
    ReadingQuality readingQuality;
    // One sample per tick for the dashboard's chart, and its lines as last drawn (made at the
    // first paint of the chart; 12 KB that a program kept in the tray never needs).
    History history;
    std::unique_ptr<HistoryLines> historyLines;

    // Backend
    std::unique_ptr<IHardwareController> controller;
    // Why the driver beside the program was not installed, or a warning about where it lies;
    // empty when there is nothing to say.
    std::wstring driverNote;
    SystemIdentity identity;

    // Inventory, collected once at start-up
    std::vector<InventorySection> inventory;

    // User interface
    float dpiScale = 1.0f;
    std::vector<HitRegion> hitRegions; // of the last completed paint, in drawing order
    std::array<Rect, 2> sliderRects = {};
    Rect chartRect;
    std::int32_t activeTab = 0;
    std::int32_t dragTarget = -1; // nothing dragged
};

extern AppState appState;

// Back to the start-up values (destroys the backend); tests call it between cases.
void resetAppState();
