#pragma once

#include "platform/service_manager.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A service control manager and file system in memory that keeps the real rules (a service
// cannot be created twice, a running one cannot start again, one without its file does not
// start, a copy needs its source) and records every call. Tests script the refusals.
class FakeServiceManager final : public ServiceManager {
public:
    struct Service {
        ServiceConfig config;
        bool running = false;
        std::wstring description;
    };

    // Scripted refusals.
    bool managerOpens = true;
    bool createFails = false;
    bool copyFails = false;       // as when the target folder is missing or the file is locked
    std::uint32_t startError = 0; // nonzero: starting fails with this code (577: not signed)

    // The state.
    std::map<std::wstring, Service> services;
    std::set<std::wstring> files;
    std::wstring programFiles = L"C:\\Program Files";
    std::wstring system32 = L"C:\\Windows\\System32";
    std::set<std::wstring> protectedPaths; // all others are writable by more than admins

    // What it was asked, e.g. "openManager 0xF003F", "openService applesmc 0x14",
    // "copy C:\a -> C:\b", "create applesmc", "describe applesmc", "start applesmc",
    // "close service".
    std::vector<std::wstring> calls;
    std::set<ServiceHandle> openHandles;

    ServiceHandle openManager(std::uint32_t access) override;
    ServiceHandle openService(ServiceHandle manager, const std::wstring& name,
                              std::uint32_t access) override;
    ServiceHandle createService(ServiceHandle manager, const ServiceConfig& config) override;
    bool startService(ServiceHandle service, std::uint32_t* error) override;
    bool setDescription(ServiceHandle service, const std::wstring& text) override;
    std::wstring description(ServiceHandle service) override;
    void closeHandle(ServiceHandle handle) override;
    bool fileExists(const std::wstring& path) override;
    bool copyFile(const std::wstring& from, const std::wstring& to, bool overwrite) override;
    std::wstring programFilesFolder() override { return programFiles; }
    std::wstring systemFolder() override { return system32; }
    bool writableByOthers(const std::wstring& path) override;

private:
    ServiceHandle issue(const std::wstring& serviceName);

    std::map<ServiceHandle, std::wstring> handleNames; // L"" for the manager
    ServiceHandle nextHandle = 0x40;
};
