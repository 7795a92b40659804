#pragma once

// What the process does when it can no longer go on: whatever went wrong, the fans are handed
// back to the firmware (through the prepared requests, which need no heap and no lock) before
// the process ends. The "reset on exit" option does not apply here: it governs a deliberate
// exit only. Some endings no program can catch: a fail-fast, or "End task" in the Task
// Manager; the next start hands back the fans such a run left forced.

// Exit code of a process ended by a C++ exception or std::terminate.
inline constexpr unsigned CRASH_EXIT_CODE = 3;

// The stack kept in reserve for the hand-back on a thread whose stack overflowed.
inline constexpr unsigned long CRASH_STACK_RESERVE = 64 * 1024;

// The unhandled-exception filter and the std::terminate handler, and the reserve for the
// calling thread; call once, first thing.
void installCrashGuard();

// The reserve for another thread of the program that runs while fans may be forced; call at
// the start of that thread.
void guardThisThread();

// For the exception barrier around the window procedure: hand back and end the process.
[[noreturn]] void endProcessAfterCrash();
