#include "win/scoped_bios_identity.h"

#include <windows.h>

namespace {
const wchar_t* const BIOS = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
const wchar_t* const NAMES[] = {L"SystemManufacturer", L"SystemProductName",
                                L"BaseBoardManufacturer", L"BaseBoardProduct", L"BIOSVersion"};
} // namespace

ScopedBiosIdentity::ScopedBiosIdentity() {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, BIOS, 0, KEY_READ | KEY_WRITE, &h) != ERROR_SUCCESS)
        return;
    key = h;
    for (const wchar_t* name : NAMES) {
        Saved& v = saved[name];
        DWORD size = 0, type = 0;
        if (RegQueryValueExW(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            v.present = true;
            v.type = type;
            v.data.resize(size);
            RegQueryValueExW(h, name, nullptr, &type, v.data.data(), &size);
        }
    }
}

ScopedBiosIdentity::~ScopedBiosIdentity() {
    if (!key)
        return;
    HKEY h = static_cast<HKEY>(key);
    for (const auto& [name, v] : saved) {
        if (v.present)
            RegSetValueExW(h, name.c_str(), 0, v.type, v.data.data(),
                           static_cast<DWORD>(v.data.size()));
        else
            RegDeleteValueW(h, name.c_str());
    }
    RegCloseKey(h);
}

void ScopedBiosIdentity::set(const wchar_t* name, const std::wstring& text) {
    if (key)
        RegSetValueExW(static_cast<HKEY>(key), name, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedBiosIdentity::setAll(const std::wstring& maker, const std::wstring& product,
                                const std::wstring& board, const std::wstring& boardProduct,
                                const std::wstring& bios) {
    set(L"SystemManufacturer", maker);
    set(L"SystemProductName", product);
    set(L"BaseBoardManufacturer", board);
    set(L"BaseBoardProduct", boardProduct);
    set(L"BIOSVersion", bios);
}

bool ScopedBiosIdentity::hadValue(const wchar_t* name, std::size_t* bytes) const {
    const auto v = saved.find(name);
    if (v == saved.end() || !v->second.present)
        return false;
    *bytes = v->second.data.size();
    return true;
}
