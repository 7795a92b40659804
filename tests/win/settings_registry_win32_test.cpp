#include "app/app_state.h"
#include "base/utf16.h"
#include "fakes/fake_system_info.h"
#include "platform/platform.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_task_scheduler.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"
#include "win/run_process.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

namespace {

// The settings and the autostart in the prefix's real registry and Task Scheduler, read back
// both through the API and by Wine's own reg.exe.
class SettingsRegistryWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        platform = Platform{};
        platform.registry = &registry;
        platform.systemInfo = &systemInfo;
        platform.taskScheduler = &scheduler;
        platform.serviceManager = &services;
        // Where the setup puts the program: the only place it may start with Windows from.
        systemInfo.path = services.programFilesFolder() + L"\\Ventrasol\\ventrasol.exe";
        clean();
    }
    void TearDown() override {
        clean();
        platform = Platform{};
    }
    void clean() {
        scheduler.deleteTask(L"Ventrasol");
        RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_KEY_PATH);
        HKEY run = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY_PATH, 0, KEY_WRITE, &run) == ERROR_SUCCESS) {
            RegDeleteValueW(run, RUN_VALUE_NAME);
            RegCloseKey(run);
        }
    }

    static void seedRunValue(DWORD bytes) {
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY_PATH, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &run, nullptr),
                  ERROR_SUCCESS);
        const std::vector<BYTE> text(bytes, 0x41);
        RegSetValueExW(run, RUN_VALUE_NAME, 0, REG_SZ, text.data(), bytes);
        RegCloseKey(run);
    }

    struct RawValue {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool found = false;
    };
    static RawValue raw(const wchar_t* path, const wchar_t* name) {
        RawValue v;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return v;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
            v.data.resize(size);
            v.found = RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size) ==
                      ERROR_SUCCESS;
        }
        RegCloseKey(key);
        return v;
    }

    // reg.exe query output as name -> {type, data text}.
    static std::map<std::string, std::pair<std::string, std::string>>
    regQuery(const std::wstring& key, unsigned long* exitCode) {
        std::string output;
        std::map<std::string, std::pair<std::string, std::string>> values;
        if (!runAndCapture(L"C:\\windows\\system32\\reg.exe query \"" + key + L"\"", 30000, &output,
                           exitCode))
            return values;
        std::istringstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::istringstream fields(line);
            std::string name, type, data;
            if (!(fields >> name >> type))
                continue;
            std::getline(fields, data);
            const auto start = data.find_first_not_of(' ');
            data = start == std::string::npos ? "" : data.substr(start);
            if (type.rfind("REG_", 0) == 0)
                values[name] = {type, data};
        }
        return values;
    }

    Win32Registry registry;
    FakeSystemInfo systemInfo;
    Win32TaskScheduler scheduler;
    Win32ServiceManager services;
    Settings settings;
    Notice notice;
};

} // namespace

TEST_F(SettingsRegistryWin32Test, TheFirstSaveCreatesAllValuesWithTheirTypesAndSizes) {
    EXPECT_FALSE(loadSettings(settings)); // first run: no key yet
    EXPECT_EQ(settings.curve, DEFAULT_CURVE);
    settings.manualRpm[0] = 2200.9;
    ASSERT_TRUE(saveSettings(settings));

    // The eight values of every version, then the automation options.
    const std::vector<std::pair<const wchar_t*, DWORD>> dwords = {
        {L"ActiveProfile", 0},    {L"CurveSource", 0},       {L"LinkFans", 1},
        {L"StartMinimized", 1},   {L"ResetOnExit", 1},       {L"ManualRPM0", 2200},
        {L"ManualRPM1", 2000},    {L"TrayTemperature", 1},   {L"Notifications", 1},
        {L"AlarmTemperature", 90}, {L"PowerSourceSwitch", 0}, {L"BatteryProfile", 2},
        {L"MainsProfile", 0},     {L"CsvLog", 0}};
    for (const auto& [name, expected] : dwords) {
        const RawValue v = raw(SETTINGS_KEY_PATH, name);
        ASSERT_TRUE(v.found);
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
        ASSERT_EQ(v.data.size(), 4u);
        EXPECT_EQ(*reinterpret_cast<const DWORD*>(v.data.data()), expected);
    }
    const RawValue curve = raw(SETTINGS_KEY_PATH, L"CurvePoints");
    EXPECT_EQ(curve.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(curve.data.size(), 64u);
    const double* points = reinterpret_cast<const double*>(curve.data.data());
    EXPECT_EQ(points[0], 45.0);
    EXPECT_EQ(points[5], 60.0);
    EXPECT_EQ(points[7], 100.0);

    unsigned long exitCode = 99;
    const auto listed = regQuery(L"HKCU\\Software\\Ventrasol", &exitCode);
    EXPECT_EQ(exitCode, 0ul);
    ASSERT_EQ(listed.size(), 15u);
    for (const auto& [name, expected] : dwords) {
        const std::string narrow(name, name + wcslen(name));
        ASSERT_TRUE(listed.count(narrow)) << narrow;
        EXPECT_EQ(listed.at(narrow).first, "REG_DWORD") << narrow;
        EXPECT_EQ(std::stoul(listed.at(narrow).second, nullptr, 16), expected) << narrow;
    }
    ASSERT_TRUE(listed.count("CurvePoints"));
    EXPECT_EQ(listed.at("CurvePoints").first, "REG_BINARY");
    // 64 bytes as hex; 45.0 is 0x4046800000000000, little-endian.
    EXPECT_EQ(listed.at("CurvePoints").second.size(), 128u);
    EXPECT_EQ(listed.at("CurvePoints").second.substr(0, 16), "0000000000804640");

    // What was saved comes back.
    settings = Settings{};
    settings.linkSliders = false;
    EXPECT_TRUE(loadSettings(settings));
    EXPECT_TRUE(settings.linkSliders);
    EXPECT_EQ(settings.manualRpm[0], 2200.0);
    EXPECT_EQ(settings.curve, DEFAULT_CURVE);
}

TEST_F(SettingsRegistryWin32Test, AutostartRegistersTheTaskRemovesTheRunValueAndDeletesIt) {
    seedRunValue(64);
    settings.startMinimized = true;
    setAutostart(settings, notice, true);
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_EQ(notice.text, L"Windows-Autostart aktiviert (startet minimiert im System-Tray).");
    std::wstring xml;
    EXPECT_TRUE(scheduler.readTask(L"Ventrasol", &xml));
    EXPECT_FALSE(raw(RUN_KEY_PATH, RUN_VALUE_NAME).found);
    unsigned long exitCode = 99;
    EXPECT_EQ(regQuery(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", &exitCode)
                  .count("Ventrasol"),
              0u);

    settings.startMinimized = false;
    setAutostart(settings, notice, true); // registered again over the existing one
    EXPECT_TRUE(scheduler.readTask(L"Ventrasol", &xml));

    setAutostart(settings, notice, false);
    EXPECT_FALSE(scheduler.readTask(L"Ventrasol", &xml));
    EXPECT_FALSE(readAutostartState());
    setAutostart(settings, notice,
                 false); // nothing left to delete: harmless, and the settings are saved
    EXPECT_EQ(notice.text, L"Windows-Autostart deaktiviert.");
    EXPECT_TRUE(raw(SETTINGS_KEY_PATH, L"CurvePoints").found);

    // From a folder the user can write, nothing is registered.
    systemInfo.path = L"C:\\users\\Public\\ventrasol.exe";
    setAutostart(settings, notice, true);
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_FALSE(scheduler.readTask(L"Ventrasol", &xml));
    EXPECT_TRUE(notice.isError);
}

TEST_F(SettingsRegistryWin32Test, ARunValueBecomesTheTaskUnlessItIsLongerThanOneKilobyte) {
    seedRunValue(1026);
    migrateRunValue(settings, notice);
    std::wstring xml;
    EXPECT_FALSE(scheduler.readTask(L"Ventrasol", &xml));
    EXPECT_TRUE(raw(RUN_KEY_PATH, RUN_VALUE_NAME).found);
    seedRunValue(1024);
    migrateRunValue(settings, notice);
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_TRUE(scheduler.readTask(L"Ventrasol", &xml));
    EXPECT_FALSE(raw(RUN_KEY_PATH, RUN_VALUE_NAME).found);
}
