#pragma once

#include "base/rect.h"
#include "hardware/hardware_records.h"

#include <string>

// Fixed identities of the running program, shared by the entry point and the tests that drive
// it from outside.
inline constexpr const wchar_t* INSTANCE_MUTEX_NAME = L"Global\\Ventrasol_Universal_Mutex";
inline constexpr const wchar_t* WINDOW_CLASS_NAME = L"VentrasolUniversalClass";

// The outer window size at scale 1.0: a portrait window.
inline constexpr int DESIGN_WIDTH = 740;
inline constexpr int DESIGN_HEIGHT = 1080;

struct WindowSize {
    int width = 0;
    int height = 0;
};

// "Ventrasol — <product> Thermal & Fan Control [Universal Windows]".
std::wstring mainWindowTitle(const SystemIdentity& identity);

// The design size times the scale, each product in single precision rounded to nearest.
WindowSize initialWindowSize(float dpiScale);

// The smallest client area at which every tab still works (the content keeps its minimum
// width; the dashboard's manual controls and the live-status block stay visible), in layout
// pixels.
inline constexpr int MIN_CLIENT_WIDTH = 581;
inline constexpr int MIN_CLIENT_HEIGHT = 520;

// Where the window opens: window (as created, screen coordinates) shrunk to the work area of
// its monitor when larger, never below minimum, then moved so that it lies inside the work
// area (its top-left corner first, when it cannot lie inside whole).
Rect fitWindowToWorkArea(const Rect& window, const Rect& workArea, WindowSize minimum);
