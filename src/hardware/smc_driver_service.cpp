#include "hardware/smc_driver_service.h"

#include "base/bounded_format.h"
#include "platform/platform.h"
#include "platform/service_manager.h"
#include "platform/system_info.h"

#include <cstddef>
#include <cwchar>
#include <string>

namespace {

constexpr std::size_t PATH_UNITS = 260; // MAX_PATH, terminator included
constexpr const wchar_t* SERVICE_NAME = L"applesmc";
constexpr const wchar_t* DISPLAY_NAME = L"Apple SMC Driver";
// The program is 64-bit, so this names the native system folder.
constexpr const wchar_t* INSTALLED_PATH = L"C:\\Windows\\System32\\drivers\\applesmc.sys";

// The driver file beside the program, or empty when there is no usable folder or the path would
// not fit: a cut path would name some other file.
std::wstring sourcePath(const std::wstring& modulePath) {
    if (modulePath.empty() || modulePath.size() >= PATH_UNITS)
        return {};
    wchar_t folder[PATH_UNITS] = {};
    copyBounded(folder, PATH_UNITS, modulePath.c_str());
    wchar_t* cut = std::wcsrchr(folder, L'\\');
    if (!cut)
        return {};
    *cut = L'\0';
    wchar_t source[PATH_UNITS] = {};
    const std::size_t n = formatBounded(source, PATH_UNITS, L"%ls\\applesmc.sys", folder);
    if (n != std::wcslen(folder) + std::wcslen(L"\\applesmc.sys"))
        return {};
    return source;
}

} // namespace

void installSmcDriverService() {
    ServiceManager* scm = platform.serviceManager;
    if (!scm)
        return;
    const ServiceHandle manager = scm->openManager(SC_MANAGER_ALL_ACCESS_VALUE);
    if (!manager)
        return;

    ServiceHandle service =
        scm->openService(manager, SERVICE_NAME, SERVICE_QUERY_STATUS_VALUE | SERVICE_START_VALUE);
    if (!service) {
        const std::wstring source =
            sourcePath(platform.systemInfo ? platform.systemInfo->modulePath() : std::wstring());
        if (source.empty() || !scm->fileExists(source)) {
            scm->closeHandle(manager);
            return;
        }
        // An older copy is replaced. When the copy fails and nothing lies there, a service
        // registered now could never start, and as the file is copied only when the service is
        // created, no later run would repair it: leave it unregistered so the next run retries.
        if (!scm->copyFile(source, INSTALLED_PATH, true) && !scm->fileExists(INSTALLED_PATH)) {
            scm->closeHandle(manager);
            return;
        }

        ServiceConfig config;
        config.name = SERVICE_NAME;
        config.displayName = DISPLAY_NAME;
        config.access = SERVICE_ALL_ACCESS_VALUE;
        config.serviceType = SERVICE_KERNEL_DRIVER_VALUE;
        config.startType = SERVICE_DEMAND_START_VALUE;
        config.errorControl = SERVICE_ERROR_NORMAL_VALUE;
        config.binaryPath = INSTALLED_PATH;
        service = scm->createService(manager, config);
        if (!service) {
            scm->closeHandle(manager);
            return;
        }
    }
    // Already running, or unable to start: either way the device open decides.
    scm->startService(service);
    scm->closeHandle(service);
    scm->closeHandle(manager);
}
