#include "app/crash_guard_win32.h"

#include "hardware/fan_handback.h"

#include <windows.h>

#include <atomic>
#include <exception>

namespace {

// The thread that is handing the fans back after a crash; 0 while none is.
std::atomic<DWORD> crashingThread{0};

// Hands the fans back once. A fault inside the hand-back itself would enter here again on the
// same thread: that ends the process at once instead of recursing. A second thread that
// crashes meanwhile waits for the first, which ends the process.
void handBackOnce() {
    DWORD none = 0;
    const DWORD self = GetCurrentThreadId();
    if (!crashingThread.compare_exchange_strong(none, self)) {
        if (none == self)
            TerminateProcess(GetCurrentProcess(), CRASH_EXIT_CODE);
        Sleep(INFINITE);
    }
    emergencyFanHandBack();
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*) {
    handBackOnce();
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
    guardThisThread();
}

void guardThisThread() {
    // After a stack overflow the filter runs on what is left of the stack; the reserve makes
    // sure the hand-back has room.
    ULONG reserve = CRASH_STACK_RESERVE;
    SetThreadStackGuarantee(&reserve);
}

void endProcessAfterCrash() {
    handBackOnce();
    // No static destructors, no atexit handlers: the state may be what failed.
    TerminateProcess(GetCurrentProcess(), CRASH_EXIT_CODE);
    __builtin_unreachable();
}
