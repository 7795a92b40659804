#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace {

HKEY rootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

HKEY toHkey(RegistryHandle key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

bool Win32Registry::openKey(RegistryRoot root, const std::wstring& path, RegistryAccess access,
                            RegistryHandle* key) {
    if (key == nullptr)
        return false;
    *key = 0;
    HKEY opened = nullptr;
    const REGSAM sam = access == RegistryAccess::Write ? KEY_WRITE : KEY_READ;
    if (RegOpenKeyExW(rootKey(root), path.c_str(), 0, sam, &opened) != ERROR_SUCCESS)
        return false;
    *key = reinterpret_cast<RegistryHandle>(opened);
    return true;
}

bool Win32Registry::createKey(RegistryRoot root, const std::wstring& path, RegistryHandle* key) {
    if (key == nullptr)
        return false;
    *key = 0;
    HKEY created = nullptr;
    if (RegCreateKeyExW(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    *key = reinterpret_cast<RegistryHandle>(created);
    return true;
}

bool Win32Registry::queryValue(RegistryHandle key, const std::wstring& name, void* buffer,
                               std::uint32_t capacity, std::uint32_t* type, std::uint32_t* size) {
    DWORD valueType = REG_NONE;
    DWORD bytes = capacity;
    // A null buffer would turn the call into a size query that succeeds; a zero-sized buffer
    // must fail for any value with data, as a real buffer of that size would.
    BYTE empty = 0;
    BYTE* target = buffer != nullptr ? static_cast<BYTE*>(buffer) : &empty;
    if (buffer == nullptr)
        bytes = 0;
    const LSTATUS status =
        RegQueryValueExW(toHkey(key), name.c_str(), nullptr, &valueType, target, &bytes);
    if (type != nullptr)
        *type = status == ERROR_SUCCESS || status == ERROR_MORE_DATA ? valueType : REG_NONE;
    if (size != nullptr)
        *size = status == ERROR_SUCCESS || status == ERROR_MORE_DATA ? bytes : 0;
    return status == ERROR_SUCCESS;
}

bool Win32Registry::setValue(RegistryHandle key, const std::wstring& name, std::uint32_t type,
                             const void* data, std::uint32_t size) {
    if (data == nullptr && size != 0)
        return false;
    return RegSetValueExW(toHkey(key), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                          size) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(RegistryHandle key, const std::wstring& name) {
    return RegDeleteValueW(toHkey(key), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::closeKey(RegistryHandle key) {
    return key != 0 && RegCloseKey(toHkey(key)) == ERROR_SUCCESS;
}
