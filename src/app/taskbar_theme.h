#pragma once

// Whether the taskbar is light: "SystemUsesLightTheme" under the user's
// "Software\Microsoft\Windows\CurrentVersion\Themes\Personalize" is a nonzero REG_DWORD. Dark
// (false) when the value is missing, of another type or size, or the registry cannot be read:
// the taskbar of every Windows version before the choice existed is dark.
bool taskbarUsesLightTheme();
