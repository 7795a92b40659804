/* Loaded into the running program by the end-to-end driver: "arm" subclasses the main window so
   that one private message recurses until the window thread's stack overflows, the way a
   runaway recursion in the program's own code would. */
#include <windows.h>

#define OVERFLOW_MESSAGE (WM_APP + 0x3F0)

static WNDPROC previous;

/* Deeper until the stack runs out; the depth limit is never reached, but keeps the compiler
   from calling the recursion endless. */
static __attribute__((noinline)) LRESULT recurse(volatile char* caller, unsigned depth) {
    volatile char frame[512];
    frame[0] = caller ? caller[0] : 1;
    if (depth == 0xFFFFFFFFu)
        return frame[0];
    return recurse(frame, depth + 1) + frame[1];
}

static LRESULT CALLBACK hookedProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == OVERFLOW_MESSAGE)
        return recurse(NULL, 0);
    return CallWindowProcW(previous, window, message, w, l);
}

__declspec(dllexport) DWORD WINAPI arm(LPVOID window) {
    previous = (WNDPROC)SetWindowLongPtrW((HWND)window, GWLP_WNDPROC, (LONG_PTR)hookedProcedure);
    return previous != NULL;
}
