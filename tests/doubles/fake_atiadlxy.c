/* A stand-in for AMD's display library under its fallback name: the program only loads and
 * frees it, so it needs nothing but to exist. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
