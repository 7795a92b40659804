#include "app/automation_input.h"

#include "app/commands.h"
#include "app/measurement_log.h"
#include "app/power_source_follow.h"
#include "base/texts.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "regulation/control_modes.h"
#include "settings/registry_settings.h"
#include "ui/hit_region.h"

std::vector<MenuEntry> modeMenu(std::uint32_t first, ControlMode current) {
    std::vector<MenuEntry> entries;
    for (std::uint32_t m = 0; m < 6; ++m) {
        const auto mode = static_cast<ControlMode>(m);
        MenuEntry entry;
        entry.id = first + m;
        entry.text = controlModeName(mode);
        entry.checked = mode == current;
        entries.push_back(entry);
    }
    return entries;
}

void openLogFolder(AppState& app) {
    const std::wstring folder = logFolder();
    if (folder.empty() || !platform.fileSystem->createFolder(folder) ||
        !platform.fileSystem->openFolder(folder))
        app.regulation.notice = {text(TextId::NoticeLogFolder), true};
}

bool onAutomationRegion(AppState& app, std::int32_t regionId) {
    WindowHost* host = platform.windowHost;
    AutomationSettings& automation = app.settings.automation;
    switch (regionId) {
    case REGION_POWER_SOURCE_SWITCH:
        togglePowerSourceFollowing(app);
        return true;
    case REGION_BATTERY_MODE:
        if (host)
            host->trackPopupMenu(modeMenu(CMD_BATTERY_MODE_FIRST, automation.batteryMode));
        return true;
    case REGION_MAINS_MODE:
        if (host)
            host->trackPopupMenu(modeMenu(CMD_MAINS_MODE_FIRST, automation.mainsMode));
        return true;
    case REGION_CSV_LOG_SWITCH:
        // The next tick starts or stops the log.
        automation.csvLog = !automation.csvLog;
        saveSettings(app.settings);
        break;
    case REGION_OPEN_LOG_FOLDER:
        openLogFolder(app);
        break;
    default:
        return false;
    }
    if (host)
        host->invalidate(false);
    return true;
}
