#include "platform/registry.h"

#include <array>
#include <utility>

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        close();
        registry_ = other.registry_;
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

bool RegistryKey::open(RegistryRoot root, const std::wstring& path, RegistryAccess access) {
    close();
    if (registry_ == nullptr)
        return false;
    RegistryHandle handle = 0;
    if (!registry_->openKey(root, path, access, &handle) || handle == 0)
        return false;
    handle_ = handle;
    return true;
}

bool RegistryKey::create(RegistryRoot root, const std::wstring& path) {
    close();
    if (registry_ == nullptr)
        return false;
    RegistryHandle handle = 0;
    if (!registry_->createKey(root, path, &handle) || handle == 0)
        return false;
    handle_ = handle;
    return true;
}

bool RegistryKey::query(const std::wstring& name, void* buffer, std::uint32_t capacity,
                        std::uint32_t* type, std::uint32_t* size) const {
    if (!isOpen())
        return false;
    return registry_->queryValue(handle_, name, buffer, capacity, type, size);
}

bool RegistryKey::set(const std::wstring& name, std::uint32_t type, const void* data,
                      std::uint32_t size) {
    return isOpen() && registry_->setValue(handle_, name, type, data, size);
}

bool RegistryKey::setDword(const std::wstring& name, std::uint32_t value) {
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return set(name, REGISTRY_TYPE_DWORD, bytes.data(), 4);
}

bool RegistryKey::remove(const std::wstring& name) {
    return isOpen() && registry_->deleteValue(handle_, name);
}

bool RegistryKey::close() {
    if (!isOpen())
        return true;
    return registry_->closeKey(std::exchange(handle_, 0));
}
