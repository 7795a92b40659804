#pragma once

#include "platform/library_loader.h"

#include <map>
#include <string>
#include <vector>

// Libraries as tables of functions: present ones load (counted per name), missing ones do not.
class FakeLibraryLoader final : public LibraryLoader {
public:
    // Name as asked for -> its exports.
    std::map<std::wstring, std::map<std::string, LibrarySymbol>> available;

    std::vector<std::wstring> events; // "load x", "load x failed", "free x"
    std::map<std::wstring, int> references;

    LibraryHandle load(const std::wstring& name) override;
    LibrarySymbol symbol(LibraryHandle module, const char* name) override;
    void free(LibraryHandle module) override;

    // The handle a loaded library has (0 when it is not loaded).
    LibraryHandle handleOf(const std::wstring& name) const;

private:
    std::map<LibraryHandle, std::wstring> handles;
    LibraryHandle nextHandle = 0x7000;
};
