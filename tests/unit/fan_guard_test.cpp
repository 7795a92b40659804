#include "app/control_recovery.h"
#include "fakes/recording_controller.h"
#include "fakes/regulation_fixture.h"
#include "regulation/control_modes.h"
#include "regulation/fan_guard.h"
#include "regulation/periodic_tick.h"
#include "settings/registry_settings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using RpmCall = RecordingController::RpmCall;
constexpr double NOT_READ = std::numeric_limits<double>::quiet_NaN();

// A backend whose fans follow what it was told (mode flags included), polled once.
class FanGuardTest : public RegulationTest {
protected:
    RecordingController& install() {
        auto owned = std::make_unique<RecordingController>();
        owned->fanChannels = {makeFan(0, 1200, 6000, 2000), makeFan(1, 1000, 5000, 1800)};
        owned->readings = {SensorReading{L"TC0P", L"CPU", L"CPU", L"°C", 50.0},
                           SensorReading{L"TG0P", L"GPU", L"GPU", L"°C", 40.0}};
        owned->connected = true;
        backend = owned.get();
        regulation.controller = std::move(owned);
        runTick(regulation, settings);
        return *backend;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            runTick(regulation, settings);
    }
    int calls(const std::string& name) const {
        return static_cast<int>(std::count(backend->calls.begin(), backend->calls.end(), name));
    }
    std::uint32_t savedProfile() const {
        return registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH, L"ActiveProfile")
            .value_or(0xDEAD);
    }
    RecordingController* backend = nullptr;
};

} // namespace

TEST_F(FanGuardTest, AValueNotRefreshedForFiveTicksIsLostAndComesBackWithTheNextReading) {
    RecordingController& b = install();
    b.cpu = NOT_READ;
    b.readings.erase(b.readings.begin()); // TC0P no longer answers
    for (int tick = 1; tick <= 5; ++tick) {
        runTick(regulation, settings);
        EXPECT_EQ(regulation.readings.cpuTempLost, tick >= 5) << "tick " << tick;
        EXPECT_EQ(regulation.readings.sensorList[1].lost, tick >= 5) << "tick " << tick;
        EXPECT_EQ(regulation.readings.cpuTemp, 50.0); // the last value is kept, not zeroed
    }
    // The unanswered row stays, after the answered ones, which stay live.
    ASSERT_EQ(regulation.readings.sensorList.size(), 2u);
    EXPECT_EQ(regulation.readings.sensorList[1].key, L"TC0P");
    EXPECT_EQ(regulation.readings.sensorList[1].value, 50.0);
    EXPECT_FALSE(regulation.readings.sensorList[0].lost);
    EXPECT_FALSE(regulation.readings.gpuTempLost);

    b.cpu = 61.0;
    b.readings.insert(b.readings.begin(), SensorReading{L"TC0P", L"CPU", L"CPU", L"°C", 61.0});
    runTick(regulation, settings);
    EXPECT_FALSE(regulation.readings.cpuTempLost);
    EXPECT_EQ(regulation.readings.sensorList[0].key, L"TC0P"); // back in the backend's order
    EXPECT_FALSE(regulation.readings.sensorList[0].lost);
    EXPECT_EQ(regulation.readings.cpuTemp, 61.0);
    EXPECT_EQ(regulation.readings.sensorList[0].value, 61.0);
}

TEST_F(FanGuardTest, ALostControlTemperatureEndsEveryCommandedMode) {
    struct Case {
        ControlMode mode;
        std::int32_t curveSource;
        bool cpuLost; // otherwise the GPU is lost
        bool handedBack;
    };
    const Case cases[] = {
        {ControlMode::Quiet, 0, true, true},   {ControlMode::Manual, 0, false, true},
        {ControlMode::Max, 0, true, true},     {ControlMode::Curve, 0, false, true},
        {ControlMode::Curve, 1, false, false}, {ControlMode::Curve, 2, false, true},
        {ControlMode::Curve, 2, true, false},  {ControlMode::SystemAuto, 0, true, false},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        regulation = RegulationState{};
        RecordingController& b = install();
        settings.curveSource = c.curveSource;
        applyControlMode(regulation, settings, c.mode);
        (c.cpuLost ? b.cpu : b.gpu) = NOT_READ;
        b.calls.clear();
        ticks(4);
        EXPECT_EQ(calls("setAutomatic"), 0);
        runTick(regulation, settings);
        const std::string what = std::string("mode ") + std::to_string(int(c.mode)) + " source " +
                                 std::to_string(c.curveSource);
        EXPECT_EQ(calls("setAutomatic"), c.handedBack ? 1 : 0) << what;
        EXPECT_EQ(settings.mode == ControlMode::SystemAuto,
                  c.handedBack || c.mode == ControlMode::SystemAuto)
            << what;
        if (c.handedBack) {
            EXPECT_EQ(savedProfile(), 0u) << what;
            EXPECT_TRUE(regulation.notice.isError) << what;
        }
    }
}

TEST_F(FanGuardTest, AValueThatWasNeverMeasuredIsNotLost) {
    RecordingController& b = install();
    regulation.safety.gpuAge = -1; // a machine without a GPU sensor
    b.gpu = NOT_READ;
    applyControlMode(regulation, settings, ControlMode::Quiet);
    ticks(8);
    EXPECT_EQ(settings.mode, ControlMode::Quiet);
    EXPECT_FALSE(regulation.readings.gpuTempLost);
}

TEST_F(FanGuardTest, OverTemperatureHandsBackOnlyWhileAFanIsHeldBelowItsMaximum) {
    struct Case {
        ControlMode mode;
        double cpu, gpu;
        int hotTicks;
        bool handedBack;
    };
    const Case cases[] = {
        {ControlMode::Quiet, 96, 40, 3, true},      {ControlMode::Quiet, 96, 40, 2, false},
        {ControlMode::Balanced, 50, 95, 3, true},   {ControlMode::Manual, 99.5, 40, 3, true},
        {ControlMode::Max, 96, 96, 5, false},       {ControlMode::Curve, 96, 40, 5, false},
        {ControlMode::Quiet, 94.9, 94.9, 5, false}, {ControlMode::SystemAuto, 99, 99, 5, false},
        {ControlMode::Quiet, 95.0, 40, 3, true},    {ControlMode::Manual, 40, 95.0, 3, true},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        regulation = RegulationState{};
        RecordingController& b = install();
        applyControlMode(regulation, settings, c.mode);
        b.cpu = c.cpu;
        b.gpu = c.gpu;
        b.calls.clear();
        ticks(c.hotTicks);
        const std::string what = std::string("mode ") + std::to_string(int(c.mode)) + " at " +
                                 std::to_string(c.cpu) + "/" + std::to_string(c.gpu);
        EXPECT_EQ(calls("setAutomatic"), c.handedBack ? 1 : 0) << what;
        if (c.handedBack) {
            EXPECT_EQ(settings.mode, ControlMode::SystemAuto) << what;
            EXPECT_EQ(savedProfile(), 0u) << what;
            EXPECT_TRUE(regulation.notice.isError);
        }
    }
    // The notice names the temperature.
    settings = Settings{};
    regulation = RegulationState{};
    RecordingController& b = install();
    applyControlMode(regulation, settings, ControlMode::Quiet);
    b.cpu = 97.2;
    ticks(3);
    EXPECT_EQ(regulation.notice.text,
              L"Übertemperatur (97 °C): Lüfter an System-Automatik übergeben.");
    // A hot spell interrupted by one cool tick starts counting again.
    applyControlMode(regulation, settings, ControlMode::Quiet);
    b.calls.clear();
    for (double t : {80.0, 96.0, 96.0, 80.0, 96.0, 96.0})
        b.cpu = t, runTick(regulation, settings);
    EXPECT_EQ(calls("setAutomatic"), 0);
}

TEST_F(FanGuardTest, OverTemperatureAlsoSeesALowTargetTheHardwareReports) {
    RecordingController& b = install();
    applyControlMode(regulation, settings, ControlMode::Max);
    // The target write was lost: the fan is held at the firmware's idle speed.
    b.fanChannels[0].targetRpm = 1300;
    b.cpu = 96.0;
    b.calls.clear();
    ticks(3);
    EXPECT_EQ(calls("setAutomatic"), 1);
    EXPECT_EQ(settings.mode, ControlMode::SystemAuto);
}

TEST_F(FanGuardTest, AHandBackThatFailedIsRepeatedUntilTheFansReadAutomatic) {
    RecordingController& b = install();
    applyControlMode(regulation, settings, ControlMode::Manual);
    b.setAutomaticFailures = 1;
    b.cpu = NOT_READ;
    ticks(5); // the temperature is lost: the mode ends, but the hand-back does not take
    ASSERT_EQ(settings.mode, ControlMode::SystemAuto);
    ASSERT_EQ(calls("setAutomatic"), 1);
    b.cpu = 50.0;
    ticks(RECOMMAND_INTERVAL_TICKS);
    EXPECT_EQ(calls("setAutomatic"), 2);
    EXPECT_TRUE(regulation.notice.isError); // said while it is being repeated
    ticks(1);
    EXPECT_TRUE(std::none_of(b.fanChannels.begin(), b.fanChannels.end(),
                             [](const FanChannel& f) { return f.manual; }));
    EXPECT_EQ(regulation.notice.text, L"Lüfter wieder bei der System-Automatik.");
    ticks(RECOMMAND_INTERVAL_TICKS);
    EXPECT_EQ(calls("setAutomatic"), 2); // nothing more once the fans are free
    bool reported = false;
    for (const RegulationEvent& e : regulation.events)
        reported = reported || e.kind == RegulationEventKind::HandBackFailing;
    EXPECT_TRUE(reported);
}

TEST_F(FanGuardTest, AModeThatHoldsFansLowNeedsATemperatureMeasuredSinceTheConnect) {
    struct Case {
        ControlMode mode;
        std::int32_t curveSource;
        bool cpuMeasured, gpuMeasured;
        bool applied;
    };
    const Case cases[] = {
        {ControlMode::Quiet, 0, false, true, false},
        {ControlMode::Manual, 0, false, true, false},
        {ControlMode::Curve, 0, false, true, false},
        {ControlMode::Curve, 2, true, false, false},
        {ControlMode::Curve, 1, true, false, true},
        {ControlMode::Balanced, 0, true, false, true},
        {ControlMode::Max, 0, false, false, true},
        {ControlMode::SystemAuto, 0, false, false, true},
    };
    for (const Case& c : cases) {
        settings = Settings{};
        regulation = RegulationState{};
        RecordingController& b = install();
        regulation.safety.cpuAge = c.cpuMeasured ? 0 : -1;
        regulation.safety.gpuAge = c.gpuMeasured ? 0 : -1;
        settings.curveSource = c.curveSource;
        b.rpmCalls.clear();
        applyControlMode(regulation, settings, c.mode);
        const std::string what =
            "mode " + std::to_string(int(c.mode)) + " source " + std::to_string(c.curveSource);
        EXPECT_EQ(settings.mode, c.applied ? c.mode : ControlMode::SystemAuto) << what;
        if (!c.applied) {
            EXPECT_TRUE(b.rpmCalls.empty()) << what;
            EXPECT_TRUE(regulation.notice.isError) << what;
        }
    }
    // A mode already running whose temperature was not measured since a reconnect ends.
    settings = Settings{};
    regulation = RegulationState{};
    RecordingController& b = install();
    applyControlMode(regulation, settings, ControlMode::Quiet);
    regulation.safety.cpuAge = -1;
    b.cpu = NOT_READ;
    b.calls.clear();
    runTick(regulation, settings);
    EXPECT_EQ(calls("setAutomatic"), 1);
    EXPECT_EQ(settings.mode, ControlMode::SystemAuto);
    EXPECT_EQ(regulation.events.back().reason, HandBackReason::NeverMeasured);
}

TEST_F(FanGuardTest, OneFansFailureIsNotHiddenByTheOthersSuccess) {
    RecordingController& b = install();
    b.setFanRpmResults = {false, true};
    applyControlMode(regulation, settings, ControlMode::Quiet);
    EXPECT_TRUE(regulation.safety.commandsFailing);
    EXPECT_TRUE(regulation.notice.isError);
    // Not recorded as commanded, and sent again within the retry interval.
    EXPECT_EQ(regulation.safety.commandedRpm[0], -1.0);
    const std::size_t sent = b.rpmCalls.size();
    ticks(RECOMMAND_INTERVAL_TICKS);
    EXPECT_EQ(b.rpmCalls.size(), sent + 2);
    EXPECT_FALSE(regulation.safety.commandsFailing);
}

TEST_F(FanGuardTest, FiveFailedTicksInARowShowADriverFaultUntilOneSucceeds) {
    RecordingController& b = install();
    b.updateResult = false;
    ticks(4);
    EXPECT_FALSE(regulation.readings.driverFault);
    runTick(regulation, settings);
    EXPECT_TRUE(regulation.readings.driverFault);
    b.updateResult = true;
    runTick(regulation, settings);
    EXPECT_FALSE(regulation.readings.driverFault);

    // Fan commands that keep failing count as well, although every read succeeds.
    b.setFanRpmResults.assign(40, false);
    applyControlMode(regulation, settings, ControlMode::Quiet);
    ticks(5);
    EXPECT_TRUE(regulation.readings.driverFault);
    b.setFanRpmResults.clear(); // the next command the guard sends again succeeds
    ticks(6);
    EXPECT_FALSE(regulation.readings.driverFault);
    EXPECT_FALSE(regulation.safety.commandsFailing);
}

TEST_F(FanGuardTest, AFanTheFirmwareTookBackIsCommandedAgainAtMostEveryFiveTicks) {
    RecordingController& b = install();
    applyControlMode(regulation, settings, ControlMode::Balanced);
    const std::vector<RpmCall> balanced = b.rpmCalls;
    b.rpmCalls.clear();
    ticks(10);
    EXPECT_TRUE(b.rpmCalls.empty()); // still manual: nothing to do

    for (int round = 0; round < 2; ++round) {
        b.fanChannels[1].manual = false; // the firmware took it (e.g. after a wake)
        b.rpmCalls.clear();
        ticks(5);
        EXPECT_EQ(b.rpmCalls, balanced) << "round " << round;
    }
    // A refused command is sent again as well, although the fans still read as forced.
    b.setFanRpmResults = {false, false};
    applyControlMode(regulation, settings, ControlMode::Balanced);
    b.rpmCalls.clear();
    ticks(5);
    EXPECT_EQ(b.rpmCalls, balanced);
    EXPECT_FALSE(regulation.safety.commandsFailing);

    // In System-Auto a fan the firmware drives is what is wanted.
    applyControlMode(regulation, settings, ControlMode::SystemAuto);
    b.rpmCalls.clear();
    ticks(10);
    EXPECT_TRUE(b.rpmCalls.empty());
}

TEST_F(FanGuardTest, SleepHandsBackAndCommandsNothingUntilTheResumeAppliesTheModeAgain) {
    RecordingController& b = install();
    b.cpu = 72.0; // the curve at 60 %
    runTick(regulation, settings);
    applyControlMode(regulation, settings, ControlMode::Curve);
    const std::vector<RpmCall> first = b.rpmCalls;
    ASSERT_EQ(first.size(), 2u);
    b.rpmCalls.clear();
    b.calls.clear();

    // Sleep and wake reach the whole program.
    AppState app;
    app.settings = settings;
    app.regulation = std::move(regulation);
    onPowerEvent(app, POWER_SUSPEND);
    EXPECT_EQ(calls("setAutomatic"), 1);
    EXPECT_EQ(app.settings.mode, ControlMode::Curve);
    EXPECT_EQ(savedProfile(), 1u); // not saved as a change of mode
    b.cpu = 85.0;
    for (int i = 0; i < 12; ++i) // late ticks before the machine sleeps
        runTick(app.regulation, app.settings);
    EXPECT_TRUE(b.rpmCalls.empty());

    b.cpu = 72.0;
    onPowerEvent(app, POWER_RESUME_AUTOMATIC);
    EXPECT_EQ(b.rpmCalls, first); // forced, as if chosen again
    EXPECT_EQ(app.settings.mode, ControlMode::Curve);
    onPowerEvent(app, 0x8013); // PBT_POWERSETTINGCHANGE and the like change nothing
    EXPECT_EQ(b.rpmCalls.size(), 2u);
}

TEST_F(FanGuardTest, AStartWithFansStillForcedHandsThemBackAndSaysSo) {
    RecordingController& b = install();
    reconcileFansAtConnect(regulation, settings);
    EXPECT_EQ(calls("setAutomatic"), 0);
    EXPECT_EQ(regulation.notice.text, L"Ventrasol initialisiert...");

    b.fanChannels[1].manual = true;
    runTick(regulation, settings);
    reconcileFansAtConnect(regulation, settings);
    EXPECT_EQ(calls("setAutomatic"), 1);
    EXPECT_EQ(regulation.notice.text,
              L"Lüfter waren noch manuell gesteuert – an System-Automatik zurückgegeben.");
    EXPECT_FALSE(regulation.notice.isError);
}

TEST_F(FanGuardTest, AnImpossibleRangeGivesWayToTheConstructionDefaultsAndHoldsTheCommands) {
    RecordingController& b = install();
    regulation.safety.defaultFans = {makeFan(0, 1829, 5779), makeFan(1, 1692, 5343)};
    struct Case {
        double min, max;
        double expectedMin, expectedMax;
    };
    const Case cases[] = {
        {1300, 6500, 1300, 6500},  // a real range is taken, also after the first tick
        {5000, 1500, 1829, 5779},  // min above max
        {3000, 3000, 1829, 5779},  // no range at all
        {1200, 12000, 1829, 5779}, // faster than any notebook fan
    };
    for (const Case& c : cases) {
        b.fanChannels[0].minRpm = c.min;
        b.fanChannels[0].maxRpm = c.max;
        runTick(regulation, settings);
        EXPECT_EQ(regulation.readings.fanList[0].minRpm, c.expectedMin) << c.min << ".." << c.max;
        EXPECT_EQ(regulation.readings.fanList[0].maxRpm, c.expectedMax) << c.min << ".." << c.max;
        // Commands stay inside the range the program took, whatever the backend read.
        for (const double asked : {15022.75, -5.0}) {
            settings.manualRpm[0] = asked;
            applyControlMode(regulation, settings, ControlMode::Manual);
            ASSERT_FALSE(b.rpmCalls.empty());
            EXPECT_EQ(b.rpmCalls.front().rpm, asked > 0 ? c.expectedMax : c.expectedMin)
                << c.min << ".." << c.max << " asked " << asked;
            b.rpmCalls.clear();
        }
        applyControlMode(regulation, settings, ControlMode::SystemAuto);
    }
}
