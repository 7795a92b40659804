#pragma once

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

// True when "--minimized" or "-m" occurs anywhere in the command line, as plain
// case-sensitive substrings (so any word that begins with "-m" counts too).
bool startsHidden(const wchar_t* commandLine);

// The design size times the scale, each product in single precision rounded to nearest.
WindowSize initialWindowSize(float dpiScale);
