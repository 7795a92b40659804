#include "settings/autostart.h"

#include "base/program_folder.h"
#include "base/texts.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/service_manager.h"
#include "platform/system_info.h"
#include "platform/task_scheduler.h"
#include "settings/autostart_task.h"
#include "settings/registry_settings.h"

#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring programPath() {
    return platform.systemInfo != nullptr ? platform.systemInfo->modulePath() : std::wstring();
}

// Paths, SID strings and account names all compare without regard to case.
bool sameText(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

// The task runs this program elevated at every logon without asking. That is safe only for a
// file no process of the user can replace: one inside Program Files, the folder the driver
// service trusts for the same reason.
bool programMayAutostart() {
    ServiceManager* scm = platform.serviceManager;
    return insideProgramFiles(programFolder(programPath()),
                              scm != nullptr ? scm->programFilesFolder() : std::wstring());
}

enum class Owner {
    Nobody,   // the definition names no principal: Wine keeps none for any task
    ThisUser, // the account of this process, by SID or by name
    Other,    // another user, or a group
};

Owner ownerOf(const std::wstring& xml) {
    const std::wstring principal = taskPrincipal(xml);
    if (principal.empty())
        return Owner::Nobody;
    TaskScheduler* scheduler = platform.taskScheduler;
    if (scheduler != nullptr && (sameText(principal, scheduler->currentUserId()) ||
                                 sameText(principal, scheduler->currentUserName())))
        return Owner::ThisUser;
    return Owner::Other;
}

// The registered task, or false when there is none (or no scheduler).
bool readOwnTask(std::wstring* xml) {
    return platform.taskScheduler != nullptr &&
           platform.taskScheduler->readTask(AUTOSTART_TASK_NAME, xml);
}

bool startsThisProgram(const std::wstring& xml) {
    return sameText(taskProgram(xml), programPath()) && ownerOf(xml) == Owner::ThisUser;
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

enum class Registration { Done, NoPath, PathNotText, OutsideProgramFiles, OtherUsersTask, Refused };

Registration registerTask(bool minimized) {
    TaskScheduler* scheduler = platform.taskScheduler;
    AutostartTask task;
    task.programPath = programPath();
    task.userId = scheduler != nullptr ? scheduler->currentUserId() : std::wstring();
    task.minimized = minimized;
    std::wstring xml;
    const TaskXml made = autostartTaskXml(task, &xml);
    if (made == TaskXml::NoPath || made == TaskXml::PathTooLong)
        return Registration::NoPath;
    if (made == TaskXml::PathNotText)
        return Registration::PathNotText;
    if (!programMayAutostart())
        return Registration::OutsideProgramFiles;
    if (made != TaskXml::Done || scheduler == nullptr)
        return Registration::Refused;
    // There is one task of this name for the whole machine; registering would replace
    // another user's autostart with this one's.
    std::wstring existing;
    if (readOwnTask(&existing) && ownerOf(existing) == Owner::Other)
        return Registration::OtherUsersTask;
    if (!scheduler->registerTask(AUTOSTART_TASK_NAME, xml))
        return Registration::Refused;
    removeRunValue();
    return Registration::Done;
}

Notice refusal(Registration why) {
    switch (why) {
    case Registration::NoPath:
        return {text(TextId::NoticeAutostartNoPath), true};
    case Registration::PathNotText:
        return {text(TextId::NoticeAutostartBadPath), true};
    case Registration::OutsideProgramFiles:
        return {text(TextId::NoticeAutostartNotInstalled), true};
    case Registration::OtherUsersTask:
        return {text(TextId::NoticeAutostartForeignTask), true};
    case Registration::Done:
    case Registration::Refused:
        break;
    }
    return {text(TextId::NoticeAutostartRefused), true};
}

// A program that may not start with Windows keeps no way to: no Run value, and no task of
// this user's that an earlier version registered for it. False when such a task is left.
bool dropUnsafeAutostart() {
    removeRunValue();
    std::wstring xml;
    return !readOwnTask(&xml) || !startsThisProgram(xml) ||
           platform.taskScheduler->deleteTask(AUTOSTART_TASK_NAME);
}

} // namespace

bool readAutostartState() {
    std::wstring xml;
    return readOwnTask(&xml) && startsThisProgram(xml);
}

void migrateRunValue(Settings& settings, Notice& notice) {
    if (!runValuePresent())
        return;
    const Registration result = registerTask(settings.startMinimized);
    if (result == Registration::Done) {
        settings.autostartEnabled = true;
        return;
    }
    if (result == Registration::OutsideProgramFiles)
        removeRunValue();
    // Otherwise the value stays, and the next start tries again.
    notice = refusal(result);
}

void loadAutostartState(Settings& settings, Notice& notice) {
    settings.autostartEnabled = readAutostartState();
    if (settings.autostartEnabled && !programMayAutostart()) {
        settings.autostartEnabled = !dropUnsafeAutostart();
        notice = {text(TextId::NoticeAutostartNotInstalled), true};
    }
    migrateRunValue(settings, notice);
    settings.autostartPending = false;
}

void setAutostart(Settings& settings, Notice& notice, bool enable) {
    std::wstring xml;
    if (enable) {
        const Registration result = registerTask(settings.startMinimized);
        if (result == Registration::Done) {
            settings.autostartEnabled = true;
            notice = {settings.startMinimized ? text(TextId::NoticeAutostartOnMinimized)
                                              : text(TextId::NoticeAutostartOn),
                      false};
        } else {
            settings.autostartEnabled =
                result == Registration::OutsideProgramFiles && !dropUnsafeAutostart();
            notice = refusal(result);
        }
    } else if (readOwnTask(&xml) && ownerOf(xml) == Owner::Other) {
        // Not this user's to delete; and it starts nothing at this user's logon.
        removeRunValue();
        settings.autostartEnabled = false;
        notice = {text(TextId::NoticeAutostartOff), false};
    } else if (platform.taskScheduler != nullptr &&
               platform.taskScheduler->deleteTask(AUTOSTART_TASK_NAME)) {
        removeRunValue();
        settings.autostartEnabled = false;
        notice = {text(TextId::NoticeAutostartOff), false};
    } else {
        // The task is still there and still starts the program at the next logon.
        notice = {text(TextId::NoticeAutostartNotDeleted), true};
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
