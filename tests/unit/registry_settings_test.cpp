#include "fakes/fake_platform_fixture.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"
#include "settings/tray_options.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

std::vector<std::uint8_t> curveBytes(const std::vector<double>& numbers) {
    std::vector<std::uint8_t> out;
    for (double d : numbers) {
        auto bits = std::bit_cast<std::uint64_t>(d);
        for (int i = 0; i < 8; ++i, bits >>= 8)
            out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    }
    return out;
}

class SettingsTest : public FakePlatformTest {
protected:
    Settings settings;
    void store(const wchar_t* name, std::uint32_t value) {
        registry.setDword(HKCU, SETTINGS_KEY_PATH, name, value);
    }
    std::uint32_t stored(const wchar_t* name) const {
        return registry.dword(HKCU, SETTINGS_KEY_PATH, name).value_or(0xDEADBEEF);
    }
};

} // namespace

TEST_F(SettingsTest, FirstRunKeepsTheDefaultsAndTheFirstSaveWritesAllValuesInOrder) {
    EXPECT_FALSE(loadSettings(settings));
    EXPECT_EQ(settings.curve, DEFAULT_CURVE);
    EXPECT_EQ(settings.manualRpm[0], 2200.0);
    EXPECT_EQ(settings.manualRpm[1], 2000.0);
    EXPECT_TRUE(settings.linkSliders && settings.startMinimized && settings.resetFansOnExit);
    EXPECT_FALSE(registry.hasKey(HKCU, SETTINGS_KEY_PATH));

    ASSERT_TRUE(saveSettings(settings));
    // The eight values of the first versions as they were, then the tray's, then the
    // automation options.
    const std::vector<std::wstring> order = {
        L"ActiveProfile",  L"CurveSource",      L"LinkFans",
        L"StartMinimized", L"ResetOnExit",      L"ManualRPM0",
        L"ManualRPM1",     L"CurvePoints",      L"TrayTemperature",
        L"Notifications",  L"AlarmTemperature", L"PowerSourceSwitch",
        L"BatteryProfile", L"MainsProfile",     L"CsvLog"};
    EXPECT_EQ(registry.writes, order);
    EXPECT_EQ(registry.valueNames(HKCU, SETTINGS_KEY_PATH), order);
    EXPECT_EQ(stored(L"ActiveProfile"), 0u);
    EXPECT_EQ(stored(L"CurveSource"), 0u);
    EXPECT_EQ(stored(L"LinkFans"), 1u);
    EXPECT_EQ(stored(L"StartMinimized"), 1u);
    EXPECT_EQ(stored(L"ResetOnExit"), 1u);
    EXPECT_EQ(stored(L"ManualRPM0"), 2200u);
    EXPECT_EQ(stored(L"ManualRPM1"), 2000u);
    const auto curve = registry.value(HKCU, SETTINGS_KEY_PATH, L"CurvePoints");
    ASSERT_TRUE(curve);
    EXPECT_EQ(curve->type, REGISTRY_TYPE_BINARY);
    EXPECT_EQ(curve->data, curveBytes({45, 0, 60, 30, 72, 60, 85, 100}));
    EXPECT_EQ(stored(L"TrayTemperature"), 1u);
    EXPECT_EQ(stored(L"Notifications"), 1u);
    EXPECT_EQ(stored(L"AlarmTemperature"), 90u);
    EXPECT_EQ(registry.value(HKCU, SETTINGS_KEY_PATH, L"AlarmTemperature")->type,
              REGISTRY_TYPE_DWORD);
    EXPECT_EQ(stored(L"PowerSourceSwitch"), 0u);
    EXPECT_EQ(stored(L"BatteryProfile"), 2u);
    EXPECT_EQ(stored(L"MainsProfile"), 0u);
    EXPECT_EQ(stored(L"CsvLog"), 0u);
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(SettingsTest, TheTraysValuesComeBackAndAnythingOddKeepsTheDefault) {
    settings.tray = {false, false, 105};
    ASSERT_TRUE(saveSettings(settings));
    settings = Settings{};
    ASSERT_TRUE(loadSettings(settings));
    EXPECT_EQ(settings.tray, (TrayOptions{false, false, 105}));
    // Each value alone: a four-byte REG_DWORD only, the alarm within 60..105.
    const struct {
        const wchar_t* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        TrayOptions loaded;
    } cases[] = {
        {L"Notifications", REGISTRY_TYPE_DWORD, {0, 0, 0, 2}, {true, true, 90}},
        {L"Notifications", REGISTRY_TYPE_SZ, {'0', 0, 0, 0}, {true, true, 90}},
        {L"Notifications", REGISTRY_TYPE_DWORD, {0, 0}, {true, true, 90}},
        {L"AlarmTemperature", REGISTRY_TYPE_DWORD, {60, 0, 0, 0}, {true, true, 60}},
        {L"AlarmTemperature", REGISTRY_TYPE_DWORD, {106, 0, 0, 0}, {true, true, 90}},
        {L"AlarmTemperature", REGISTRY_TYPE_DWORD, {80, 0, 0, 0x80}, {true, true, 90}},
        {L"AlarmTemperature", REGISTRY_TYPE_QWORD, {80, 0, 0, 0, 0, 0, 0, 0}, {true, true, 90}},
    };
    for (const auto& c : cases) {
        for (const wchar_t* name : {L"TrayTemperature", L"Notifications", L"AlarmTemperature"})
            registry.removeValue(HKCU, SETTINGS_KEY_PATH, name);
        registry.setRaw(HKCU, SETTINGS_KEY_PATH, c.name, c.type, c.data);
        settings = Settings{};
        ASSERT_TRUE(loadSettings(settings));
        EXPECT_EQ(settings.tray, c.loaded) << c.data.size();
    }
    // A save never stores an alarm beyond the range.
    settings.tray.alarmCelsius = 500;
    ASSERT_TRUE(saveSettings(settings));
    EXPECT_EQ(stored(L"AlarmTemperature"), 105u);
}

TEST_F(SettingsTest, AutomationOptionsComeBackAndBadValuesKeepTheirDefaults) {
    settings.automation = {true, ControlMode::Max, ControlMode::Curve, true};
    ASSERT_TRUE(saveSettings(settings));
    Settings loaded;
    ASSERT_TRUE(loadSettings(loaded));
    EXPECT_TRUE(loaded.automation.followPowerSource && loaded.automation.csvLog);
    EXPECT_EQ(loaded.automation.batteryMode, ControlMode::Max);
    EXPECT_EQ(loaded.automation.mainsMode, ControlMode::Curve);

    const struct {
        const wchar_t* name;
        std::vector<std::uint8_t> data;
    } corrupt[] = {
        {L"BatteryProfile", {6, 0, 0, 0}},                // no such mode
        {L"MainsProfile", {0xFF, 0xFF, 0xFF, 0xFF}},      // -1
        {L"PowerSourceSwitch", {1, 0, 0, 0, 0, 0, 0, 0}}, // too long for a DWORD
        {L"CsvLog", std::vector<std::uint8_t>(16, 1)},
    };
    for (const auto& c : corrupt)
        registry.setRaw(HKCU, SETTINGS_KEY_PATH, c.name, REGISTRY_TYPE_BINARY, c.data);
    store(L"LinkFans", 0);
    loaded = Settings{};
    ASSERT_TRUE(loadSettings(loaded));
    EXPECT_FALSE(loaded.automation.followPowerSource || loaded.automation.csvLog);
    EXPECT_EQ(loaded.automation.batteryMode, ControlMode::Quiet);
    EXPECT_EQ(loaded.automation.mainsMode, ControlMode::SystemAuto);
    EXPECT_FALSE(loaded.linkSliders) << "the other values still load";
}

TEST_F(SettingsTest, EverySavedFieldComesBackExceptTheMode) {
    settings.mode = ControlMode::Manual;
    settings.linkSliders = false;
    settings.startMinimized = false;
    settings.resetFansOnExit = false;
    settings.manualRpm = {2200.9, 7999.99};
    settings.curve = {{{35.5, 5.25}, {50, 20}, {70, 70}, {95, 100}}};
    ASSERT_TRUE(saveSettings(settings));
    EXPECT_EQ(stored(L"ActiveProfile"), 5u);
    EXPECT_EQ(stored(L"ManualRPM0"), 2200u); // truncated toward zero
    EXPECT_EQ(stored(L"ManualRPM1"), 7999u);
    EXPECT_EQ(stored(L"LinkFans"), 0u);

    settings = Settings{};
    ASSERT_TRUE(loadSettings(settings));
    EXPECT_EQ(settings.mode, ControlMode::SystemAuto); // "ActiveProfile" is never read
    EXPECT_FALSE(settings.linkSliders || settings.startMinimized || settings.resetFansOnExit);
    EXPECT_EQ(settings.manualRpm[0], 2200.0);
    EXPECT_EQ(settings.manualRpm[1], 7999.0);
    EXPECT_EQ(settings.curve, (FanCurve{{{35.5, 5.25}, {50, 20}, {70, 70}, {95, 100}}}));
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(SettingsTest, ManualSpeedsAreTakenOnlyFrom500To8000) {
    const struct {
        std::uint32_t stored;
        double expected;
    } cases[] = {{499, 2200},  {8001, 2200},       {500, 500},
                 {8000, 8000}, {0xFFFFFFFF, 2200}, {0, 2200}};
    for (const auto& c : cases) {
        settings = Settings{};
        store(L"ManualRPM0", c.stored);
        store(L"ManualRPM1", c.stored);
        loadSettings(settings);
        EXPECT_EQ(settings.manualRpm[0], c.expected) << c.stored;
        EXPECT_EQ(settings.manualRpm[1], c.expected == 2200 ? 2000 : c.expected) << c.stored;
    }
}

TEST_F(SettingsTest, CurveSourceAndFlagsFollowTheirRulesValueByValue) {
    store(L"CurveSource", 3);
    store(L"LinkFans", 7);
    store(L"StartMinimized", 0);
    store(L"ResetOnExit", 0x80000000u);
    store(L"ManualRPM0", 9000); // rejected alone; the others still load
    store(L"ManualRPM1", 3000);
    loadSettings(settings);
    EXPECT_EQ(settings.curveSource, 0);
    EXPECT_TRUE(settings.linkSliders);
    EXPECT_FALSE(settings.startMinimized);
    EXPECT_TRUE(settings.resetFansOnExit);
    EXPECT_EQ(settings.manualRpm[0], 2200.0);
    EXPECT_EQ(settings.manualRpm[1], 3000.0);

    store(L"CurveSource", 0xFFFFFFFF); // -1 is out of range as an unsigned number
    loadSettings(settings);
    EXPECT_EQ(settings.curveSource, 0);
    store(L"CurveSource", 2);
    loadSettings(settings);
    EXPECT_EQ(settings.curveSource, 2);
    settings.curveSource = 1;
    saveSettings(settings); // written back as it is, no control changes it
    EXPECT_EQ(stored(L"CurveSource"), 1u);
}

TEST_F(SettingsTest, ValuesOfOtherTypesAreReadByTheirBytesWhenTheyFit) {
    // Four bytes of any type are taken as a little-endian number.
    registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"ManualRPM0", REGISTRY_TYPE_BINARY,
                    {0x20, 0x08, 0, 0});
    registry.setString(HKCU, SETTINGS_KEY_PATH, L"StartMinimized", L"0"); // 0x30 0 0 0
    // A shorter value leaves the high bytes zero; a longer one is rejected.
    registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"ManualRPM1", REGISTRY_TYPE_BINARY, {0xE8, 0x03});
    registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"ResetOnExit", REGISTRY_TYPE_QWORD,
                    {0, 0, 0, 0, 0, 0, 0, 0});
    registry.setString(HKCU, SETTINGS_KEY_PATH, L"LinkFans", L"00"); // six bytes: too long
    settings.linkSliders = false;
    loadSettings(settings);
    EXPECT_EQ(settings.manualRpm[0], 2080.0);
    EXPECT_TRUE(settings.startMinimized);
    EXPECT_EQ(settings.manualRpm[1], 1000.0);
    EXPECT_TRUE(settings.resetFansOnExit);
    EXPECT_FALSE(settings.linkSliders);
}

TEST_F(SettingsTest, TheCurveIsReplacedOnlyByExactly64BytesOfFiniteNumbersWithinTheEditorsLimits) {
    const std::vector<double> odd = {-10, 0, 60, -5, 250, 400, 72, 60};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<std::uint8_t>> rejected = {
        curveBytes({45, 0, 60, 30, 72, 60}),
        curveBytes({45, 0, 60, 30, 72, 60, 85, 100, 90, 100}),
        curveBytes({45, 0, 60, nan, 72, 60, 85, 100}),
        curveBytes({45, 0, 60, 30, 72, 60, -inf, 100}),
        curveBytes({45, 0, 60, 30, 72, 60, 85, inf}),
        {},
    };
    for (const auto& bytes : rejected) {
        settings = Settings{};
        registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"CurvePoints", REGISTRY_TYPE_BINARY, bytes);
        store(L"ManualRPM0", 3000);
        loadSettings(settings);
        EXPECT_EQ(settings.curve, DEFAULT_CURVE) << bytes.size();
        EXPECT_EQ(settings.manualRpm[0], 3000.0);
    }
    // Finite numbers are clamped into the editor's 35..95 degrees and 0..100 percent, whatever
    // the value's type; the order of the points is left as stored.
    registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"CurvePoints", REGISTRY_TYPE_NONE, curveBytes(odd));
    loadSettings(settings);
    EXPECT_EQ(settings.curve, (FanCurve{{{35, 0}, {60, 0}, {95, 100}, {72, 60}}}));
    registry.setRaw(HKCU, SETTINGS_KEY_PATH, L"CurvePoints", REGISTRY_TYPE_BINARY,
                    curveBytes({1000, 100, 34.99, 100.01, 95, -0.01, 35, 1e300}));
    loadSettings(settings);
    EXPECT_EQ(settings.curve, (FanCurve{{{95, 100}, {35, 100}, {95, 0}, {35, 100}}}));
}

TEST_F(SettingsTest, AStoredManualProfileStillStartsInSystemAuto) {
    store(L"ActiveProfile", 5);
    loadSettings(settings);
    EXPECT_EQ(settings.mode, ControlMode::SystemAuto);
    settings.mode = ControlMode::Quiet;
    saveSettings(settings);
    EXPECT_EQ(stored(L"ActiveProfile"), 2u);
}

TEST_F(SettingsTest, SpeedsNoIntegerCanHoldAreStoredWithoutUndefinedConversion) {
    settings.manualRpm = {-3.7, std::numeric_limits<double>::quiet_NaN()};
    saveSettings(settings);
    EXPECT_EQ(stored(L"ManualRPM0"), static_cast<std::uint32_t>(-3));
    EXPECT_EQ(stored(L"ManualRPM1"), 0u);
    settings.manualRpm = {1e12, -1e12};
    saveSettings(settings);
    EXPECT_EQ(stored(L"ManualRPM0"), 0x7FFFFFFFu);
    EXPECT_EQ(stored(L"ManualRPM1"), 0x80000000u);
}

TEST_F(SettingsTest, UnreachableRegistryLeavesEverythingAsItWas) {
    registry.denyWrite(HKCU, SETTINGS_KEY_PATH);
    EXPECT_FALSE(saveSettings(settings));
    EXPECT_TRUE(registry.writes.empty());

    platform.registry = nullptr;
    settings.manualRpm[0] = 3000;
    EXPECT_FALSE(loadSettings(settings));
    EXPECT_FALSE(saveSettings(settings));
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_EQ(settings.manualRpm[0], 3000.0);
}

TEST_F(SettingsTest, TheAutostartStateIsLookedUpApartFromTheSettingsKey) {
    Notice startNotice;
    // An earlier version's Run value turns into the task even on a first run.
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"C:\\x.exe\"");
    settings.autostartPending = true;
    EXPECT_FALSE(loadSettings(settings));
    EXPECT_FALSE(settings.autostartEnabled); // the values alone never ask the scheduler
    EXPECT_TRUE(scheduler.tasks.empty());
    loadAutostartState(settings, startNotice);
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_FALSE(settings.autostartPending);
    EXPECT_EQ(scheduler.tasks.count(L"Ventrasol"), 1u);
    EXPECT_FALSE(registry.value(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME));
    loadAutostartState(settings, startNotice);
    EXPECT_TRUE(settings.autostartEnabled); // the task itself
    scheduler.tasks.clear();
    store(L"LinkFans", 0);
    EXPECT_TRUE(loadSettings(settings));
    loadAutostartState(settings, startNotice);
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_EQ(startNotice.text, L""); // nothing to say
    EXPECT_EQ(registry.openKeyCount(), 0);
}
