#pragma once

#include "platform/registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FakeRegistryValue {
    std::uint32_t type = REGISTRY_TYPE_NONE;
    std::vector<std::uint8_t> data;
    bool operator==(const FakeRegistryValue&) const = default;
};

// Both hives in memory. Tests pre-fill keys and values of any type and size, read back what
// the program stored, refuse write access to chosen keys and check that every key was closed.
class FakeRegistry final : public Registry {
public:
    // Pre-filling; each creates the key and its parents.
    void addKey(RegistryRoot root, const std::wstring& path);
    void setRaw(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                std::uint32_t type, std::vector<std::uint8_t> data);
    void setDword(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                  std::uint32_t value);
    // UTF-16LE with its terminator counted, as Windows stores REG_SZ.
    void setString(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text, std::uint32_t type = REGISTRY_TYPE_SZ);
    void removeValue(RegistryRoot root, const std::wstring& path, const std::wstring& name);

    // Reading back.
    bool hasKey(RegistryRoot root, const std::wstring& path) const;
    std::optional<FakeRegistryValue> value(RegistryRoot root, const std::wstring& path,
                                           const std::wstring& name) const;
    std::optional<std::uint32_t> dword(RegistryRoot root, const std::wstring& path,
                                       const std::wstring& name) const;
    std::optional<std::wstring> string(RegistryRoot root, const std::wstring& path,
                                       const std::wstring& name) const;
    // Value names of a key in the order they were first stored.
    std::vector<std::wstring> valueNames(RegistryRoot root, const std::wstring& path) const;

    // Opening or creating this key for writing fails, as for a key the user may not change.
    void denyWrite(RegistryRoot root, const std::wstring& path);
    // Every open and create fails (a registry that cannot be reached at all).
    bool failAll = false;

    int openKeyCount() const { return static_cast<int>(open_.size()); }
    // The names of every successful setValue, in call order.
    std::vector<std::wstring> writes;

    bool openKey(RegistryRoot root, const std::wstring& path, RegistryAccess access,
                 RegistryHandle* key) override;
    bool createKey(RegistryRoot root, const std::wstring& path, RegistryHandle* key) override;
    bool queryValue(RegistryHandle key, const std::wstring& name, void* buffer,
                    std::uint32_t capacity, std::uint32_t* type, std::uint32_t* size) override;
    bool setValue(RegistryHandle key, const std::wstring& name, std::uint32_t type,
                  const void* data, std::uint32_t size) override;
    bool deleteValue(RegistryHandle key, const std::wstring& name) override;
    bool closeKey(RegistryHandle key) override;

private:
    using KeyId = std::pair<RegistryRoot, std::wstring>; // path folded to lower case
    struct NamedValue {
        std::wstring name; // as first stored
        FakeRegistryValue value;
    };
    struct Key {
        std::vector<NamedValue> values;
    };
    struct OpenKey {
        KeyId id;
        RegistryAccess access;
    };

    static KeyId idOf(RegistryRoot root, const std::wstring& path);
    Key& makeKey(const KeyId& id);
    const Key* findKey(const KeyId& id) const;
    const OpenKey* findOpen(RegistryHandle key) const;
    RegistryHandle openHandle(const KeyId& id, RegistryAccess access);

    std::map<KeyId, Key> keys_;
    std::map<RegistryHandle, OpenKey> open_;
    std::vector<KeyId> writeDenied_;
    RegistryHandle next_ = 0x100;
};
