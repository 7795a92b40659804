#include "platform/win32/win32_library_loader.h"

#include <windows.h>

// Vendor libraries are found only where their drivers install them, even in a process that did
// not narrow its default search (a user-writable folder must never supply code to it).
LibraryHandle Win32LibraryLoader::load(const std::wstring& name) {
    return reinterpret_cast<LibraryHandle>(
        LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

LibrarySymbol Win32LibraryLoader::symbol(LibraryHandle module, const char* name) {
    if (!module)
        return nullptr;
    return reinterpret_cast<LibrarySymbol>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

void Win32LibraryLoader::free(LibraryHandle module) {
    if (module)
        FreeLibrary(reinterpret_cast<HMODULE>(module));
}
