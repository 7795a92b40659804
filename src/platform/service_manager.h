#pragma once

#include <cstdint>
#include <string>

// An opaque service-control-manager handle; 0 is no handle.
using ServiceHandle = std::uintptr_t;

// The values a new service is registered with. Group, tag, dependencies, account and password
// are always none.
struct ServiceConfig {
    std::wstring name;
    std::wstring displayName;
    std::uint32_t access = 0;
    std::uint32_t serviceType = 0;
    std::uint32_t startType = 0;
    std::uint32_t errorControl = 0;
    std::wstring binaryPath;
};

// The service control manager of the local machine, plus the file operations that installing
// a driver service needs.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;

    // The active database of the local machine; 0 when it cannot be opened.
    virtual ServiceHandle openManager(std::uint32_t access) = 0;
    // 0 when the service does not exist or the access is refused.
    virtual ServiceHandle openService(ServiceHandle manager, const std::wstring& name,
                                      std::uint32_t access) = 0;
    // 0 when the service cannot be created (for example because it exists).
    virtual ServiceHandle createService(ServiceHandle manager, const ServiceConfig& config) = 0;
    // Without arguments; false when it does not start or already runs, and then *error (when
    // given) holds Windows' reason, e.g. 1056 already running, 577 not signed.
    virtual bool startService(ServiceHandle service, std::uint32_t* error) = 0;
    // The text the Services console shows for the service (the handle needs the right to change
    // its configuration); false when it cannot be set.
    virtual bool setDescription(ServiceHandle service, const std::wstring& text) = 0;
    // The service's description (the handle needs the right to query its configuration); empty
    // when it has none or it cannot be read.
    virtual std::wstring description(ServiceHandle service) = 0;
    virtual void closeHandle(ServiceHandle handle) = 0;

    virtual bool fileExists(const std::wstring& path) = 0;
    virtual bool copyFile(const std::wstring& from, const std::wstring& to, bool overwrite) = 0;

    // The machine's Program Files folder and its System32 folder, without a trailing
    // backslash; empty when Windows does not say.
    virtual std::wstring programFilesFolder() = 0;
    virtual std::wstring systemFolder() = 0;
    // True unless Windows reports that only Administrators, SYSTEM and TrustedInstaller may
    // change the file or folder (its owner may always grant itself write access); a path
    // whose security cannot be read counts as writable.
    virtual bool writableByOthers(const std::wstring& path) = 0;
};

inline constexpr std::uint32_t SC_MANAGER_ALL_ACCESS_VALUE = 0xF003F;
inline constexpr std::uint32_t SERVICE_QUERY_CONFIG_VALUE = 0x0001;
inline constexpr std::uint32_t SERVICE_QUERY_STATUS_VALUE = 0x0004;
inline constexpr std::uint32_t SERVICE_START_VALUE = 0x0010;
inline constexpr std::uint32_t SERVICE_ALL_ACCESS_VALUE = 0xF01FF;
inline constexpr std::uint32_t SERVICE_KERNEL_DRIVER_VALUE = 1;
inline constexpr std::uint32_t SERVICE_DEMAND_START_VALUE = 3;
inline constexpr std::uint32_t SERVICE_ERROR_NORMAL_VALUE = 1;
