#include "app/commands.h"
#include "app/control_recovery.h"
#include "app/power_source_follow.h"
#include "app/window_events.h"
#include "fakes/automation_fixture.h"
#include "regulation/power_source_rule.h"

#include <optional>

namespace {

constexpr PowerSource None = PowerSource::None;
constexpr PowerSource Battery = PowerSource::Battery;
constexpr PowerSource Mains = PowerSource::Mains;

class PowerSourceTest : public AutomationTest {
protected:
    void onBattery(bool battery) {
        systemInfo.acLine = battery ? 0 : 1;
        onPowerEvent(app, POWER_STATUS_CHANGE);
    }
    double fan0Target() const {
        return backend->rpmCalls.empty() ? -1.0 : backend->rpmCalls.front().rpm;
    }
};

} // namespace

TEST(PowerSourceRuleTest, TheSourceComesFromTheMainsStateOfAMachineWithABattery) {
    const struct {
        std::uint8_t ac, flag;
        PowerSource expected;
    } cases[] = {
        {0, 1, Battery}, {1, 8, Mains},  {0, 2 | 8, Battery}, {255, 1, None},
        {1, 128, None},  {0, 128, None}, {1, 255, None},      {0, 255, None},
        {7, 1, None},    {1, 0, Mains}, // 0: a battery between low and high
    };
    for (const auto& c : cases)
        EXPECT_EQ(powerSourceOf({c.ac, c.flag}), c.expected)
            << unsigned(c.ac) << " " << unsigned(c.flag);
}

TEST(PowerSourceRuleTest, OnlyAChangeToAKnownSourceSwitchesAndOnlyWhenOn) {
    AutomationSettings on;
    on.followPowerSource = true;
    on.batteryMode = ControlMode::Quiet;
    on.mainsMode = ControlMode::Max;
    AutomationSettings off = on;
    off.followPowerSource = false;
    const struct {
        const AutomationSettings& settings;
        PowerSource before, now;
        std::optional<ControlMode> expected;
    } cases[] = {
        {on, None, Battery, ControlMode::Quiet}, // at start
        {on, None, Mains, ControlMode::Max},
        {on, Mains, Battery, ControlMode::Quiet},
        {on, Battery, Mains, ControlMode::Max},
        {on, Battery, Battery, std::nullopt}, // the battery's level changed, not the source
        {on, Mains, Mains, std::nullopt},
        {on, Battery, None, std::nullopt}, // the battery is gone or unreadable
        {on, None, None, std::nullopt},
        {off, Mains, Battery, std::nullopt},
        {off, None, Mains, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(modeForPowerSource(c.settings, c.before, c.now), c.expected)
            << c.settings.followPowerSource << " " << int(c.before) << " " << int(c.now);
}

TEST(PowerSourceRuleTest, AChoiceBecomesTheSourcesMode) {
    const struct {
        bool on;
        PowerSource source;
        ControlMode battery, mains;
    } cases[] = {
        {true, Battery, ControlMode::Manual, ControlMode::Balanced},
        {true, Mains, ControlMode::Quiet, ControlMode::Manual},
        {true, None, ControlMode::Quiet, ControlMode::Balanced},
        // Off, the mains keeps the last choice made on it (its default), the battery its own.
        {false, Mains, ControlMode::Quiet, ControlMode::Manual},
        {false, Battery, ControlMode::Quiet, ControlMode::Balanced},
    };
    for (const auto& c : cases) {
        AutomationSettings a;
        a.followPowerSource = c.on;
        a.mainsMode = ControlMode::Balanced;
        rememberChosenMode(a, c.source, ControlMode::Manual);
        EXPECT_EQ(a.batteryMode, c.battery) << c.on << " " << int(c.source);
        EXPECT_EQ(a.mainsMode, c.mains) << c.on << " " << int(c.source);
    }
}

TEST_F(PowerSourceTest, FollowsTheSourceAndKeepsWhatTheUserChoseOnEach) {
    app.settings.automation.followPowerSource = true;
    app.settings.automation.mainsMode = ControlMode::Balanced;
    ASSERT_TRUE(followPowerSource(app)); // the start, on mains
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);

    backend->rpmCalls.clear();
    onBattery(true);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet); // the default for the battery
    EXPECT_EQ(fan0Target(), 1920.0);                  // 15 % of 1200..6000
    EXPECT_EQ(stored(L"ActiveProfile"), 2u);

    backend->rpmCalls.clear();
    onPowerEvent(app, POWER_STATUS_CHANGE); // only the battery's level changed
    EXPECT_TRUE(backend->rpmCalls.empty());

    ASSERT_TRUE(chooseMode(app, ControlMode::Max)); // by hand, on battery
    EXPECT_EQ(app.settings.automation.batteryMode, ControlMode::Max);
    EXPECT_EQ(stored(L"BatteryProfile"), 4u);
    EXPECT_EQ(app.settings.automation.mainsMode, ControlMode::Balanced);

    onBattery(false);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);
    onBattery(true);
    EXPECT_EQ(app.settings.mode, ControlMode::Max);

    // A choice that was refused (no temperature measured since the connect) is none.
    app.regulation.safety.cpuAge = -1;
    EXPECT_FALSE(chooseMode(app, ControlMode::Manual));
    EXPECT_EQ(app.settings.automation.batteryMode, ControlMode::Max);
}

TEST_F(PowerSourceTest, AMachineWithoutABatteryNeverSwitches) {
    systemInfo.battery = BATTERY_FLAG_NO_BATTERY;
    app.settings.automation.mainsMode = ControlMode::Max;
    togglePowerSourceFollowing(app);
    EXPECT_TRUE(app.settings.automation.followPowerSource);
    EXPECT_EQ(stored(L"PowerSourceSwitch"), 1u);
    EXPECT_EQ(app.regulation.notice.text,
              L"Kein Akku erkannt: die Modi wechseln auf diesem Gerät nicht automatisch.");
    for (std::uint8_t ac : {0, 1, 0}) {
        systemInfo.acLine = ac;
        onPowerEvent(app, POWER_STATUS_CHANGE);
    }
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(PowerSourceTest, SwitchingOnAppliesTheSourcesModeAndPickingOneForItAppliesItToo) {
    systemInfo.acLine = 0;
    togglePowerSourceFollowing(app);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
    handleCommand(app, CMD_BATTERY_MODE_FIRST + 3);
    EXPECT_EQ(app.settings.automation.batteryMode, ControlMode::Balanced);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);
    EXPECT_EQ(stored(L"BatteryProfile"), 3u);
    // The other source's mode waits for that source.
    handleCommand(app, CMD_MAINS_MODE_FIRST + 4);
    EXPECT_EQ(app.settings.automation.mainsMode, ControlMode::Max);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);
    EXPECT_EQ(stored(L"MainsProfile"), 4u);
    // Switched off, nothing follows the source any more.
    togglePowerSourceFollowing(app);
    onBattery(false);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);
}

TEST_F(PowerSourceTest, TheWakeAppliesTheModeOfASourceThatChangedDuringTheSleep) {
    backend->connected = true;
    app.settings.automation.followPowerSource = true;
    followPowerSource(app); // on mains: System-Auto, the default
    chooseMode(app, ControlMode::Balanced);
    onPowerEvent(app, POWER_SUSPEND);
    systemInfo.acLine = 0; // unplugged while asleep
    onPowerEvent(app, POWER_STATUS_CHANGE);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced) << "nothing is applied while asleep";
    onPowerEvent(app, POWER_RESUME_AUTOMATIC);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
    EXPECT_EQ(app.settings.automation.mainsMode, ControlMode::Balanced);
}
