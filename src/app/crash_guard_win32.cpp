#include "app/crash_guard_win32.h"

#include "hardware/fan_handback.h"

#include <windows.h>

#include <exception>

namespace {

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*) {
    emergencyFanHandBack();
    // Ends the process with the exception code; without it Wine's debugger would keep a dead
    // process around, and Windows would show its dialog while the fans stay forced.
    return EXCEPTION_EXECUTE_HANDLER;
}

void onTerminate() {
    endProcessAfterCrash();
}

} // namespace

void installCrashGuard() {
    SetUnhandledExceptionFilter(onUnhandledException);
    std::set_terminate(onTerminate);
}

void endProcessAfterCrash() {
    emergencyFanHandBack();
    // No static destructors, no atexit handlers: the state may be what failed.
    TerminateProcess(GetCurrentProcess(), CRASH_EXIT_CODE);
    __builtin_unreachable();
}
