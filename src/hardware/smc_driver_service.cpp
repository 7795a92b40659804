#include "hardware/smc_driver_service.h"

#include "base/bounded_format.h"
#include "base/program_folder.h"
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

// folder + "\" + name, or empty when that would not fit.
std::wstring joined(const std::wstring& folder, const wchar_t* name) {
    if (folder.empty())
        return {};
    wchar_t path[PATH_UNITS] = {};
    const std::size_t n = formatBounded(path, PATH_UNITS, L"%ls\\%ls", folder.c_str(), name);
    if (n != folder.size() + 1 + std::wcslen(name))
        return {};
    return path;
}

} // namespace

std::wstring installSmcDriverService() {
    std::wstring note;
    ServiceManager* scm = platform.serviceManager;
    if (!scm)
        return note;
    const ServiceHandle manager = scm->openManager(SC_MANAGER_ALL_ACCESS_VALUE);
    if (!manager)
        return note;

    ServiceHandle service =
        scm->openService(manager, SERVICE_NAME, SERVICE_QUERY_STATUS_VALUE | SERVICE_START_VALUE);
    if (!service) {
        const std::wstring folder =
            programFolder(platform.systemInfo ? platform.systemInfo->modulePath() : std::wstring());
        const std::wstring source = joined(folder, L"applesmc.sys");
        if (source.empty() || !scm->fileExists(source)) {
            scm->closeHandle(manager);
            return note;
        }
        // Whoever can write the program's folder would choose the kernel driver; only the
        // folder an elevated installer puts the program in is out of other users' reach.
        if (!insideProgramFiles(folder, scm->programFilesFolder())) {
            scm->closeHandle(manager);
            return DRIVER_REFUSED_NOTE;
        }
        if (scm->writableByOthers(folder) || scm->writableByOthers(source))
            note = DRIVER_UNPROTECTED_NOTE;
        const std::wstring target =
            joined(joined(scm->systemFolder(), L"drivers"), L"applesmc.sys");
        if (target.empty()) {
            scm->closeHandle(manager);
            return note;
        }
        // An older copy is replaced. When the copy fails and nothing lies there, a service
        // registered now could never start, and as the file is copied only when the service is
        // created, no later run would repair it: leave it unregistered so the next run retries.
        if (!scm->copyFile(source, target, true) && !scm->fileExists(target)) {
            scm->closeHandle(manager);
            return note;
        }

        ServiceConfig config;
        config.name = SERVICE_NAME;
        config.displayName = DISPLAY_NAME;
        config.access = SERVICE_ALL_ACCESS_VALUE;
        config.serviceType = SERVICE_KERNEL_DRIVER_VALUE;
        config.startType = SERVICE_DEMAND_START_VALUE;
        config.errorControl = SERVICE_ERROR_NORMAL_VALUE;
        config.binaryPath = target;
        service = scm->createService(manager, config);
        if (!service) {
            scm->closeHandle(manager);
            return note;
        }
        // Without the mark the uninstaller leaves the service in place: a leftover, never a
        // service of someone else removed.
        scm->setDescription(service, DRIVER_SERVICE_MARK);
    }
    // Already running, or unable to start: either way the device open decides.
    scm->startService(service);
    scm->closeHandle(service);
    scm->closeHandle(manager);
    return note;
}
