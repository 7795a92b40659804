#pragma once

#include <cstdint>
#include <string>

// An opaque module handle; 0 is no module.
using LibraryHandle = std::uintptr_t;
// A symbol's address in the one generic function-pointer type; callers cast it to the real one.
using LibrarySymbol = void (*)();

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // 0 when the library cannot be loaded.
    virtual LibraryHandle load(const std::wstring& name) = 0;
    // nullptr when the module has no such export.
    virtual LibrarySymbol symbol(LibraryHandle module, const char* name) = 0;
    virtual void free(LibraryHandle module) = 0;
};
