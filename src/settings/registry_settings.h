#pragma once

#include "settings/settings.h"

// The user's settings key under HKEY_CURRENT_USER.
inline constexpr wchar_t SETTINGS_KEY_PATH[] = L"Software\\Ventrasol";

// The size of the stored curve: four points of two little-endian doubles.
inline constexpr unsigned CURVE_POINTS_BYTES = 64;

// Reads every stored setting that passes its check into settings; whatever is missing or
// rejected keeps its current value. The autostart is not stored here (see autostart.h). False
// when the settings key cannot be opened (first run, or no registry installed).
bool loadSettings(Settings& settings);

// Writes all values at once (the eight of the program's first versions, then the tray's, then the
// automation options), creating the key when needed. False when the key cannot be created or
// closed; single write failures are not reported.
bool saveSettings(const Settings& settings);
