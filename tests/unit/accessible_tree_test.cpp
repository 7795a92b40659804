#include "app/window_reading.h"
#include "fakes/app_fixture.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_task_scheduler.h"
#include "fakes/layout_check.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_window_host.h"
#include "ui/accessible_tree.h"
#include "ui/controls.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using Role = AccessibleRole;

class AccessibleTreeTest : public AppTest {
protected:
    RecordingWindowHost host;
    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    FakeTaskScheduler scheduler;
    RecordingCanvas measurer;

    void SetUp() override {
        AppTest::SetUp();
        platform.windowHost = &host;
        platform.registry = &registry;
        platform.systemInfo = &systemInfo;
        platform.taskScheduler = &scheduler;
        loadLayoutScene(app, true);
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
    }

    std::vector<AccessibleElement> tree(int tab, int width = 740, int height = 1080) {
        app.ui.activeTab = tab;
        return readAccessibleTree(app, measurer, {0, 0, width, height});
    }

    static const AccessibleElement* byId(const std::vector<AccessibleElement>& t,
                                         const std::wstring& id) {
        for (const AccessibleElement& e : t)
            if (e.automationId == id)
                return &e;
        return nullptr;
    }
    static std::vector<std::wstring> texts(const std::vector<AccessibleElement>& t) {
        std::vector<std::wstring> out;
        for (const AccessibleElement& e : t)
            if (e.role == Role::Text)
                out.push_back(e.name);
        return out;
    }
    static bool hasText(const std::vector<AccessibleElement>& t, const std::wstring& name) {
        const std::vector<std::wstring> all = texts(t);
        return std::find(all.begin(), all.end(), name) != all.end();
    }
};

} // namespace

TEST_F(AccessibleTreeTest, TheFrameOffersTheTabsAndTheModesByTheirFullNames) {
    app.settings.mode = ControlMode::Max;
    // The smallest window cuts the mode captions on the screen; the names stay whole.
    const auto t = tree(2, 581, 520);
    const wchar_t* tabs[] = {L"tab.dashboard", L"tab.curve",  L"tab.sensors",
                             L"tab.hardware",  L"tab.driver", L"tab.about"};
    const wchar_t* modes[][2] = {
        {L"mode.auto", L"System-Auto"},    {L"mode.curve", L"Temperatur-Kurve"},
        {L"mode.quiet", L"Leise"},         {L"mode.balanced", L"Ausgewogen"},
        {L"mode.max", L"Maximal (Turbo)"}, {L"mode.manual", L"Manuell (RPM)"}};
    const AccessibleElement* list = byId(t, L"tabs");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role, Role::TabList);
    const int listIndex = static_cast<int>(list - t.data());
    for (int i = 0; i < 6; ++i) {
        const AccessibleElement* e = byId(t, tabs[i]);
        ASSERT_NE(e, nullptr) << i;
        EXPECT_EQ(e->role, Role::TabItem);
        EXPECT_EQ(e->parent, listIndex);
        EXPECT_EQ(e->selected, i == 2);
        EXPECT_EQ(e->name, controlCaption(REGION_TAB_FIRST + i));
    }
    const AccessibleElement* group = byId(t, L"modes");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->role, Role::Group);
    for (int m = 0; m < 6; ++m) {
        const AccessibleElement* e = byId(t, modes[m][0]);
        ASSERT_NE(e, nullptr) << m;
        EXPECT_EQ(e->role, Role::RadioButton);
        EXPECT_EQ(e->parent, static_cast<int>(group - t.data()));
        EXPECT_EQ(e->name, modes[m][1]);
        EXPECT_EQ(e->selected, m == 4);
        EXPECT_FALSE(hasText(t, modes[m][1]) && m != 4) << "a caption is no text of its own";
    }
}

TEST_F(AccessibleTreeTest, EveryPageHasItsControlsWithTheirStateAndValues) {
    app.settings.linkSliders = false;
    app.settings.resetFansOnExit = true;
    app.settings.manualRpm = {2500.0, 1800.0};
    struct Control {
        const wchar_t* id;
        Role role;
    };
    const struct {
        int tab;
        std::vector<Control> controls;
    } pages[] = {
        {0,
         {{L"fan1.manual", Role::Slider},
          {L"fan2.manual", Role::Slider},
          {L"option.linkSliders", Role::CheckBox},
          {L"button.applyManual", Role::Button}}},
        {1,
         {{L"curve.p1.temperature", Role::Slider},
          {L"curve.p1.level", Role::Slider},
          {L"curve.p4.level", Role::Slider},
          {L"button.curveActivate", Role::Button},
          {L"button.curveReset", Role::Button}}},
        {4,
         {{L"button.reload", Role::Button},
          {L"option.autostart", Role::CheckBox},
          {L"option.minimized", Role::CheckBox},
          {L"option.resetOnExit", Role::CheckBox},
          {L"option.trayTemperature", Role::CheckBox},
          {L"option.notifications", Role::CheckBox},
          {L"button.alarmDown", Role::Button},
          {L"button.alarmUp", Role::Button},
          {L"button.language", Role::Button},
          {L"option.followPowerSource", Role::CheckBox},
          {L"button.batteryMode", Role::Button},
          {L"button.mainsMode", Role::Button},
          {L"option.csvLog", Role::CheckBox},
          {L"button.openLogFolder", Role::Button}}},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.tab);
        const auto t = tree(page.tab);
        int controls = 0;
        for (const AccessibleElement& e : t)
            controls += e.role != Role::Text && e.role != Role::Group && e.role != Role::TabList &&
                        e.role != Role::TabItem && e.role != Role::RadioButton;
        EXPECT_EQ(controls, page.tab == 1 ? 10 : static_cast<int>(page.controls.size()))
            << "no other control on the page";
        for (const Control& c : page.controls) {
            const AccessibleElement* e = byId(t, c.id);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->role, c.role);
            EXPECT_TRUE(e->focusable);
            EXPECT_GT(e->bounds.width(), 0);
            EXPECT_FALSE(e->name.empty());
        }
    }
    const auto dashboard = tree(0);
    const AccessibleElement* fan2 = byId(dashboard, L"fan2.manual");
    EXPECT_EQ(fan2->name, L"Rechter Lüfter (GPU-Seite) – Manuelle Drehzahl-Vorgabe (RPM)");
    EXPECT_EQ(fan2->value, 1800.0);
    EXPECT_EQ(fan2->minimum, 1200.0);
    EXPECT_EQ(fan2->maximum, 5507.0);
    EXPECT_EQ(fan2->smallChange, 50.0);
    EXPECT_EQ(fan2->largeChange, 500.0);
    EXPECT_FALSE(byId(dashboard, L"option.linkSliders")->toggled);
    EXPECT_EQ(byId(dashboard, L"option.linkSliders")->name,
              L"Lüfter-Schieberegler synchron koppeln");
    const auto curve = tree(1);
    const AccessibleElement* p2 = byId(curve, L"curve.p2.level");
    EXPECT_EQ(p2->name, L"P2 Lüfterstufe (%)");
    EXPECT_EQ(p2->value, 30.0);
    EXPECT_EQ(p2->maximum, 100.0);
    EXPECT_EQ(byId(curve, L"curve.p4.temperature")->value, 85.0);
    EXPECT_EQ(byId(curve, L"curve.p4.temperature")->minimum, 35.0);
    const auto driver = tree(4);
    EXPECT_TRUE(byId(driver, L"option.resetOnExit")->toggled);
    EXPECT_FALSE(byId(driver, L"option.autostart")->toggled);
    EXPECT_EQ(byId(driver, L"button.reload")->name, L"Treiber neu laden");
    // A button whose face shows a value says it after its name; its label is no text of its own.
    EXPECT_EQ(byId(driver, L"button.batteryMode")->name, L"Im Akkubetrieb: Leise");
    EXPECT_FALSE(hasText(driver, L"Im Akkubetrieb"));
}

TEST_F(AccessibleTreeTest, TheTextsAreTheReadingsAndStatusWholeInLiveGroups) {
    app.regulation.readings.sensorList.resize(3);
    const auto dashboard = tree(0, 581, 720);
    // Readings as shown, and a text the narrow window cuts, whole.
    EXPECT_TRUE(hasText(dashboard, L"2416 RPM"));
    EXPECT_TRUE(hasText(dashboard, L"67 °C"));
    EXPECT_TRUE(hasText(dashboard, L"Linker Lüfter (CPU-Seite)"));
    EXPECT_FALSE(hasText(dashboard, L"Manuelle RPM anwenden")) << "the button's name";
    EXPECT_FALSE(hasText(dashboard, L"Lüfter-Schieberegler synchron koppeln")) << "the switch's";
    for (const std::wstring& text : texts(dashboard))
        EXPECT_EQ(text.find(L"…"), std::wstring::npos) << "cut on the screen, whole here";
    const AccessibleElement* live = byId(dashboard, L"liveStatus");
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(live->live);
    EXPECT_EQ(live->name, L"LIVE-STATUS, Treiber OK, CPU Max, 67.4 °C, GPU Max, 58.9 °C, "
                          L"Lüfter 1, 2416 RPM, Lüfter 2, 2210 RPM");
    int children = 0;
    for (const AccessibleElement& e : dashboard)
        children += e.parent == static_cast<int>(live - dashboard.data());
    EXPECT_EQ(children, 10);
    const AccessibleElement* notice = byId(dashboard, L"notice");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->live);
    EXPECT_EQ(notice->name, app.regulation.notice.text);

    const auto sensors = tree(2);
    EXPECT_TRUE(hasText(sensors, L"Hardware-Sensoren (3 aktiv)"));
    EXPECT_TRUE(hasText(sensors, L"TC0D"));
    EXPECT_TRUE(hasText(sensors, L"101.5 °C"));
    // A paragraph that wraps is one text.
    EXPECT_TRUE(hasText(tree(5, 581, 720),
                        L"• ASUS, Lenovo, Dell, HP, Acer, MSI, Gigabyte und andere PCs: "
                        L"ACPI-Temperaturzonen über WMI · nur Anzeige, die Lüfter regelt die "
                        L"Firmware"));
}

TEST_F(AccessibleTreeTest, TheFocusedElementHasTheKeyboardFocusOnlyWhileTheWindowHasIt) {
    struct Case {
        int tab;
        FocusStop focus;
        const wchar_t* id;
    } cases[] = {{0, {1, 0}, L"tab.dashboard"},
                 {0, {20, 3}, L"mode.balanced"},
                 {0, {31, 1}, L"fan2.manual"},
                 {1, {45, 2}, L"curve.p3.temperature"},
                 {4, {62, 0}, L"option.resetOnExit"}};
    for (const Case& c : cases) {
        app.ui.focus = c.focus;
        for (bool focused : {true, false}) {
            app.ui.windowFocused = focused;
            const auto t = tree(c.tab);
            const auto n = std::count_if(t.begin(), t.end(),
                                         [](const AccessibleElement& e) { return e.focused; });
            EXPECT_EQ(n, focused ? 1 : 0) << c.id;
            EXPECT_EQ(byId(t, c.id)->focused, focused) << c.id;
        }
    }
}

TEST_F(AccessibleTreeTest, ChangesBetweenTwoTreesAreTheEventsAReaderHears) {
    using Kind = AccessibleChange::Kind;
    app.ui.windowFocused = true;
    app.ui.focus = {32, 0};
    const auto before = tree(0);
    const std::int32_t link = 32 * 16, slider = 30 * 16, balanced = 23 * 16 + 3;
    const std::int32_t apply = 33 * 16;
    app.settings.linkSliders = !app.settings.linkSliders;
    app.settings.manualRpm[0] = 3000.0;
    app.settings.mode = ControlMode::Balanced;
    app.ui.focus = {33, 0};
    const auto after = tree(0);
    // In the order of the tree: the modes in the header, then the page.
    const std::vector<AccessibleChange> expected = {
        {Kind::Selected, balanced, 0.0, 1.0},
        {Kind::Value, slider, 2200.0, 3000.0},
        {Kind::Toggle, link, 1.0, 0.0},
        {Kind::Focus, apply, 0.0, 0.0},
    };
    EXPECT_EQ(accessibleChanges(before, after), expected);
    EXPECT_TRUE(accessibleChanges(after, after).empty());
    EXPECT_TRUE(accessibleChanges({}, after).empty()) << "a first tree is no change";
}

TEST_F(AccessibleTreeTest, LiveGroupsAreAnnouncedWhenChangedButNotMoreOftenThanTheInterval) {
    LiveAnnouncements announcements(5000);
    const std::int32_t status = KEY_LIVE_FIRST;
    struct Step {
        std::int64_t atMs;
        double cpu;
        std::vector<std::int32_t> announced;
    } steps[] = {
        {0, 67.4, {}},           // first seen: not news
        {1000, 68.0, {}},        // changed, but within the interval
        {5000, 68.0, {status}},  // the change, once the interval is over
        {6000, 68.0, {}},        // nothing new
        {9000, 70.0, {}},        // too soon after the last
        {10000, 70.0, {status}}, // now
    };
    for (const Step& s : steps) {
        app.regulation.readings.cpuTemp = s.cpu;
        EXPECT_EQ(announcements.due(tree(0), s.atMs), s.announced) << s.atMs;
    }
}

TEST_F(AccessibleTreeTest, ActionsOfAReaderGoThroughTheControlsOwnPaths) {
    auto key = [](std::int32_t region, std::int32_t arg) { return region * 16 + arg; };
    tree(0);
    EXPECT_TRUE(performAccessibleAction(app, key(23, 3), AccessibleAction::Select, 0.0));
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, L"Software\\Ventrasol", L"ActiveProfile"),
              3u);
    EXPECT_TRUE(performAccessibleAction(app, key(32, 0), AccessibleAction::Toggle, 0.0));
    EXPECT_FALSE(app.settings.linkSliders);
    EXPECT_TRUE(performAccessibleAction(app, key(30, 0), AccessibleAction::SetValue, 3000.0));
    EXPECT_EQ(app.settings.manualRpm[0], 3000.0);
    EXPECT_TRUE(performAccessibleAction(app, key(31, 1), AccessibleAction::Focus, 0.0));
    EXPECT_EQ(app.ui.focus, (FocusStop{31, 1}));
    EXPECT_TRUE(app.ui.focusCues);
    EXPECT_TRUE(performAccessibleAction(app, key(33, 0), AccessibleAction::Invoke, 0.0));
    EXPECT_EQ(app.settings.mode, ControlMode::Manual);
    EXPECT_TRUE(performAccessibleAction(app, key(3, 2), AccessibleAction::Select, 0.0));
    EXPECT_EQ(app.ui.activeTab, 2);

    tree(1);
    EXPECT_TRUE(performAccessibleAction(app, key(45, 3), AccessibleAction::SetValue, 64.4));
    EXPECT_EQ(app.settings.curve[1], (CurvePoint{60.0, 64.0}));
    // What an element cannot do, or an element that is not on the page, is refused.
    const struct {
        std::int32_t key;
        AccessibleAction action;
        double value;
    } refused[] = {{key(43, 0), AccessibleAction::Toggle, 0.0},
                   {key(30, 0), AccessibleAction::SetValue, 2000.0},
                   {key(45, 0), AccessibleAction::SetValue, NAN},
                   {TEXT_KEY_FIRST + 3, AccessibleAction::Invoke, 0.0},
                   {KEY_LIVE_FIRST, AccessibleAction::Focus, 0.0}};
    for (const auto& r : refused)
        EXPECT_FALSE(performAccessibleAction(app, r.key, r.action, r.value)) << r.key;
    EXPECT_EQ(app.settings.curve[0], DEFAULT_CURVE[0]);
}
