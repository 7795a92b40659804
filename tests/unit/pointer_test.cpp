#include "app/pointer_input.h"
#include "fakes/app_fixture.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_manager.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_task_scheduler.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "fakes/recording_window_host.h"
#include "ui/paint_window.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const std::wstring kSettingsKey = L"Software\\Ventrasol";

class PointerTest : public AppTest {
protected:
    RecordingWindowHost host;
    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    FakeTaskScheduler scheduler;
    FakeServiceManager services; // for the Program Files folder the autostart asks about

    void SetUp() override {
        AppTest::SetUp();
        platform.windowHost = &host;
        platform.registry = &registry;
        platform.systemInfo = &systemInfo;
        platform.taskScheduler = &scheduler;
        platform.serviceManager = &services;
    }

    // Paints the tab into a recording canvas so that the regions are the real ones.
    void paintTab(int tab) {
        app.ui.activeTab = tab;
        RecordingCanvas canvas;
        paintWindow(canvas, {0, 0, 740, 1080}, app.ui, model());
        host.calls.clear();
    }

    // Every save writes the curve once.
    int saves() const {
        return static_cast<int>(std::count(registry.writes.begin(), registry.writes.end(),
                                           std::wstring(L"CurvePoints")));
    }

    const HitRegion& region(int id) {
        for (const HitRegion& r : app.ui.hitRegions)
            if (r.id == id)
                return r;
        ADD_FAILURE() << "no region " << id;
        static const HitRegion none{};
        return none;
    }

    void twoFans() {
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000), makeFan(1, 1000, 5000)};
    }
};

} // namespace

TEST_F(PointerTest, RegionsIncludeTheirLeftAndTopEdgesOnly) {
    app.ui.hitRegions = {{{10, 20, 30, 40}, 4, 3}, {{10, 20, 60, 60}, 2, 1}};
    onButtonDown(app, 10, 20);
    EXPECT_EQ(app.ui.activeTab, 3) << "left/top corner, first region wins";
    onButtonDown(app, 29, 39);
    EXPECT_EQ(app.ui.activeTab, 3);
    onButtonDown(app, 30, 25); // right edge of the first: the second one takes it
    EXPECT_EQ(app.ui.activeTab, 1);
    app.ui.activeTab = 0;
    onButtonDown(app, 15, 40); // bottom edge of the first
    EXPECT_EQ(app.ui.activeTab, 1);
    app.ui.activeTab = 0;
    host.calls.clear();
    onButtonDown(app, 60, 30); // right edge of the second: nothing at all
    onButtonDown(app, 9, 30);
    EXPECT_EQ(app.ui.activeTab, 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(saves(), 0);
}

TEST_F(PointerTest, TabEntriesSelectTheTabAndRepaint) {
    paintTab(0);
    onButtonDown(app, 100, 70 + 36 * 4 + 5);
    EXPECT_EQ(app.ui.activeTab, 4);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"invalidate 0"}));
    EXPECT_EQ(saves(), 0);
}

TEST_F(PointerTest, LinkedSlidersMoveEachFanWithinItsOwnRange) {
    twoFans();
    paintTab(0);
    const Rect s0 = app.ui.sliderRects[0];
    onButtonDown(app, s0.left, s0.top + 5);
    EXPECT_EQ(app.ui.dragTarget, 30);
    EXPECT_TRUE(host.captured);
    EXPECT_EQ(app.settings.manualRpm[0], 1200.0);
    EXPECT_EQ(app.settings.manualRpm[1], 1000.0);
    onPointerMove(app, s0.right, s0.top - 40); // the right end, above the slider
    EXPECT_EQ(app.settings.manualRpm[0], 6000.0);
    EXPECT_EQ(app.settings.manualRpm[1], 5000.0);
    onPointerMove(app, -500, 900); // far beyond the left end while captured
    EXPECT_EQ(app.settings.manualRpm[0], 1200.0);
    EXPECT_EQ(app.settings.manualRpm[1], 1000.0);
    // A quarter: 1200 + 4800 / 4 and 1000 + 4000 / 4, the same share, not the same speed.
    onPointerMove(app, s0.left + s0.width() / 4, 0);
    const double f = static_cast<double>(s0.width() / 4) / s0.width();
    EXPECT_EQ(app.settings.manualRpm[0], std::round(1200 + 4800 * f));
    EXPECT_EQ(app.settings.manualRpm[1], std::round(1000 + 4000 * f));
    EXPECT_EQ(saves(), 0) << "nothing is stored while dragging";
    EXPECT_GE(host.count("invalidate 0"), 4);

    onButtonUp(app);
    EXPECT_EQ(app.ui.dragTarget, -1);
    EXPECT_FALSE(host.captured);
    EXPECT_EQ(saves(), 1);
    onButtonUp(app);
    EXPECT_EQ(saves(), 1);
}

TEST_F(PointerTest, UnlinkedSliderMovesOnlyItsFan) {
    twoFans();
    app.settings.linkSliders = false;
    paintTab(0);
    const Rect s1 = app.ui.sliderRects[1];
    onButtonDown(app, s1.right - 1, s1.top);
    EXPECT_EQ(app.ui.dragTarget, 31);
    EXPECT_EQ(app.settings.manualRpm[0], 2200.0);
    EXPECT_GT(app.settings.manualRpm[1], 4950.0);
    onPointerMove(app, s1.right + 100, s1.top);
    EXPECT_EQ(app.settings.manualRpm[1], 5000.0);
    EXPECT_EQ(app.settings.manualRpm[0], 2200.0);
}

TEST_F(PointerTest, OneFanOrAMissingFanChangesOnlyWhatExists) {
    app.regulation.readings.fanList = {makeFan(0, 1000, 3000)};
    paintTab(0);
    const Rect s0 = app.ui.sliderRects[0];
    onButtonDown(app, s0.right, s0.top); // right edge is outside the region
    EXPECT_EQ(app.ui.dragTarget, -1);
    onButtonDown(app, s0.right - 1, s0.top);
    onPointerMove(app, s0.right, s0.top);
    EXPECT_EQ(app.settings.manualRpm[0], 3000.0);
    EXPECT_EQ(app.settings.manualRpm[1], 2000.0) << "linked, but there is no second fan";
    onButtonUp(app);

    // A region for a fan that does not exist starts the drag state, changes nothing and
    // still stores on release.
    app.ui.sliderRects[1] = {300, 300, 400, 326};
    app.ui.hitRegions = {{app.ui.sliderRects[1], 31, 1}};
    host.calls.clear();
    onButtonDown(app, 350, 310);
    EXPECT_EQ(app.ui.dragTarget, 31);
    onPointerMove(app, 390, 310);
    EXPECT_EQ(app.settings.manualRpm[1], 2000.0);
    EXPECT_EQ(host.count("invalidate 0"), 0);
    const int before = saves();
    onButtonUp(app);
    EXPECT_EQ(saves(), before + 1);

    // A slider that was never painted has no width.
    app.ui.sliderRects[0] = {};
    app.ui.dragTarget = 30;
    updateDrag(app, 10, 10);
    EXPECT_EQ(app.settings.manualRpm[0], 3000.0);
}

TEST_F(PointerTest, CurvePointsClampAtTheChartEdgesAndBeyond) {
    paintTab(1);
    const Rect c = app.ui.chartRect;
    // Next to P1 (45 °C, 0 %) at the bottom left.
    onButtonDown(app, c.left + 2, c.bottom - 3);
    EXPECT_EQ(app.ui.dragTarget, 300);
    EXPECT_TRUE(host.captured);
    onPointerMove(app, c.left, c.bottom);
    EXPECT_EQ(app.settings.curve[0], (CurvePoint{35.0, 0.0}));
    onPointerMove(app, c.right, c.top);
    EXPECT_EQ(app.settings.curve[0], (CurvePoint{95.0, 100.0}));
    onPointerMove(app, c.right + 400, c.top - 300);
    EXPECT_EQ(app.settings.curve[0], (CurvePoint{95.0, 100.0}));
    onPointerMove(app, c.left - 400, c.bottom + 300);
    EXPECT_EQ(app.settings.curve[0], (CurvePoint{35.0, 0.0}));
    // The middle of the chart: 65 °C, 50 %.
    onPointerMove(app, c.left + c.width() / 2, c.top + c.height() / 2);
    EXPECT_EQ(app.settings.curve[0], (CurvePoint{65.0, 50.0}));
    EXPECT_EQ(app.settings.curve[1], DEFAULT_CURVE[1]);
    EXPECT_EQ(saves(), 0);
    onButtonUp(app);
    EXPECT_EQ(saves(), 1);
    EXPECT_FALSE(host.captured);
}

TEST_F(PointerTest, PressBetweenTwoPointsTakesTheLowerIndex) {
    app.ui.chartRect = {0, 0, 700, 100}; // 10 pixels per °C, 1 pixel per %
    const FanCurve curve = {{{31.0, 0.0}, {50.0, 50.0}, {70.0, 50.0}, {99.0, 100.0}}};
    app.settings.curve = curve;
    app.ui.hitRegions = {{app.ui.chartRect, 45, 0}};
    onButtonDown(app, 300, 50); // P2 at (200, 50), P3 at (400, 50)
    EXPECT_EQ(app.ui.dragTarget, 301);
    EXPECT_EQ(app.settings.curve[1], (CurvePoint{60.0, 50.0})) << "the point jumps to the pointer";
    onButtonUp(app);
    app.settings.curve = curve;
    onButtonDown(app, 301, 50);
    EXPECT_EQ(app.ui.dragTarget, 302);
    onButtonUp(app);
    // No distance limit: far from everything still takes the nearest.
    onButtonDown(app, 699, 0);
    EXPECT_EQ(app.ui.dragTarget, 303);
    EXPECT_EQ(app.settings.curve[3], (CurvePoint{95.0, 100.0}));
}

TEST_F(PointerTest, CurveDragDrivesTheFansOnlyInCurveMode) {
    auto controller = std::make_unique<RecordingController>();
    controller->fanChannels = {makeFan(0, 1000, 5000), makeFan(1, 1000, 5000)};
    RecordingController* fans = controller.get();
    app.regulation.controller = std::move(controller);
    app.regulation.readings.fanList = fans->fanChannels;
    app.regulation.readings.cpuTemp = 70.0;
    paintTab(1);
    const Rect c = app.ui.chartRect;

    app.settings.mode = ControlMode::Quiet;
    onButtonDown(app, c.right - 1, c.top + 1);
    onPointerMove(app, c.left + c.width() / 2, c.top);
    onButtonUp(app);
    EXPECT_TRUE(fans->rpmCalls.empty());

    app.settings.mode = ControlMode::Curve;
    onButtonDown(app, c.left + c.width() / 2, c.top);
    onPointerMove(app, c.left, c.top); // 35 °C at 100 %: the fans go to their maximum
    EXPECT_FALSE(fans->rpmCalls.empty());
    EXPECT_EQ(fans->rpmCalls.back().rpm, 5000.0);
    const std::size_t calls = fans->rpmCalls.size();
    onPointerMove(app, c.left + 1, c.top); // same speed: within the hysteresis, nothing sent
    EXPECT_EQ(fans->rpmCalls.size(), calls);
    onButtonUp(app);
}

TEST_F(PointerTest, ResetOutsideCurveModeStoresTheCurveButSetsNoFan) {
    auto controller = std::make_unique<RecordingController>();
    controller->fanChannels = {makeFan(0, 1000, 5000)};
    RecordingController* fans = controller.get();
    app.regulation.controller = std::move(controller);
    app.regulation.readings.fanList = fans->fanChannels;
    app.settings.curve[2] = {90.0, 10.0};
    app.settings.mode = ControlMode::Balanced;
    paintTab(1);
    const Rect reset = region(44).bounds;
    onButtonDown(app, reset.left, reset.top);
    EXPECT_EQ(app.settings.curve, DEFAULT_CURVE);
    EXPECT_TRUE(fans->rpmCalls.empty());
    EXPECT_EQ(saves(), 1);
    EXPECT_EQ(host.count("invalidate 0"), 1);

    app.settings.curve[2] = {90.0, 10.0};
    app.settings.mode = ControlMode::Curve;
    onButtonDown(app, reset.left, reset.top);
    EXPECT_EQ(app.settings.curve, DEFAULT_CURVE);
    EXPECT_EQ(fans->rpmCalls.size(), 1u) << "applied at once, with force";
    EXPECT_EQ(saves(), 2);
}

TEST_F(PointerTest, IdleMovesAndReleasesDoNothing) {
    twoFans();
    paintTab(0);
    const auto before = app.settings.manualRpm;
    onPointerMove(app, app.ui.sliderRects[0].left + 10, app.ui.sliderRects[0].top + 5);
    onPointerMove(app, -5, -5);
    onButtonUp(app);
    onCaptureLost(app);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(app.settings.manualRpm, before);
    EXPECT_EQ(saves(), 0);
}

TEST_F(PointerTest, LostCaptureEndsTheDragAndKeepsItsValue) {
    twoFans();
    paintTab(0);
    const Rect s0 = app.ui.sliderRects[0];
    onButtonDown(app, s0.left + s0.width() / 2, s0.top);
    const double held = app.settings.manualRpm[0];
    onCaptureLost(app);
    EXPECT_EQ(app.ui.dragTarget, -1);
    EXPECT_EQ(saves(), 1);
    EXPECT_EQ(host.count("releaseCapture"), 0) << "the capture is already gone";
    // Moves and the late release find no drag.
    onPointerMove(app, s0.left, s0.top);
    onButtonUp(app);
    EXPECT_EQ(app.settings.manualRpm[0], held);
    EXPECT_EQ(saves(), 1);
}

TEST_F(PointerTest, SwitchesAndButtonsOfTheDashboardAndCurveTab) {
    twoFans();
    paintTab(0);
    const auto rpm = app.settings.manualRpm;
    onButtonDown(app, region(32).bounds.left, region(32).bounds.top);
    EXPECT_FALSE(app.settings.linkSliders);
    EXPECT_EQ(app.settings.manualRpm, rpm) << "flipping the link moves no slider";
    EXPECT_EQ(saves(), 1);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, kSettingsKey, L"LinkFans"), 0u);

    onButtonDown(app, region(33).bounds.left, region(33).bounds.top);
    EXPECT_EQ(app.settings.mode, ControlMode::Manual);
    onButtonDown(app, region(22).bounds.left, region(22).bounds.top);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);

    paintTab(1);
    onButtonDown(app, region(43).bounds.left, region(43).bounds.top);
    EXPECT_EQ(app.settings.mode, ControlMode::Curve);
}

TEST_F(PointerTest, OptionSwitchesSaveAndRewriteTheAutostartEntry) {
    paintTab(4);
    const Rect autostart = region(60).bounds;
    const Rect minimized = region(61).bounds;
    const Rect resetOnExit = region(62).bounds;
    const std::wstring quoted = L"\"" + systemInfo.path + L"\"";

    app.settings.startMinimized = false;
    onButtonDown(app, autostart.left, autostart.top);
    EXPECT_TRUE(app.settings.autostartEnabled);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted);

    // While autostart is on, the start-minimised switch registers the task again at once.
    onButtonDown(app, minimized.left, minimized.top);
    EXPECT_TRUE(app.settings.startMinimized);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted + L" --minimized");

    onButtonDown(app, autostart.left, autostart.top);
    EXPECT_FALSE(app.settings.autostartEnabled);
    EXPECT_FALSE(scheduler.commandLine(L"Ventrasol").has_value());

    // While it is off the switch only saves.
    const int before = saves();
    onButtonDown(app, minimized.left, minimized.top);
    EXPECT_FALSE(app.settings.startMinimized);
    EXPECT_EQ(saves(), before + 1);
    EXPECT_FALSE(scheduler.commandLine(L"Ventrasol").has_value());
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, kSettingsKey, L"StartMinimized"), 0u);

    onButtonDown(app, resetOnExit.left, resetOnExit.top);
    EXPECT_FALSE(app.settings.resetFansOnExit);
    EXPECT_EQ(saves(), before + 2);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, kSettingsKey, L"ResetOnExit"), 0u);
    EXPECT_EQ(host.count("invalidate 0"), 5);
}

TEST_F(PointerTest, TheTraysSwitchesAndAlarmButtonsSaveAtOnce) {
    paintTab(4);
    auto click = [&](int id, int times = 1) {
        for (int i = 0; i < times; ++i)
            onButtonDown(app, region(id).bounds.left, region(id).bounds.top);
    };
    click(REGION_TRAY_TEMPERATURE_SWITCH);
    click(REGION_NOTIFICATIONS_SWITCH);
    click(REGION_ALARM_UP, 3); // 90, 95, 100, 105 at most
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, kSettingsKey, L"AlarmTemperature"), 105u);
    click(REGION_ALARM_DOWN, 10);
    EXPECT_EQ(app.settings.tray, (TrayOptions{false, false, 60}));
    EXPECT_EQ(saves(), 15);
}

TEST_F(PointerTest, ReloadButtonReplacesTheBackendAndRepaints) {
    int destroyed = 0;
    auto old = std::make_unique<RecordingController>();
    old->destroyedCounter = &destroyed;
    app.regulation.controller = std::move(old);
    paintTab(4);
    const Rect reload = region(63).bounds;
    onButtonDown(app, reload.left, reload.top);
    EXPECT_EQ(destroyed, 1);
    ASSERT_NE(app.regulation.controller, nullptr);
    EXPECT_EQ(dynamic_cast<RecordingController*>(app.regulation.controller.get()), nullptr);
    EXPECT_EQ(host.count("invalidate 0"), 1);
    EXPECT_EQ(saves(), 0);

    // The next paint shows the new backend's status.
    RecordingCanvas canvas;
    paintWindow(canvas, {0, 0, 740, 1080}, app.ui, model());
    std::wstring shown;
    for (const DrawCall* t : canvas.ofKind(DrawCall::Kind::TextAt))
        shown += t->text + L" ";
    EXPECT_NE(shown.find(app.regulation.controller->statusText()), std::wstring::npos);
}
