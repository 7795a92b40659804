#pragma once

#include "platform/service_manager.h"

class Win32ServiceManager final : public ServiceManager {
public:
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
    std::wstring programFilesFolder() override;
    std::wstring systemFolder() override;
    bool writableByOthers(const std::wstring& path) override;
};
