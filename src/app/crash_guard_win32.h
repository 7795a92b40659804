#pragma once

// What the process does when it can no longer go on: whatever went wrong, the fans are handed
// back to the firmware (through the prepared requests, which need no heap and no lock) before
// the process ends. The "reset on exit" option does not apply here: it governs a deliberate
// exit only.

// Exit code of a process ended by a C++ exception or std::terminate.
inline constexpr unsigned CRASH_EXIT_CODE = 3;

// The unhandled-exception filter and the std::terminate handler; call once, first thing.
void installCrashGuard();

// For the exception barrier around the window procedure: hand back and end the process.
[[noreturn]] void endProcessAfterCrash();
