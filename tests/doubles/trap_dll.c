/* A library that must never be loaded: built under the vendor libraries' names and planted
   where a user could write (beside the program, in the current directory). Loading it appends
   its own path to C:\planted_dll_loaded.txt, which the tests look for. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 2] = {0};
    DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    path[n++] = L'\n';
    HANDLE mark = CreateFileW(L"C:\\planted_dll_loaded.txt", FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(mark, path, n * sizeof(wchar_t), &written, NULL);
        CloseHandle(mark);
    }
    return TRUE;
}
