#include "hardware/smc_driver_service.h"

#include "base/bounded_format.h"
#include "base/program_folder.h"
#include "base/texts.h"
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

std::wstring driverStartNote(std::uint32_t error) {
    switch (error) {
    case 0:
    case 1056: // ERROR_SERVICE_ALREADY_RUNNING
        return {};
    case 577: // ERROR_INVALID_IMAGE_HASH
        return text(TextId::DriverUnsigned);
    case 1275: // ERROR_DRIVER_BLOCKED
        return text(TextId::DriverBlocked);
    case 55: // ERROR_DEV_NOT_EXIST: the driver found no SMC and stayed off
        return text(TextId::DriverNoSmc);
    default: {
        wchar_t shown[96] = {};
        formatBounded(shown, 96, text(TextId::DriverNotStarted), static_cast<unsigned long>(error));
        return shown;
    }
    }
}

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
            return text(TextId::DriverRefused);
        }
        if (scm->writableByOthers(folder) || scm->writableByOthers(source))
            note = text(TextId::DriverUnprotected);
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
    // Already running, or unable to start: either way the device open decides; the driver tab
    // says why Windows did not start it.
    std::uint32_t error = 0;
    if (!scm->startService(service, &error)) {
        const std::wstring reason = driverStartNote(error);
        if (!reason.empty())
            note = note.empty() ? reason : note + L" · " + reason;
    }
    scm->closeHandle(service);
    scm->closeHandle(manager);
    return note;
}
