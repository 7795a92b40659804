#include "app/app_tick.h"
#include "app/commands.h"
#include "app/tray.h"
#include "app/window_events.h"
#include "base/texts.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"

#include <algorithm>

namespace {

const std::wstring RUN_KEY = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring SETTINGS_KEY = L"Software\\Ventrasol";

class WindowEventsTest : public FakeAppTest {
protected:
    RecordingController* backend = nullptr;

    void SetUp() override {
        FakePlatformTest::SetUp();
        registry.addKey(RegistryRoot::CurrentUser, RUN_KEY); // Windows always has it
    }
    RecordingController& installBackend() {
        auto owned = std::make_unique<RecordingController>();
        owned->fanChannels = {makeFan(0, 1200, 6000, 2000), makeFan(1, 1000, 5000, 1800)};
        backend = owned.get();
        app.regulation.controller = std::move(owned);
        // As after the tick that follows a connect: the temperatures were measured.
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
        return *backend;
    }
    int backendCalls(const std::string& name) const {
        return backend ? static_cast<int>(
                             std::count(backend->calls.begin(), backend->calls.end(), name))
                       : 0;
    }
};

} // namespace

TEST_F(WindowEventsTest, CreationStartsTheOnceASecondTimer) {
    onWindowCreated();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"setTimer 1001 1000"}));
}

TEST_F(WindowEventsTest, OnlyTheTickTimerTicksAndRepaints) {
    installBackend();
    onTimer(app, 7);
    onTimer(app, 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(backend->calls.empty());

    onTimer(app, TICK_TIMER_ID);
    EXPECT_EQ(backendCalls("update"), 1);
    EXPECT_EQ(app.regulation.readings.cpuTemp, backend->cpu);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back(), "invalidate 0");
}

TEST_F(WindowEventsTest, ModeCommandsApplyTheirModes) {
    installBackend();
    const std::pair<std::uint32_t, ControlMode> table[] = {
        {CMD_MODE_QUIET, ControlMode::Quiet}, {CMD_MODE_BALANCED, ControlMode::Balanced},
        {CMD_MODE_MAX, ControlMode::Max},     {CMD_MODE_MANUAL, ControlMode::Manual},
        {CMD_MODE_CURVE, ControlMode::Curve}, {CMD_MODE_SYSTEM_AUTO, ControlMode::SystemAuto},
    };
    for (const auto& [id, mode] : table) {
        host.calls.clear();
        handleCommand(app, id);
        EXPECT_EQ(app.settings.mode, mode) << id;
        // The mode change repaints by itself; the command adds no second request.
        EXPECT_EQ(host.count("invalidate 0"), 1) << id;
    }
    EXPECT_EQ(backendCalls("setAutomatic"), 1);
}

TEST_F(WindowEventsTest, ForeignCommandIdsDoNothing) {
    installBackend();
    app.settings.mode = ControlMode::Quiet;
    for (std::uint32_t id : {0u, 2000u, 2011u, 0xFFFFu, CMD_MODE_QUIET + 0x10000u})
        handleCommand(app, id);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(backend->calls.empty());
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
    EXPECT_FALSE(app.settings.autostartEnabled);
}

TEST_F(WindowEventsTest, OpenAndExitCommands) {
    handleCommand(app, CMD_OPEN_DASHBOARD);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"showMainWindow"}));
    host.calls.clear();
    handleCommand(app, CMD_EXIT);
    // The exit sequence itself runs on the WM_DESTROY that the destruction sends.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"destroyWindow"}));
}

TEST_F(WindowEventsTest, AutostartCommandRegistersAndDeletesTheTask) {
    const std::wstring quoted = L"\"" + systemInfo.path + L"\"";
    handleCommand(app, CMD_TOGGLE_AUTOSTART);
    EXPECT_TRUE(app.settings.autostartEnabled);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted + L" --minimized");
    EXPECT_EQ(host.calls.back(), "invalidate 0");

    host.calls.clear();
    handleCommand(app, CMD_TOGGLE_AUTOSTART);
    EXPECT_FALSE(app.settings.autostartEnabled);
    EXPECT_FALSE(scheduler.commandLine(L"Ventrasol").has_value());
    EXPECT_EQ(host.calls.back(), "invalidate 0");
}

TEST_F(WindowEventsTest, StartMinimizedCommandRegistersTheTaskAgainOnlyWhileAutostartIsOn) {
    const std::wstring quoted = L"\"" + systemInfo.path + L"\"";
    // Autostart off: the option flips and is saved; no task appears.
    handleCommand(app, CMD_TOGGLE_START_MINIMIZED);
    EXPECT_FALSE(app.settings.startMinimized);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY, L"StartMinimized"), 0u);
    EXPECT_FALSE(scheduler.commandLine(L"Ventrasol").has_value());
    EXPECT_EQ(host.calls.back(), "invalidate 0");

    // Autostart on: the task's command line follows the option at once, both ways.
    handleCommand(app, CMD_TOGGLE_AUTOSTART);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted);
    handleCommand(app, CMD_TOGGLE_START_MINIMIZED);
    EXPECT_TRUE(app.settings.startMinimized);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted + L" --minimized");
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY, L"StartMinimized"), 1u);
    handleCommand(app, CMD_TOGGLE_START_MINIMIZED);
    EXPECT_EQ(scheduler.commandLine(L"Ventrasol"), quoted);
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(WindowEventsTest, ExitSequenceHandsTheFansBackThenQuits) {
    installBackend();
    app.trayIcon.added = true;
    runExitSequence(app);
    EXPECT_EQ(backendCalls("setAutomatic"), 1);
    ASSERT_GE(host.calls.size(), 3u);
    EXPECT_EQ(host.calls.front(), "killTimer 1001");
    EXPECT_EQ(host.count("trayDelete"), 1);
    EXPECT_EQ(host.calls.back(), "postQuit 0");
    // Nothing is saved and the backend lives on until the process ends.
    EXPECT_NE(app.regulation.controller, nullptr);
    // A taskbar restart after this point must not bring the icon back.
    host.calls.clear();
    onTaskbarCreated(app.trayIcon);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(WindowEventsTest, ExitSequenceLeavesTheFansWhenAskedTo) {
    installBackend();
    app.settings.resetFansOnExit = false;
    runExitSequence(app);
    EXPECT_EQ(backendCalls("setAutomatic"), 0);
    EXPECT_EQ(host.calls.back(), "postQuit 0");

    // Without a backend the sequence still completes.
    app = AppState{};
    host.calls.clear();
    runExitSequence(app);
    EXPECT_EQ(host.calls.front(), "killTimer 1001");
    EXPECT_EQ(host.calls.back(), "postQuit 0");
}

TEST_F(WindowEventsTest, ExitRetriesARefusedHandBackForAWhileThenQuitsAnyway) {
    RecordingController& b = installBackend();
    b.setAutomaticFailures = 2;
    runExitSequence(app);
    EXPECT_EQ(backendCalls("setAutomatic"), 3);
    EXPECT_EQ(host.calls.back(), "postQuit 0");

    backend->calls.clear();
    b.setAutomaticResult = false; // never accepted: the exit still ends
    runExitSequence(app);
    EXPECT_GE(backendCalls("setAutomatic"), 2);
    EXPECT_EQ(host.calls.back(), "postQuit 0");
}

TEST_F(WindowEventsTest, OnlyASessionThatReallyEndsEndsTheProgram) {
    installBackend();
    onSessionEnd(app, false);
    EXPECT_EQ(backendCalls("setAutomatic"), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(app.exitSequenceRan);
    onSessionEnd(app, true);
    EXPECT_EQ(backendCalls("setAutomatic"), 1);
    EXPECT_EQ(host.calls.back(), "postQuit 0");
    EXPECT_TRUE(app.exitSequenceRan);
}

TEST_F(WindowEventsTest, DpiChangeRescalesMovesAndRepaintsWithErase) {
    host.dpi = 144;
    onDpiChanged(app, nullptr);
    EXPECT_EQ(app.ui.dpiScale, 1.5f);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"invalidate 1"}));

    host.calls.clear();
    host.dpi = 96;
    const Rect suggested{100, 50, 840, 1130};
    onDpiChanged(app, &suggested);
    EXPECT_EQ(app.ui.dpiScale, 1.0f);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"setWindowRect 100 50 740 1080", "invalidate 1"}));
}

TEST_F(WindowEventsTest, TaskbarRestartAddsTheIconAgainWithItsCurrentTip) {
    onTaskbarCreated(app.trayIcon);
    EXPECT_TRUE(host.calls.empty()) << "no icon was added yet";

    addTrayIcon(app.trayIcon);
    installBackend();
    onTimer(app, TICK_TIMER_ID);
    const std::wstring liveTip = host.tips.back();
    ASSERT_NE(liveTip, text(TextId::TrayStarting));

    host.calls.clear();
    host.tips.clear();
    onTaskbarCreated(app.trayIcon);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"trayAdd"}));
    EXPECT_EQ(host.tips, (std::vector<std::wstring>{liveTip}));
}

TEST_F(WindowEventsTest, TheTooltipWaitsForTheIconAndThenShowsEveryFan) {
    installBackend().fanChannels = {makeFan(0, 1000, 5000, 2345.6), makeFan(1, 1000, 5000, 999)};
    tickApp(app);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(app.trayIcon.tip.empty());

    addTrayIcon(app.trayIcon);
    tickApp(app);
    EXPECT_EQ(host.count("trayModify"), 1);
    EXPECT_EQ(app.trayIcon.face.text, L"50") << "the hotter of CPU and GPU in the icon";
    EXPECT_EQ(app.trayIcon.tip,
              L"Ventrasol — CPU 50°C · GPU 40°C · 20.0 W\nLüfter 1: 2346 RPM\nLüfter 2: 999 RPM");
}

TEST_F(WindowEventsTest, WithoutABackendTheTooltipShowsTheLastReadings) {
    addTrayIcon(app.trayIcon);
    app.settings.mode = ControlMode::Curve;
    tickApp(app);
    EXPECT_EQ(app.trayIcon.tip, L"Ventrasol — CPU 42°C · GPU 38°C · 25.0 W");
    app.regulation.readings.fanList = {makeFan(0, 1000, 5000, 1500)};
    tickApp(app);
    EXPECT_EQ(app.trayIcon.tip, L"Ventrasol — CPU 42°C · GPU 38°C · 25.0 W\nLüfter 1: 1500 RPM");
}
