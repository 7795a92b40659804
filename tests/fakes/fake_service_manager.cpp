#include "fakes/fake_service_manager.h"

#include <cwchar>

namespace {
std::wstring hex(std::uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%X", static_cast<unsigned>(value));
    return text;
}
} // namespace

ServiceHandle FakeServiceManager::issue(const std::wstring& serviceName) {
    const ServiceHandle h = nextHandle++;
    handleNames[h] = serviceName;
    openHandles.insert(h);
    return h;
}

ServiceHandle FakeServiceManager::openManager(std::uint32_t access) {
    calls.push_back(L"openManager " + hex(access));
    return managerOpens ? issue(L"") : 0;
}

ServiceHandle FakeServiceManager::openService(ServiceHandle manager, const std::wstring& name,
                                              std::uint32_t access) {
    calls.push_back(L"openService " + name + L" " + hex(access));
    if (!openHandles.count(manager) || !services.count(name))
        return 0;
    return issue(name);
}

ServiceHandle FakeServiceManager::createService(ServiceHandle manager,
                                                const ServiceConfig& config) {
    calls.push_back(L"create " + config.name);
    if (createFails || !openHandles.count(manager) || services.count(config.name))
        return 0;
    services[config.name] = Service{config, false, L""};
    return issue(config.name);
}

bool FakeServiceManager::startService(ServiceHandle service, std::uint32_t* error) {
    const auto failed = [&](std::uint32_t code) {
        if (error)
            *error = code;
        return false;
    };
    const auto h = handleNames.find(service);
    if (!openHandles.count(service) || h == handleNames.end() || h->second.empty())
        return failed(6); // ERROR_INVALID_HANDLE
    calls.push_back(L"start " + h->second);
    Service& s = services[h->second];
    if (s.running)
        return failed(1056); // ERROR_SERVICE_ALREADY_RUNNING
    if (!files.count(s.config.binaryPath))
        return failed(2); // ERROR_FILE_NOT_FOUND
    if (startError)
        return failed(startError);
    s.running = true;
    return true;
}

bool FakeServiceManager::setDescription(ServiceHandle service, const std::wstring& text) {
    const auto h = handleNames.find(service);
    if (!openHandles.count(service) || h == handleNames.end() || h->second.empty())
        return false;
    calls.push_back(L"describe " + h->second);
    services[h->second].description = text;
    return true;
}

std::wstring FakeServiceManager::description(ServiceHandle service) {
    const auto h = handleNames.find(service);
    if (!openHandles.count(service) || h == handleNames.end() || h->second.empty())
        return {};
    return services[h->second].description;
}

void FakeServiceManager::closeHandle(ServiceHandle handle) {
    const auto h = handleNames.find(handle);
    calls.push_back(h == handleNames.end() ? L"close unknown"
                    : h->second.empty()    ? L"close manager"
                                           : L"close service");
    openHandles.erase(handle);
}

bool FakeServiceManager::fileExists(const std::wstring& path) {
    calls.push_back(L"exists " + path);
    return files.count(path) != 0;
}

bool FakeServiceManager::copyFile(const std::wstring& from, const std::wstring& to,
                                  bool overwrite) {
    calls.push_back(L"copy " + from + L" -> " + to + (overwrite ? L"" : L" (keep)"));
    if (copyFails || !files.count(from) || (!overwrite && files.count(to)))
        return false;
    files.insert(to);
    return true;
}

bool FakeServiceManager::writableByOthers(const std::wstring& path) {
    calls.push_back(L"security " + path);
    return protectedPaths.count(path) == 0;
}
