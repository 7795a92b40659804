#include "settings/autostart.h"

#include "app/app_state.h"
#include "base/bounded_format.h"
#include "base/utf16.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "settings/registry_settings.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr wchar_t NOTICE_ENABLED_MINIMIZED[] =
    L"Windows-Autostart aktiviert (startet minimiert im System-Tray).";
constexpr wchar_t NOTICE_ENABLED[] = L"Windows-Autostart aktiviert.";
constexpr wchar_t NOTICE_DISABLED[] = L"Windows-Autostart deaktiviert.";
constexpr wchar_t NOTICE_NO_COMMAND_LINE[] =
    L"Windows-Autostart nicht möglich: Programmpfad unbekannt oder zu lang.";

std::wstring programPath() {
    return platform.systemInfo != nullptr ? platform.systemInfo->modulePath() : std::wstring();
}

} // namespace

bool autostartCommandLine(const std::wstring& programPath, bool minimized, std::wstring* out) {
    if (programPath.empty() || programPath.size() >= MODULE_PATH_CAPACITY ||
        programPath.find(L'\0') != std::wstring::npos)
        return false;
    const std::wstring suffix = minimized ? L" --minimized" : L"";
    const std::size_t expected = programPath.size() + 2 + suffix.size();
    std::array<wchar_t, COMMAND_LINE_CAPACITY> line{};
    const std::size_t written =
        minimized
            ? formatBounded(line.data(), line.size(), L"\"%ls\" --minimized", programPath.c_str())
            : formatBounded(line.data(), line.size(), L"\"%ls\"", programPath.c_str());
    if (written != expected)
        return false;
    *out = std::wstring(line.data(), written);
    return true;
}

bool readAutostartState() {
    RegistryKey key(platform.registry);
    if (!key.open(RegistryRoot::CurrentUser, RUN_KEY_PATH, RegistryAccess::Read))
        return false;
    std::vector<std::uint8_t> buffer(RUN_VALUE_MAX_BYTES);
    return key.query(RUN_VALUE_NAME, buffer.data(), RUN_VALUE_MAX_BYTES, nullptr, nullptr);
}

void setAutostart(bool enable) {
    const bool previous = appState.autostartEnabled;
    appState.autostartEnabled = enable;

    RegistryKey key(platform.registry);
    if (key.open(RegistryRoot::CurrentUser, RUN_KEY_PATH, RegistryAccess::Write)) {
        if (enable) {
            std::wstring line;
            if (autostartCommandLine(programPath(), appState.startMinimized, &line)) {
                const std::vector<std::uint8_t> data = utf16leBytes(line);
                key.set(RUN_VALUE_NAME, REGISTRY_TYPE_SZ, data.data(),
                        static_cast<std::uint32_t>(data.size()));
                appState.noticeText =
                    appState.startMinimized ? NOTICE_ENABLED_MINIMIZED : NOTICE_ENABLED;
                appState.noticeIsError = false;
            } else {
                // Nothing was registered, so the state stays what the registry still says.
                appState.autostartEnabled = previous;
                appState.noticeText = NOTICE_NO_COMMAND_LINE;
                appState.noticeIsError = true;
            }
        } else {
            key.remove(RUN_VALUE_NAME);
            appState.noticeText = NOTICE_DISABLED;
            appState.noticeIsError = false;
        }
        key.close();
    }
    saveSettings();
}

void toggleStartMinimized() {
    appState.startMinimized = !appState.startMinimized;
    if (appState.autostartEnabled)
        setAutostart(true); // saves too
    else
        saveSettings();
}
