#pragma once

#include "platform/registry.h"

// The registry through the Reg* calls; a RegistryHandle is the HKEY itself.
class Win32Registry final : public Registry {
public:
    bool openKey(RegistryRoot root, const std::wstring& path, RegistryAccess access,
                 RegistryHandle* key) override;
    bool createKey(RegistryRoot root, const std::wstring& path, RegistryHandle* key) override;
    bool queryValue(RegistryHandle key, const std::wstring& name, void* buffer,
                    std::uint32_t capacity, std::uint32_t* type, std::uint32_t* size) override;
    bool setValue(RegistryHandle key, const std::wstring& name, std::uint32_t type,
                  const void* data, std::uint32_t size) override;
    bool deleteValue(RegistryHandle key, const std::wstring& name) override;
    bool closeKey(RegistryHandle key) override;
};
