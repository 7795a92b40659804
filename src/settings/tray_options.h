#pragma once

#include "platform/registry.h"
#include "settings/settings.h"

#include <cstdint>

// The range of the alarm temperature and the step of its buttons, in °C.
inline constexpr std::int32_t ALARM_CELSIUS_MIN = 60;
inline constexpr std::int32_t ALARM_CELSIUS_MAX = 105;
inline constexpr std::int32_t ALARM_CELSIUS_STEP = 5;

// Takes the tray's values from the open settings key. Each is taken only as a four-byte
// REG_DWORD, the alarm only within its range; anything else keeps the current value.
void loadTrayOptions(const RegistryKey& key, TrayOptions& options);

// Writes the tray's values as REG_DWORD: "TrayTemperature" and "Notifications" as 0 or 1,
// "AlarmTemperature" in °C.
void saveTrayOptions(RegistryKey& key, const TrayOptions& options);

// The alarm temperature one step up (steps > 0) or down, kept within its range.
std::int32_t steppedAlarmCelsius(std::int32_t celsius, int steps);
