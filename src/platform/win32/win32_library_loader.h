#pragma once

#include "platform/library_loader.h"

class Win32LibraryLoader final : public LibraryLoader {
public:
    LibraryHandle load(const std::wstring& name) override;
    LibrarySymbol symbol(LibraryHandle module, const char* name) override;
    void free(LibraryHandle module) override;
};
