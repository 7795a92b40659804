#pragma once

#include "app/app_state.h"
#include "app/autostart_lookup.h"

#include <chrono>
#include <cstdint>
#include <functional>

// The start-up comes in two halves, so that the window (or, started for the tray, the icon) is
// there before anything slow: the settings and the machine's identity before the window, the
// rest once it shows. The logon task is looked up on a thread of its own, as the Task Scheduler
// can take seconds to answer while Windows is still starting.

// Posted by the entry point right after the window was shown, and by the lookup's thread when
// the logon task's state is known (WM_APP + 1, + 2).
inline constexpr std::uint32_t WM_FINISH_STARTUP = 0x8001;
inline constexpr std::uint32_t WM_AUTOSTART_KNOWN = 0x8002;

// How long the exit waits for the task's state when a switch of the autostart is still to be
// carried out.
inline constexpr std::chrono::milliseconds AUTOSTART_ANSWER_AT_EXIT{3000};

// Before the window: the stored settings, with the autostart marked as not known yet, and the
// machine's identity for the title.
void beginStartup(AppState& app);

// After the window appeared: the backend (driver service, WMI, one tick, the fans an earlier
// run left forced handed back before any mode is applied), a mode chosen meanwhile, the mode
// of the command line or else of the power source, and the inventory; then the lookup of the logon
// task is started, whose thread calls threadStart first and whenDone once the answer is in.
void finishStartup(AppState& app, AutostartLookup& lookup, std::function<void()> whenDone,
                   void (*threadStart)() = nullptr);

// Takes the lookup's answer into the settings and carries out a switch of the autostart asked
// for while it was pending. False, changing nothing, while there is no answer yet.
bool takeAutostartAnswer(AppState& app, AutostartLookup& lookup);
