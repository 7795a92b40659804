#include "app/commands.h"
#include "app/deferred_startup.h"
#include "app/tray.h"
#include "app/window_events.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_canvas.h"
#include "settings/autostart_task.h"
#include "ui/hit_region.h"
#include "ui/paint_window.h"

#include <chrono>
#include <future>

namespace {

class DeferredStartupTest : public FakeAppTest {
protected:
    void SetUp() override {
        systemInfo.path = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";
        std::wstring xml;
        ASSERT_TRUE(autostartTaskXml({systemInfo.path, scheduler.user, true}, &xml));
        scheduler.tasks[AUTOSTART_TASK_NAME] = xml;
    }
};

} // namespace

TEST_F(DeferredStartupTest, TheLogonTaskIsNotAskedBeforeTheWindowAndNeverWaitedFor) {
    registry.setDword(RegistryRoot::CurrentUser, L"Software\\Ventrasol", L"LinkFans", 0);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    scheduler.beforeRead = [released] { released.wait(); };
    // The scheduler hangs: the first half of the start-up returns all the same.
    beginStartup(app);
    AutostartLookup lookup;
    std::promise<void> answered;
    lookup.start(app.settings, [&answered] { answered.set_value(); });
    EXPECT_FALSE(app.settings.linkSliders);
    EXPECT_TRUE(app.settings.autostartPending);
    EXPECT_FALSE(takeAutostartAnswer(app, lookup));
    EXPECT_FALSE(lookup.wait(std::chrono::milliseconds(20)));

    // Shown as neither on nor off and not to be flipped, in the window and in the tray menu.
    app.ui.activeTab = 4;
    RecordingCanvas canvas;
    paintWindow(canvas, {0, 0, 724, 1041}, app.ui, model());
    for (const HitRegion& r : app.ui.hitRegions)
        EXPECT_NE(r.id, REGION_AUTOSTART_SWITCH);
    const std::vector<MenuEntry> menu = buildTrayMenu(app.settings);
    const MenuEntry& entry = menu.at(9);
    EXPECT_TRUE(entry.disabled && !entry.checked);

    release.set_value();
    ASSERT_EQ(answered.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(takeAutostartAnswer(app, lookup));
    EXPECT_TRUE(app.settings.autostartEnabled);
    EXPECT_FALSE(app.settings.autostartPending);
    EXPECT_TRUE(buildTrayMenu(app.settings).at(9).checked);
}

TEST_F(DeferredStartupTest, AnAutostartCommandBeforeTheAnswerIsCarriedOutAgainstIt) {
    for (const int commands : {1, 2}) {
        scheduler.tasks.clear();
        app = AppState{};
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        scheduler.beforeRead = [released] { released.wait(); };
        beginStartup(app);
        AutostartLookup lookup;
        lookup.start(app.settings, nullptr);
        for (int i = 0; i < commands; ++i)
            handleCommand(app, CMD_TOGGLE_AUTOSTART);
        EXPECT_TRUE(scheduler.tasks.empty()) << "nothing before the answer";
        release.set_value();
        ASSERT_TRUE(lookup.wait(std::chrono::seconds(10)));
        ASSERT_TRUE(takeAutostartAnswer(app, lookup));
        // Off at start; one switch turns it on, a second one back off.
        EXPECT_EQ(app.settings.autostartEnabled, commands == 1) << commands;
        EXPECT_EQ(scheduler.tasks.count(AUTOSTART_TASK_NAME), commands == 1 ? 1u : 0u);
    }
}
