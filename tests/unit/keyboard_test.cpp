#include "app/keyboard_input.h"
#include "fakes/app_fixture.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_task_scheduler.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "fakes/recording_window_host.h"
#include "ui/paint_window.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

KeyPress key(std::uint32_t k) {
    return {k, false, false};
}
KeyPress shift(std::uint32_t k) {
    return {k, false, true};
}
KeyPress ctrl(std::uint32_t k, bool withShift = false) {
    return {k, true, withShift};
}

class KeyboardTest : public AppTest {
protected:
    RecordingWindowHost host;
    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    FakeTaskScheduler scheduler;

    void SetUp() override {
        AppTest::SetUp();
        platform.windowHost = &host;
        platform.registry = &registry;
        platform.systemInfo = &systemInfo;
        platform.taskScheduler = &scheduler;
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000), makeFan(1, 1000, 5000)};
        auto controller = std::make_unique<RecordingController>();
        controller->fanChannels = app.regulation.readings.fanList;
        backend = controller.get();
        app.regulation.controller = std::move(controller);
        // As after the tick that follows a connect: the temperatures were measured.
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
    }
    RecordingController* backend = nullptr;

    // The keys act on the regions of the last paint, as in the window.
    void paintTab(int tab) {
        app.ui.activeTab = tab;
        RecordingCanvas canvas;
        paintWindow(canvas, {0, 0, 740, 1080}, app.ui, model());
    }

    bool press(const KeyPress& k) {
        const bool used = onKeyDown(app, k);
        paintTab(app.ui.activeTab);
        return used;
    }

    int saves() const {
        return static_cast<int>(std::count(registry.writes.begin(), registry.writes.end(),
                                           std::wstring(L"CurvePoints")));
    }
};

} // namespace

TEST_F(KeyboardTest, TabWalksTheStopsOfThePageInDrawingOrderAndRoundTheEnd) {
    const std::vector<FocusStop> frame = {{REGION_TAB_FIRST, 0}, {REGION_MODE_FIRST, 3}};
    struct Case {
        int tab;
        bool autostartPending;
        std::vector<FocusStop> page;
    } cases[] = {
        {0, false, {{30, 0}, {31, 1}, {32, 0}, {33, 0}}},
        {1, false, {{45, 0}, {45, 1}, {45, 2}, {45, 3}, {43, 0}, {44, 0}}},
        {2, false, {}},
        {4,
         false,
         {{63, 0},
          {60, 0},
          {61, 0},
          {62, 0},
          {70, 0},
          {71, 0},
          {72, 0},
          {73, 0},
          {74, 0},
          {80, 0},
          {81, 0},
          {82, 0},
          {83, 0},
          {84, 0}}},
        // A switch that cannot be flipped is no stop.
        {4,
         true,
         {{63, 0},
          {61, 0},
          {62, 0},
          {70, 0},
          {71, 0},
          {72, 0},
          {73, 0},
          {74, 0},
          {80, 0},
          {81, 0},
          {82, 0},
          {83, 0},
          {84, 0}}},
    };
    app.settings.mode = ControlMode::Balanced; // the group is entered on the mode in use
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        app.settings.autostartPending = c.autostartPending;
        paintTab(c.tab);
        std::vector<FocusStop> all = frame;
        all.insert(all.end(), c.page.begin(), c.page.end());
        app.ui.focus = {REGION_TAB_FIRST, 0};
        for (std::size_t i = 1; i <= all.size(); ++i) {
            EXPECT_TRUE(press(key(KEY_TAB)));
            EXPECT_EQ(app.ui.focus, all[i % all.size()]) << i;
        }
        for (std::size_t i = all.size(); i-- > 0;) {
            press(shift(KEY_TAB));
            EXPECT_EQ(app.ui.focus, all[i]) << i;
        }
    }
}

TEST_F(KeyboardTest, KeysPressControlsAsAClickDoes) {
    struct Case {
        const char* what;
        int tab;
        FocusStop focus;
        std::vector<KeyPress> keys;
        bool used;
        std::function<void()> check;
    } cases[] = {
        {"tab list: Down, Down",
         0,
         {1, 0},
         {key(KEY_DOWN), key(KEY_DOWN)},
         true,
         [this] { EXPECT_EQ(app.ui.activeTab, 2); }},
        {"tab list: Up stops at the first",
         0,
         {1, 0},
         {key(KEY_UP)},
         true,
         [this] { EXPECT_EQ(app.ui.activeTab, 0); }},
        {"tab list: End, Home",
         2,
         {1, 0},
         {key(KEY_END)},
         true,
         [this] { EXPECT_EQ(app.ui.activeTab, 5); }},
        {"modes: Right, Right, Space applies Leise",
         0,
         {20, 0},
         {key(KEY_RIGHT), key(KEY_RIGHT), key(KEY_SPACE)},
         true,
         [this] {
             EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
             EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, L"Software\\Ventrasol",
                                      L"ActiveProfile"),
                       2u);
             EXPECT_EQ(backend->rpmCalls.size(), 2u) << "both fans commanded";
         }},
        {"modes: Left wraps to Manuell, Enter applies it",
         0,
         {20, 0},
         {key(KEY_LEFT), key(KEY_ENTER)},
         true,
         [this] { EXPECT_EQ(app.settings.mode, ControlMode::Manual); }},
        {"modes: the arrows only move the focus",
         0,
         {20, 0},
         {key(KEY_DOWN)},
         true,
         [this] {
             EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
             EXPECT_EQ(app.ui.focus, (FocusStop{20, 1}));
         }},
        {"switch: Space toggles and saves",
         0,
         {32, 0},
         {key(KEY_SPACE)},
         true,
         [this] {
             EXPECT_FALSE(app.settings.linkSliders);
             EXPECT_EQ(saves(), 1);
         }},
        {"switch: Enter does nothing",
         0,
         {32, 0},
         {key(KEY_ENTER)},
         false,
         [this] { EXPECT_TRUE(app.settings.linkSliders); }},
        {"button: Enter applies the manual speeds",
         0,
         {33, 0},
         {key(KEY_ENTER)},
         true,
         [this] { EXPECT_EQ(app.settings.mode, ControlMode::Manual); }},
        {"button: Space resets the curve",
         1,
         {44, 0},
         {key(KEY_SPACE)},
         true,
         [this] { EXPECT_EQ(app.settings.curve, DEFAULT_CURVE); }},
        {"the notifications switch, like every switch of the table",
         4,
         {71, 0},
         {key(KEY_SPACE)},
         true,
         [this] {
             EXPECT_FALSE(app.settings.tray.notifications);
             EXPECT_EQ(saves(), 1);
         }},
        {"Ctrl+Tab from a page control: next tab, focus to the tab list",
         0,
         {33, 0},
         {ctrl(KEY_TAB)},
         true,
         [this] {
             EXPECT_EQ(app.ui.activeTab, 1);
             EXPECT_EQ(app.ui.focus, (FocusStop{1, 0}));
         }},
        {"Ctrl+Shift+Tab wraps to the last tab",
         0,
         {1, 0},
         {ctrl(KEY_TAB, true)},
         true,
         [this] { EXPECT_EQ(app.ui.activeTab, 5); }},
        {"Ctrl+PageDown, Ctrl+PageDown, Ctrl+PageUp",
         3,
         {20, 2},
         {ctrl(KEY_PAGE_DOWN), ctrl(KEY_PAGE_DOWN), ctrl(KEY_PAGE_UP)},
         true,
         [this] {
             EXPECT_EQ(app.ui.activeTab, 4);
             EXPECT_EQ(app.ui.focus, (FocusStop{20, 2})) << "the mode group stays";
         }},
        {"a letter is not used",
         0,
         {33, 0},
         {key('A')},
         false,
         [this] { EXPECT_FALSE(app.ui.focusCues); }},
        {"a control of another page takes no key",
         0,
         {44, 0},
         {key(KEY_SPACE)},
         false,
         [this] { EXPECT_EQ(saves(), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.settings = Settings{};
        app.ui.focusCues = false;
        registry.writes.clear();
        paintTab(c.tab);
        app.ui.focus = c.focus;
        bool used = true;
        for (const KeyPress& k : c.keys)
            used = press(k) && used;
        EXPECT_EQ(used, c.used);
        EXPECT_EQ(app.ui.focusCues, c.used) << "a used key shows the focus ring";
        c.check();
    }
}

TEST_F(KeyboardTest, SliderKeysMoveBySmallAndLargeStepsWithinTheFansRangeAndSave) {
    app.settings.linkSliders = true;
    app.settings.manualRpm = {2200.0, 2000.0};
    paintTab(0);
    app.ui.focus = {30, 0};
    struct Step {
        KeyPress key;
        double fan0;
    } steps[] = {{key(KEY_RIGHT), 2250},     {key(KEY_UP), 2300},    {key(KEY_PAGE_UP), 2800},
                 {key(KEY_PAGE_DOWN), 2300}, {key(KEY_LEFT), 2250},  {key(KEY_DOWN), 2200},
                 {key(KEY_END), 6000},       {key(KEY_RIGHT), 6000}, {key(KEY_HOME), 1200},
                 {key(KEY_PAGE_DOWN), 1200}};
    int presses = 0;
    for (const Step& s : steps) {
        EXPECT_TRUE(press(s.key));
        EXPECT_EQ(app.settings.manualRpm[0], s.fan0) << s.key.key;
        // Linked: fan 2 stands at the same share of its own range.
        const double f = (s.fan0 - 1200.0) / 4800.0;
        EXPECT_EQ(app.settings.manualRpm[1], std::round(1000.0 + 4000.0 * f));
        EXPECT_EQ(saves(), ++presses) << "saved as after a drag";
    }
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto) << "nothing is applied";
}

TEST_F(KeyboardTest, CurvePointKeysMoveItByOneDegreeOrPercentWithinTheEditor) {
    app.settings.curve = {{{35.0, 1.0}, {60.0, 30.0}, {72.0, 60.0}, {94.5, 100.0}}};
    paintTab(1);
    struct Step {
        int point;
        KeyPress key;
        CurvePoint after;
    } steps[] = {
        {0, key(KEY_LEFT), {35.0, 1.0}},    {0, key(KEY_DOWN), {35.0, 0.0}},
        {0, key(KEY_DOWN), {35.0, 0.0}},    {0, key(KEY_RIGHT), {36.0, 0.0}},
        {3, key(KEY_RIGHT), {95.0, 100.0}}, {3, key(KEY_UP), {95.0, 100.0}},
        {3, key(KEY_LEFT), {94.0, 100.0}},
    };
    for (const Step& s : steps) {
        app.ui.focus = {REGION_CURVE_CHART, s.point};
        EXPECT_TRUE(press(s.key));
        EXPECT_EQ(app.settings.curve[static_cast<std::size_t>(s.point)], s.after);
    }
    EXPECT_EQ(saves(), 7);
    EXPECT_TRUE(backend->rpmCalls.empty()) << "outside the curve mode the fans stay";
    app.settings.mode = ControlMode::Curve;
    app.regulation.readings.cpuTemp = 94.0;
    press(key(KEY_UP));
    EXPECT_FALSE(backend->rpmCalls.empty()) << "in the curve mode they follow at once";
}
