#include "fakes/fake_registry.h"

#include "base/utf16.h"

#include <algorithm>
#include <cstring>

namespace {

std::wstring folded(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

} // namespace

FakeRegistry::KeyId FakeRegistry::idOf(RegistryRoot root, const std::wstring& path) {
    std::wstring p = folded(path);
    while (!p.empty() && p.back() == L'\\')
        p.pop_back();
    return {root, p};
}

FakeRegistry::Key& FakeRegistry::makeKey(const KeyId& id) {
    // Every parent exists once a child does, as with RegCreateKeyExW.
    for (std::size_t pos = id.second.find(L'\\'); pos != std::wstring::npos;
         pos = id.second.find(L'\\', pos + 1))
        keys_[{id.first, id.second.substr(0, pos)}];
    return keys_[id];
}

const FakeRegistry::Key* FakeRegistry::findKey(const KeyId& id) const {
    if (id.second.empty())
        return nullptr; // the roots hold no values here
    const auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : &it->second;
}

const FakeRegistry::OpenKey* FakeRegistry::findOpen(RegistryHandle key) const {
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second;
}

RegistryHandle FakeRegistry::openHandle(const KeyId& id, RegistryAccess access) {
    const RegistryHandle handle = next_++;
    open_[handle] = OpenKey{id, access};
    return handle;
}

void FakeRegistry::addKey(RegistryRoot root, const std::wstring& path) {
    makeKey(idOf(root, path));
}

void FakeRegistry::setRaw(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                          std::uint32_t type, std::vector<std::uint8_t> data) {
    Key& key = makeKey(idOf(root, path));
    const std::wstring f = folded(name);
    for (NamedValue& v : key.values) {
        if (folded(v.name) == f) {
            v.value = FakeRegistryValue{type, std::move(data)};
            return;
        }
    }
    key.values.push_back(NamedValue{name, FakeRegistryValue{type, std::move(data)}});
}

void FakeRegistry::setDword(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                            std::uint32_t value) {
    setRaw(root, path, name, REGISTRY_TYPE_DWORD,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakeRegistry::setString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                             const std::wstring& text, std::uint32_t type) {
    setRaw(root, path, name, type, utf16leBytes(text));
}

void FakeRegistry::removeValue(RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) {
    auto it = keys_.find(idOf(root, path));
    if (it == keys_.end())
        return;
    const std::wstring f = folded(name);
    std::erase_if(it->second.values, [&](const NamedValue& v) { return folded(v.name) == f; });
}

bool FakeRegistry::hasKey(RegistryRoot root, const std::wstring& path) const {
    return keys_.count(idOf(root, path)) != 0;
}

std::optional<FakeRegistryValue> FakeRegistry::value(RegistryRoot root, const std::wstring& path,
                                                     const std::wstring& name) const {
    const Key* key = findKey(idOf(root, path));
    if (key == nullptr)
        return std::nullopt;
    const std::wstring f = folded(name);
    for (const NamedValue& v : key->values)
        if (folded(v.name) == f)
            return v.value;
    return std::nullopt;
}

std::optional<std::uint32_t> FakeRegistry::dword(RegistryRoot root, const std::wstring& path,
                                                 const std::wstring& name) const {
    const auto v = value(root, path, name);
    if (!v || v->type != REGISTRY_TYPE_DWORD || v->data.size() != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(v->data[0]) | (static_cast<std::uint32_t>(v->data[1]) << 8) |
           (static_cast<std::uint32_t>(v->data[2]) << 16) |
           (static_cast<std::uint32_t>(v->data[3]) << 24);
}

std::optional<std::wstring> FakeRegistry::string(RegistryRoot root, const std::wstring& path,
                                                 const std::wstring& name) const {
    const auto v = value(root, path, name);
    if (!v || v->type != REGISTRY_TYPE_SZ)
        return std::nullopt;
    return textFromUtf16le(v->data.data(), v->data.size());
}

std::vector<std::wstring> FakeRegistry::valueNames(RegistryRoot root,
                                                   const std::wstring& path) const {
    std::vector<std::wstring> names;
    if (const Key* key = findKey(idOf(root, path)))
        for (const NamedValue& v : key->values)
            names.push_back(v.name);
    return names;
}

void FakeRegistry::denyWrite(RegistryRoot root, const std::wstring& path) {
    writeDenied_.push_back(idOf(root, path));
}

bool FakeRegistry::openKey(RegistryRoot root, const std::wstring& path, RegistryAccess access,
                           RegistryHandle* key) {
    if (key == nullptr)
        return false;
    *key = 0;
    const KeyId id = idOf(root, path);
    if (failAll || keys_.count(id) == 0)
        return false;
    if (access == RegistryAccess::Write &&
        std::find(writeDenied_.begin(), writeDenied_.end(), id) != writeDenied_.end())
        return false;
    *key = openHandle(id, access);
    return true;
}

bool FakeRegistry::createKey(RegistryRoot root, const std::wstring& path, RegistryHandle* key) {
    if (key == nullptr)
        return false;
    *key = 0;
    const KeyId id = idOf(root, path);
    if (failAll || id.second.empty() ||
        std::find(writeDenied_.begin(), writeDenied_.end(), id) != writeDenied_.end())
        return false;
    makeKey(id);
    *key = openHandle(id, RegistryAccess::Write);
    return true;
}

bool FakeRegistry::queryValue(RegistryHandle key, const std::wstring& name, void* buffer,
                              std::uint32_t capacity, std::uint32_t* type, std::uint32_t* size) {
    if (type != nullptr)
        *type = REGISTRY_TYPE_NONE;
    if (size != nullptr)
        *size = 0;
    const OpenKey* open = findOpen(key);
    if (open == nullptr || open->access != RegistryAccess::Read)
        return false; // write access does not include reading values, as with KEY_WRITE
    const Key* k = findKey(open->id);
    if (k == nullptr)
        return false;
    const std::wstring f = folded(name);
    for (const NamedValue& v : k->values) {
        if (folded(v.name) != f)
            continue;
        const auto bytes = static_cast<std::uint32_t>(v.value.data.size());
        if (type != nullptr)
            *type = v.value.type;
        if (size != nullptr)
            *size = bytes;
        if (bytes > capacity || (buffer == nullptr && bytes != 0))
            return false;
        if (bytes != 0)
            std::memcpy(buffer, v.value.data.data(), bytes);
        return true;
    }
    return false;
}

bool FakeRegistry::setValue(RegistryHandle key, const std::wstring& name, std::uint32_t type,
                            const void* data, std::uint32_t size) {
    const OpenKey* open = findOpen(key);
    if (open == nullptr || open->access != RegistryAccess::Write || (data == nullptr && size))
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    setRaw(open->id.first, open->id.second, name, type,
           size ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>{});
    writes.push_back(name);
    return true;
}

bool FakeRegistry::deleteValue(RegistryHandle key, const std::wstring& name) {
    const OpenKey* open = findOpen(key);
    if (open == nullptr || open->access != RegistryAccess::Write)
        return false;
    if (!value(open->id.first, open->id.second, name))
        return false;
    removeValue(open->id.first, open->id.second, name);
    return true;
}

bool FakeRegistry::closeKey(RegistryHandle key) {
    return open_.erase(key) != 0;
}
