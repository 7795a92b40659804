#include "settings/autostart.h"

#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/task_scheduler.h"
#include "settings/autostart_task.h"
#include "settings/registry_settings.h"

#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr wchar_t NOTICE_ENABLED_MINIMIZED[] =
    L"Windows-Autostart aktiviert (startet minimiert im System-Tray).";
constexpr wchar_t NOTICE_ENABLED[] = L"Windows-Autostart aktiviert.";
constexpr wchar_t NOTICE_DISABLED[] = L"Windows-Autostart deaktiviert.";
constexpr wchar_t NOTICE_NO_COMMAND_LINE[] =
    L"Windows-Autostart nicht möglich: Programmpfad unbekannt oder zu lang.";
constexpr wchar_t NOTICE_NOT_REGISTERED[] =
    L"Windows-Autostart nicht möglich: die Aufgabenplanung hat die Aufgabe abgelehnt.";
constexpr wchar_t NOTICE_NOT_DELETED[] =
    L"Windows-Autostart nicht deaktiviert: die Aufgabe ließ sich nicht löschen.";

std::wstring programPath() {
    return platform.systemInfo != nullptr ? platform.systemInfo->modulePath() : std::wstring();
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

bool runValuePresent() {
    RegistryKey key(platform.registry);
    if (!key.open(RegistryRoot::CurrentUser, RUN_KEY_PATH, RegistryAccess::Read))
        return false;
    std::vector<std::uint8_t> buffer(RUN_VALUE_MAX_BYTES);
    return key.query(RUN_VALUE_NAME, buffer.data(), RUN_VALUE_MAX_BYTES, nullptr, nullptr);
}

void removeRunValue() {
    RegistryKey key(platform.registry);
    if (key.open(RegistryRoot::CurrentUser, RUN_KEY_PATH, RegistryAccess::Write))
        key.remove(RUN_VALUE_NAME);
}

enum class Registration { Done, NoPath, Refused };

Registration registerTask(bool minimized) {
    TaskScheduler* scheduler = platform.taskScheduler;
    AutostartTask task;
    task.programPath = programPath();
    task.userId = scheduler != nullptr ? scheduler->currentUserId() : std::wstring();
    task.minimized = minimized;
    std::wstring xml;
    if (!autostartTaskXml(task, &xml))
        return task.userId.empty() || scheduler == nullptr ? Registration::Refused
                                                           : Registration::NoPath;
    if (!scheduler->registerTask(AUTOSTART_TASK_NAME, xml))
        return Registration::Refused;
    removeRunValue();
    return Registration::Done;
}

} // namespace

bool readAutostartState() {
    std::wstring xml;
    return platform.taskScheduler != nullptr &&
           platform.taskScheduler->readTask(AUTOSTART_TASK_NAME, &xml) &&
           samePath(taskProgram(xml), programPath());
}

void migrateRunValue(Settings& settings) {
    if (runValuePresent() && registerTask(settings.startMinimized) == Registration::Done)
        settings.autostartEnabled = true;
}

void loadAutostartState(Settings& settings) {
    settings.autostartEnabled = readAutostartState();
    migrateRunValue(settings);
    settings.autostartPending = false;
}

void setAutostart(Settings& settings, Notice& notice, bool enable) {
    if (enable) {
        switch (registerTask(settings.startMinimized)) {
        case Registration::Done:
            settings.autostartEnabled = true;
            notice = {settings.startMinimized ? NOTICE_ENABLED_MINIMIZED : NOTICE_ENABLED, false};
            break;
        case Registration::NoPath:
            settings.autostartEnabled = false;
            notice = {NOTICE_NO_COMMAND_LINE, true};
            break;
        case Registration::Refused:
            settings.autostartEnabled = false;
            notice = {NOTICE_NOT_REGISTERED, true};
            break;
        }
    } else if (platform.taskScheduler != nullptr &&
               platform.taskScheduler->deleteTask(AUTOSTART_TASK_NAME)) {
        removeRunValue();
        settings.autostartEnabled = false;
        notice = {NOTICE_DISABLED, false};
    } else {
        // The task is still there and still starts the program at the next logon.
        notice = {NOTICE_NOT_DELETED, true};
    }
    saveSettings(settings);
}

void toggleStartMinimized(Settings& settings, Notice& notice) {
    settings.startMinimized = !settings.startMinimized;
    if (settings.autostartEnabled)
        setAutostart(settings, notice, true); // saves too
    else
        saveSettings(settings);
}
