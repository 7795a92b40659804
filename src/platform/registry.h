#pragma once

#include <cstdint>
#include <string>

// The two hives the program reads: the user's settings and the machine's description.
enum class RegistryRoot : std::uint8_t { CurrentUser, LocalMachine };
enum class RegistryAccess : std::uint8_t { Read, Write };

// Value types as Windows numbers them; any other number is stored and reported unchanged.
inline constexpr std::uint32_t REGISTRY_TYPE_NONE = 0;
inline constexpr std::uint32_t REGISTRY_TYPE_SZ = 1;
inline constexpr std::uint32_t REGISTRY_TYPE_EXPAND_SZ = 2;
inline constexpr std::uint32_t REGISTRY_TYPE_BINARY = 3;
inline constexpr std::uint32_t REGISTRY_TYPE_DWORD = 4;
inline constexpr std::uint32_t REGISTRY_TYPE_QWORD = 11;

// An open key as the implementation knows it; 0 is never a valid key.
using RegistryHandle = std::uintptr_t;

// The registry as the program uses it. Paths are relative to the root, with backslashes;
// key paths and value names compare without regard to case, as in Windows.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens an existing key. Fails when it is missing or the access is refused.
    virtual bool openKey(RegistryRoot root, const std::wstring& path, RegistryAccess access,
                         RegistryHandle* key) = 0;
    // Opens the key for writing, creating it and every missing parent first (kept on disk).
    virtual bool createKey(RegistryRoot root, const std::wstring& path, RegistryHandle* key) = 0;
    // Copies the value's data into buffer (capacity bytes) and reports its type and size.
    // Fails when the value is missing (size 0) or its data does not fit; size then reports
    // the bytes it would need. type and size may be null.
    virtual bool queryValue(RegistryHandle key, const std::wstring& name, void* buffer,
                            std::uint32_t capacity, std::uint32_t* type, std::uint32_t* size) = 0;
    // Stores size bytes of data under name with the given type, replacing any value there.
    virtual bool setValue(RegistryHandle key, const std::wstring& name, std::uint32_t type,
                          const void* data, std::uint32_t size) = 0;
    // Fails, and changes nothing, when the value does not exist.
    virtual bool deleteValue(RegistryHandle key, const std::wstring& name) = 0;
    virtual bool closeKey(RegistryHandle key) = 0;
};

// One open key, closed when the object goes away. Works on a null registry by failing.
class RegistryKey {
public:
    explicit RegistryKey(Registry* registry) : registry_(registry) {}
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    bool open(RegistryRoot root, const std::wstring& path, RegistryAccess access);
    bool create(RegistryRoot root, const std::wstring& path);
    bool isOpen() const { return handle_ != 0; }

    bool query(const std::wstring& name, void* buffer, std::uint32_t capacity, std::uint32_t* type,
               std::uint32_t* size) const;
    bool set(const std::wstring& name, std::uint32_t type, const void* data, std::uint32_t size);
    // Four bytes, little-endian, as REG_DWORD.
    bool setDword(const std::wstring& name, std::uint32_t value);
    bool remove(const std::wstring& name);
    // The close's own result; true when nothing was open.
    bool close();

private:
    Registry* registry_ = nullptr;
    RegistryHandle handle_ = 0;
};
