#include "platform/win32/win32_service_manager.h"

#include <windows.h>

namespace {
SC_HANDLE toHandle(ServiceHandle handle) {
    return reinterpret_cast<SC_HANDLE>(handle);
}
ServiceHandle fromHandle(SC_HANDLE handle) {
    return reinterpret_cast<ServiceHandle>(handle);
}
} // namespace

ServiceHandle Win32ServiceManager::openManager(std::uint32_t access) {
    return fromHandle(OpenSCManagerW(nullptr, nullptr, access));
}

ServiceHandle Win32ServiceManager::openService(ServiceHandle manager, const std::wstring& name,
                                               std::uint32_t access) {
    if (!manager)
        return 0;
    return fromHandle(OpenServiceW(toHandle(manager), name.c_str(), access));
}

ServiceHandle Win32ServiceManager::createService(ServiceHandle manager,
                                                 const ServiceConfig& config) {
    if (!manager)
        return 0;
    return fromHandle(
        CreateServiceW(toHandle(manager), config.name.c_str(), config.displayName.c_str(),
                       config.access, config.serviceType, config.startType, config.errorControl,
                       config.binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

bool Win32ServiceManager::startService(ServiceHandle service) {
    if (!service)
        return false;
    return StartServiceW(toHandle(service), 0, nullptr) != FALSE;
}

void Win32ServiceManager::closeHandle(ServiceHandle handle) {
    if (handle)
        CloseServiceHandle(toHandle(handle));
}

bool Win32ServiceManager::fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32ServiceManager::copyFile(const std::wstring& from, const std::wstring& to,
                                   bool overwrite) {
    return CopyFileW(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != FALSE;
}
