#pragma once

#include "platform/registry.h"
#include "settings/settings.h"

// The automation options under the settings key, written after the eight values that every
// earlier version wrote: "PowerSourceSwitch", "BatteryProfile", "MainsProfile" and "CsvLog",
// each a REG_DWORD.

// A value that is missing, longer than four bytes or out of range keeps the current field.
void loadAutomationValues(const RegistryKey& key, AutomationSettings& automation);
void saveAutomationValues(RegistryKey& key, const AutomationSettings& automation);
