#include "fakes/recording_controller.h"
#include "fakes/regulation_fixture.h"
#include "regulation/periodic_tick.h"

#include <string>
#include <vector>

namespace {

class PeriodicTickTest : public RegulationTest {
protected:
    RecordingController& install(std::vector<FanChannel> fans) {
        auto backend = std::make_unique<RecordingController>();
        backend->fanChannels = std::move(fans);
        RecordingController& ref = *backend;
        regulation.controller = std::move(backend);
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
    runTick(regulation, settings);
    ASSERT_EQ(regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(regulation.readings.fanList[1].label, L"Lüfter 2");
    EXPECT_EQ(regulation.readings.fanList[1].maxRpm, 5343.0);

    // One fan now, with other ranges and label: the list keeps two entries and its labels, and
    // follows the ranges the hardware reports.
    FanChannel changed = liveFan(0, 1000, 7000, 2500, 2600, true);
    changed.label = L"Neu";
    changed.index = 5;
    backend.fanChannels = {changed};
    runTick(regulation, settings);
    ASSERT_EQ(regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(regulation.readings.fanList[0].currentRpm, 2500.0);
    EXPECT_EQ(regulation.readings.fanList[0].targetRpm, 2600.0);
    EXPECT_TRUE(regulation.readings.fanList[0].manual);
    EXPECT_EQ(regulation.readings.fanList[0].minRpm, 1000.0);
    EXPECT_EQ(regulation.readings.fanList[0].maxRpm, 7000.0);
    EXPECT_EQ(regulation.readings.fanList[0].label, L"Lüfter 1");
    EXPECT_EQ(regulation.readings.fanList[0].index, 0);
    EXPECT_EQ(regulation.readings.fanList[1].currentRpm, 1900.0);

    // Three fans later: the list does not grow either.
    backend.fanChannels = {changed, changed, changed};
    runTick(regulation, settings);
    EXPECT_EQ(regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(regulation.readings.fanList[1].currentRpm, 2500.0);
    EXPECT_EQ(regulation.readings.fanList[1].maxRpm, 7000.0);
    EXPECT_EQ(regulation.readings.fanList[1].label, L"Lüfter 2");
}

TEST_F(PeriodicTickTest, AnEmptyAnswerLeavesTheListEmptyUntilFansAppear) {
    RecordingController& backend = install({});
    runTick(regulation, settings);
    EXPECT_TRUE(regulation.readings.fanList.empty());
    backend.fanChannels = {makeFan(0, 1000, 5000, 1200), makeFan(1, 900, 4000, 1100)};
    runTick(regulation, settings);
    ASSERT_EQ(regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(regulation.readings.fanList[1].currentRpm, 1100.0);
}

TEST_F(PeriodicTickTest, FansAreTakenAfterTheUpdateAndOnlyTheCurveModeRegulates) {
    RecordingController& backend = install({makeFan(0, 1000, 5000, 1200)});
    backend.cpu = 72.0; // 60 % -> 3400
    backend.gpu = 30.0;
    backend.power = 31.5;
    backend.readings = {SensorReading{L"TC0P", L"CPU", L"CPU", L"°C", 72.0}};
    for (ControlMode mode : {ControlMode::SystemAuto, ControlMode::Quiet, ControlMode::Balanced,
                             ControlMode::Max, ControlMode::Manual}) {
        settings.mode = mode;
        runTick(regulation, settings);
    }
    EXPECT_TRUE(backend.rpmCalls.empty());
    EXPECT_EQ((std::vector<std::string>{backend.calls[0], backend.calls[1]}),
              (std::vector<std::string>{"update", "fans"}));
    EXPECT_EQ(regulation.readings.cpuTemp, 72.0);
    EXPECT_EQ(regulation.readings.gpuTemp, 30.0);
    EXPECT_EQ(regulation.readings.powerWatts, 31.5);
    ASSERT_EQ(regulation.readings.sensorList.size(), 1u);

    settings.mode = ControlMode::Curve;
    runTick(regulation, settings);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RecordingController::RpmCall>{{0, 3400}}));
    // Less than 45 RPM away from the last speed written: nothing is written.
    backend.cpu = 72.3; // 60.92 % -> 3437, 37 RPM away
    runTick(regulation, settings);
    EXPECT_EQ(backend.rpmCalls.size(), 1u);
    backend.cpu = 72.4; // 61.23 % -> 3449, 49 RPM away
    runTick(regulation, settings);
    EXPECT_EQ(backend.rpmCalls.size(), 2u);
    EXPECT_EQ(backend.rpmCalls.back().rpm, 3449.0);
}
