#pragma once

#include "base/notice.h"
#include "settings/settings.h"

#include <cstddef>

// The value under the user's Run key by which earlier versions started with Windows. It never
// worked for an elevated program; it is only migrated to the logon task and removed.
inline constexpr wchar_t RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t RUN_VALUE_NAME[] = L"Ventrasol";
// The largest Run value that still counts as present.
inline constexpr unsigned RUN_VALUE_MAX_BYTES = 1024;

// Whether the logon task exists and its action starts this program (compared without regard
// to case).
bool readAutostartState();

// A Run value left by an earlier version means autostart was on, so the task is registered in
// its place and the value removed. When the task cannot be registered the value stays, and the
// next start tries again.
void migrateRunValue(Settings& settings);

// At start-up, after the settings are loaded: reads whether the task starts this program, then
// migrates an old Run value (the task takes the stored start-minimised option). Talks to the
// Task Scheduler, which can take seconds while Windows is still starting: the program runs it
// on a thread of its own, on a copy of the settings.
void loadAutostartState(Settings& settings);

// Registers or deletes the logon task, removes any Run value, sets the notice, and saves all
// settings. A task that cannot be registered leaves autostart off with an error notice.
void setAutostart(Settings& settings, Notice& notice, bool enable);

// Inverts the start-minimised option; while autostart is on the task is registered again at
// once so its action carries "--minimized" exactly when the option is now on. Saves either way.
void toggleStartMinimized(Settings& settings, Notice& notice);
