#include "fakes/recording_controller.h"
#include "fakes/regulation_fixture.h"
#include "regulation/fan_curve.h"

#include <cmath>
#include <limits>

namespace {

class FanCurveTest : public RegulationTest {
protected:
    RecordingController* backend = nullptr;

    // A backend with the given fan ranges, mirrored into fanList as the tick would.
    void useFans(std::initializer_list<std::pair<double, double>> ranges) {
        auto owned = std::make_unique<RecordingController>();
        std::int32_t i = 0;
        for (const auto& [lo, hi] : ranges)
            owned->fanChannels.push_back(makeFan(i++, lo, hi));
        regulation.readings.fanList = owned->fanChannels;
        backend = owned.get();
        regulation.controller = std::move(owned);
    }
    void setTemps(double cpu, double gpu) {
        regulation.readings.cpuTemp = cpu;
        regulation.readings.gpuTemp = gpu;
    }
};

} // namespace

TEST_F(FanCurveTest, DefaultCurveLevels) {
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 40.0), 0.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 45.0), 0.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 52.5), 15.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 60.0), 30.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 66.0), 45.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 78.5), 80.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 85.0), 100.0);
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 120.0), 100.0);
}

TEST_F(FanCurveTest, SharedEndPointTakesTheLowerSegment) {
    settings.curve = {{{40, 0}, {60, 20}, {60, 80}, {90, 100}}};
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, 60.0), 20.0);
    EXPECT_NEAR(curveLevelAt(settings.curve, 63.0), 82.0, 1e-9);
}

TEST_F(FanCurveTest, DivisorNeverBelowHalfADegree) {
    settings.curve = {{{45, 0}, {50, 20}, {50.25, 80}, {90, 100}}};
    EXPECT_NEAR(curveLevelAt(settings.curve, 50.2), 44.0, 1e-9);
}

TEST_F(FanCurveTest, CrossedPointsSkipTheBackwardSegment) {
    settings.curve = {{{45, 0}, {70, 30}, {60, 60}, {85, 100}}};
    EXPECT_NEAR(curveLevelAt(settings.curve, 65.0), 24.0, 1e-9);
    EXPECT_NEAR(curveLevelAt(settings.curve, 75.0), 84.0, 1e-9);
}

TEST_F(FanCurveTest, TemperatureThatIsNotANumberGivesFifty) {
    EXPECT_DOUBLE_EQ(curveLevelAt(settings.curve, std::numeric_limits<double>::quiet_NaN()), 50.0);
    useFans({{1000, 3000}});
    setTemps(std::nan(""), std::nan(""));
    settings.curveSource = 1;
    applyCurve(regulation, settings, true);
    ASSERT_EQ(backend->rpmCalls.size(), 1u);
    EXPECT_DOUBLE_EQ(backend->rpmCalls[0].rpm, 2000.0);
}

TEST_F(FanCurveTest, SourceSelectsTheTemperature) {
    useFans({{1000, 2000}});
    setTemps(70.0, 55.0); // 70 °C -> 55 %, 55 °C -> 20 %
    const struct {
        std::int32_t source;
        double rpm;
    } cases[] = {{0, 1550}, {1, 1550}, {2, 1200}, {3, 1550}, {-1, 1550}};
    for (const auto& c : cases) {
        backend->rpmCalls.clear();
        settings.curveSource = c.source;
        applyCurve(regulation, settings, true);
        ASSERT_EQ(backend->rpmCalls.size(), 1u) << c.source;
        EXPECT_DOUBLE_EQ(backend->rpmCalls[0].rpm, c.rpm) << c.source;
    }
    setTemps(50.0, 80.0); // the GPU is hotter now: source 0 follows it
    backend->rpmCalls.clear();
    settings.curveSource = 0;
    applyCurve(regulation, settings, true);
    EXPECT_DOUBLE_EQ(backend->rpmCalls.at(0).rpm, 1846.0); // 84.6 % at 80 °C
}

TEST_F(FanCurveTest, LevelMapsIntoEachFansOwnRangeRoundedHalfAway) {
    useFans({{1829, 5779}, {1692, 5343}});
    setTemps(60.0, 0.0); // 30 %
    applyCurve(regulation, settings, true);
    ASSERT_EQ(backend->rpmCalls.size(), 2u);
    EXPECT_EQ(backend->rpmCalls[0], (RecordingController::RpmCall{0, 3014})); // 3014.0
    EXPECT_EQ(backend->rpmCalls[1], (RecordingController::RpmCall{1, 2787})); // 2787.3
    setTemps(30.0, 0.0);
    applyCurve(regulation, settings, true);
    EXPECT_EQ(backend->rpmCalls[2].rpm, 1829.0);
    setTemps(99.0, 0.0);
    applyCurve(regulation, settings, true);
    EXPECT_EQ(backend->rpmCalls[4].rpm, 5779.0);
    // A half RPM goes up: range 1000..1001 at 50 % is 1000.5.
    useFans({{1000, 1001}});
    settings.curve = {{{0, 50}, {1, 50}, {2, 50}, {3, 50}}};
    applyCurve(regulation, settings, true);
    EXPECT_EQ(backend->rpmCalls.at(0).rpm, 1001.0);
}

TEST_F(FanCurveTest, HysteresisIsStrictAndMeasuredAgainstTheLastSpeedWritten) {
    useFans({{0, 10000}}); // speed = 100 x level
    const auto flatLevel = [this](double level) {
        settings.curve = {{{0, level}, {1, level}, {2, level}, {3, level}}};
    };
    flatLevel(30.14);
    applyCurve(regulation, settings, false);
    ASSERT_EQ(backend->rpmCalls.size(), 1u);
    EXPECT_EQ(regulation.lastCurveRpm[0], 3014.0);

    // What the fan reports plays no part.
    regulation.readings.fanList[0].currentRpm = 5000;
    flatLevel(30.50); // 3050: 36 away
    applyCurve(regulation, settings, false);
    EXPECT_EQ(backend->rpmCalls.size(), 1u);
    flatLevel(30.58); // 3058: 44 away
    applyCurve(regulation, settings, false);
    EXPECT_EQ(backend->rpmCalls.size(), 1u);
    flatLevel(30.59); // 3059: exactly 45 away is written
    applyCurve(regulation, settings, false);
    ASSERT_EQ(backend->rpmCalls.size(), 2u);
    EXPECT_EQ(backend->rpmCalls[1].rpm, 3059.0);
    flatLevel(29.69); // 2969: 90 down
    applyCurve(regulation, settings, false);
    EXPECT_EQ(backend->rpmCalls.size(), 3u);
    applyCurve(regulation, settings, false); // unchanged: held
    EXPECT_EQ(backend->rpmCalls.size(), 3u);
    applyCurve(regulation, settings, true); // force writes even an unchanged speed
    EXPECT_EQ(backend->rpmCalls.size(), 4u);
}

TEST_F(FanCurveTest, FailedWriteKeepsTheLastSpeedSoTheNextTickRetries) {
    useFans({{1000, 2000}, {1000, 2000}});
    regulation.lastCurveRpm = {1200, 1200, -1, -1};
    backend->setFanRpmResults = {false, true};
    setTemps(85.0, 0.0); // 2000 for both
    applyCurve(regulation, settings, false);
    EXPECT_EQ(regulation.lastCurveRpm[0], 1200.0);
    EXPECT_EQ(regulation.lastCurveRpm[1], 2000.0);
    applyCurve(regulation, settings, false);
    EXPECT_EQ(regulation.lastCurveRpm[0], 2000.0);
    ASSERT_EQ(backend->rpmCalls.size(), 3u);
    EXPECT_EQ(backend->rpmCalls[2].fanIndex, 0);
}

TEST_F(FanCurveTest, NoControllerOrNoFansCommandsNothing) {
    regulation.readings.fanList = {makeFan(0, 1000, 2000)};
    applyCurve(regulation, settings, true); // no controller: must not crash, nothing remembered
    EXPECT_EQ(regulation.lastCurveRpm[0], -1.0);

    useFans({});
    applyCurve(regulation, settings, true);
    EXPECT_TRUE(backend->rpmCalls.empty());
}

TEST_F(FanCurveTest, FansBeyondTheFourthFollowWithoutHysteresis) {
    useFans({{1000, 2000}, {1000, 2000}, {1000, 2000}, {1000, 2000}, {1000, 2000}, {1000, 2000}});
    setTemps(60.0, 0.0); // 1300
    applyCurve(regulation, settings, false);
    EXPECT_EQ(backend->rpmCalls.size(), 6u);
    for (double last : regulation.lastCurveRpm)
        EXPECT_EQ(last, 1300.0);
    applyCurve(regulation, settings,
               false); // the first four are held by the hysteresis, 4 and 5 written again
    ASSERT_EQ(backend->rpmCalls.size(), 8u);
    EXPECT_EQ(backend->rpmCalls[6].fanIndex, 4);
    EXPECT_EQ(backend->rpmCalls[7].fanIndex, 5);
}

TEST_F(FanCurveTest, ResetRestoresDefaultsAndAppliesOnlyInCurveMode) {
    useFans({{1000, 2000}});
    settings.curve = {{{30, 10}, {40, 20}, {50, 30}, {60, 40}}};
    settings.mode = ControlMode::Manual;
    resetCurve(regulation, settings);
    EXPECT_EQ(settings.curve, DEFAULT_CURVE);
    EXPECT_TRUE(backend->rpmCalls.empty());

    settings.mode = ControlMode::Curve;
    regulation.lastCurveRpm[0] = 1000; // the forced write ignores the hysteresis
    setTemps(45.0, 0.0);
    resetCurve(regulation, settings);
    ASSERT_EQ(backend->rpmCalls.size(), 1u);
    EXPECT_EQ(backend->rpmCalls[0].rpm, 1000.0);
}
