#pragma once

#include "hardware/hardware_records.h"

#include <string>

// A copy without leading and trailing spaces, tabs, carriage returns and line feeds; every other
// character (other control characters, non-breaking spaces) stays.
std::wstring trimWhitespace(const std::wstring& text);

// Who made the machine and whether it is a notebook, from the firmware's description in the
// registry (platform.registry) and the power status (platform.systemInfo). Whatever cannot be
// read keeps its default; nothing is reported.
SystemIdentity detectSystemIdentity();
