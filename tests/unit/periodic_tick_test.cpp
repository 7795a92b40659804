#include "app/tray.h"
#include "fakes/fake_platform_fixture.h"
#include "fakes/recording_controller.h"
#include "regulation/periodic_tick.h"

#include <string>
#include <vector>

namespace {

class PeriodicTickTest : public FakePlatformTest {
protected:
    RecordingController& install(std::vector<FanChannel> fans) {
        auto backend = std::make_unique<RecordingController>();
        backend->fanChannels = std::move(fans);
        RecordingController& ref = *backend;
        appState.controller = std::move(backend);
        return ref;
    }
};

FanChannel liveFan(std::int32_t index, double min, double max, double current, double target,
                   bool manual) {
    FanChannel fan = makeFan(index, min, max, current);
    fan.targetRpm = target;
    fan.manual = manual;
    return fan;
}

} // namespace

TEST_F(PeriodicTickTest, TheFirstAnswerFillsTheListAndLaterOnesOnlyRefreshLiveFields) {
    RecordingController& backend =
        install({liveFan(0, 1829, 5779, 2000, 0, false), liveFan(1, 1692, 5343, 1900, 0, false)});
    runTick();
    ASSERT_EQ(appState.fanList.size(), 2u);
    EXPECT_EQ(appState.fanList[1].label, L"Lüfter 2");
    EXPECT_EQ(appState.fanList[1].maxRpm, 5343.0);

    // One fan now, with other ranges and label: the list keeps two entries and its labels, and
    // follows the ranges the hardware reports.
    FanChannel changed = liveFan(0, 1000, 7000, 2500, 2600, true);
    changed.label = L"Neu";
    changed.index = 5;
    backend.fanChannels = {changed};
    runTick();
    ASSERT_EQ(appState.fanList.size(), 2u);
    EXPECT_EQ(appState.fanList[0].currentRpm, 2500.0);
    EXPECT_EQ(appState.fanList[0].targetRpm, 2600.0);
    EXPECT_TRUE(appState.fanList[0].manual);
    EXPECT_EQ(appState.fanList[0].minRpm, 1000.0);
    EXPECT_EQ(appState.fanList[0].maxRpm, 7000.0);
    EXPECT_EQ(appState.fanList[0].label, L"Lüfter 1");
    EXPECT_EQ(appState.fanList[0].index, 0);
    EXPECT_EQ(appState.fanList[1].currentRpm, 1900.0);

    // Three fans later: the list does not grow either.
    backend.fanChannels = {changed, changed, changed};
    runTick();
    EXPECT_EQ(appState.fanList.size(), 2u);
    EXPECT_EQ(appState.fanList[1].currentRpm, 2500.0);
    EXPECT_EQ(appState.fanList[1].maxRpm, 7000.0);
    EXPECT_EQ(appState.fanList[1].label, L"Lüfter 2");
}

TEST_F(PeriodicTickTest, AnEmptyAnswerLeavesTheListEmptyUntilFansAppear) {
    RecordingController& backend = install({});
    runTick();
    EXPECT_TRUE(appState.fanList.empty());
    backend.fanChannels = {makeFan(0, 1000, 5000, 1200), makeFan(1, 900, 4000, 1100)};
    runTick();
    ASSERT_EQ(appState.fanList.size(), 2u);
    EXPECT_EQ(appState.fanList[1].currentRpm, 1100.0);
}

TEST_F(PeriodicTickTest, FansAreTakenAfterTheUpdateAndOnlyTheCurveModeRegulates) {
    RecordingController& backend = install({makeFan(0, 1000, 5000, 1200)});
    backend.cpu = 72.0; // 60 % -> 3400
    backend.gpu = 30.0;
    backend.power = 31.5;
    backend.readings = {SensorReading{L"TC0P", L"CPU", L"CPU", L"°C", 72.0}};
    for (ControlMode mode : {ControlMode::SystemAuto, ControlMode::Quiet, ControlMode::Balanced,
                             ControlMode::Max, ControlMode::Manual}) {
        appState.mode = mode;
        runTick();
    }
    EXPECT_TRUE(backend.rpmCalls.empty());
    EXPECT_EQ((std::vector<std::string>{backend.calls[0], backend.calls[1]}),
              (std::vector<std::string>{"update", "fans"}));
    EXPECT_EQ(appState.cpuTemp, 72.0);
    EXPECT_EQ(appState.gpuTemp, 30.0);
    EXPECT_EQ(appState.powerWatts, 31.5);
    ASSERT_EQ(appState.sensorList.size(), 1u);

    appState.mode = ControlMode::Curve;
    runTick();
    EXPECT_EQ(backend.rpmCalls, (std::vector<RecordingController::RpmCall>{{0, 3400}}));
    // Less than 45 RPM away from the last speed written: nothing is written.
    backend.cpu = 72.3; // 60.92 % -> 3437, 37 RPM away
    runTick();
    EXPECT_EQ(backend.rpmCalls.size(), 1u);
    backend.cpu = 72.4; // 61.23 % -> 3449, 49 RPM away
    runTick();
    EXPECT_EQ(backend.rpmCalls.size(), 2u);
    EXPECT_EQ(backend.rpmCalls.back().rpm, 3449.0);
}

TEST_F(PeriodicTickTest, TheTooltipWaitsForTheIconAndThenShowsTheFirstFan) {
    install({makeFan(0, 1000, 5000, 2345.6), makeFan(1, 1000, 5000, 999)});
    runTick();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(appState.trayIcon.tip.empty());

    addTrayIcon();
    runTick();
    EXPECT_EQ(host.calls.back(), "trayModify");
    EXPECT_EQ(appState.trayIcon.tip, L"Ventrasol — 2346 RPM · CPU 50°C · GPU 40°C (20.0 W)");
}

TEST_F(PeriodicTickTest, WithoutABackendTheTooltipShowsTheLastReadings) {
    addTrayIcon();
    appState.mode = ControlMode::Curve;
    runTick();
    EXPECT_EQ(appState.trayIcon.tip, L"Ventrasol — 0 RPM · CPU 42°C · GPU 38°C (25.0 W)");
    appState.fanList = {makeFan(0, 1000, 5000, 1500)};
    runTick();
    EXPECT_EQ(appState.trayIcon.tip, L"Ventrasol — 1500 RPM · CPU 42°C · GPU 38°C (25.0 W)");
}
