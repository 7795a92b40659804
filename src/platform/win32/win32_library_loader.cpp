#include "platform/win32/win32_library_loader.h"

#include <windows.h>

LibraryHandle Win32LibraryLoader::load(const std::wstring& name) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryW(name.c_str()));
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
