#include "app/app_tick.h"
#include "app/backend_selection.h"

#include "app/control_recovery.h"

#include "fakes/app_fixture.h"
#include "fakes/await_sample.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_manager.h"
#include "fakes/fake_smc_device.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_thermal_zone_query.h"
#include "hardware/smc_codec.h"
#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "regulation/periodic_tick.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

const wchar_t* const BIOS = L"HARDWARE\\DESCRIPTION\\System\\BIOS";

class BackendSelection : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        platform.deviceIo = &device;
        platform.serviceManager = &scm;
        platform.thermalZones = &wmi;
        platform.libraryLoader = &loader;
        nvapi.installInto(&loader);
        info.path = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";
    }
    void machine(const std::wstring& maker, const std::wstring& product) {
        registry.setString(RegistryRoot::LocalMachine, BIOS, L"SystemManufacturer", maker);
        registry.setString(RegistryRoot::LocalMachine, BIOS, L"SystemProductName", product);
    }
    FakeRegistry registry;
    FakeSystemInfo info;
    FakeSmcDevice device;
    FakeServiceManager scm;
    FakeThermalZoneQuery wmi;
    FakeLibraryLoader loader;
    FakeNvapi nvapi;

    // Waits for the generic backend's first snapshot, taken on its sensor thread.
    void awaitFirstSnapshot() {
        auto* pc = dynamic_cast<UniversalPCController*>(app.regulation.controller.get());
        ASSERT_NE(pc, nullptr);
        pc->sampleSoon(); // the program's next tick would
        ASSERT_TRUE(awaitSample(*pc, 0));
    }
};

} // namespace

TEST_F(BackendSelection, ReloadAndExitNeverWaitForASensorThreadHungInWmi) {
    machine(L"Dell Inc.", L"XPS 15");
    wmi.rows = {FakeThermalZoneQuery::row(3332, L"CPU")};
    const struct {
        const char* step;
        void (*run)(AppState&);
        bool reload;
    } table[] = {
        {"reload", [](AppState& a) { initBackend(a); }, true},
        {"exit", [](AppState& a) { a.regulation.controller.reset(); }, false},
    };
    int threadsEnded = 0;
    for (const auto& row : table) {
        initBackend(app);
        auto* pc = dynamic_cast<UniversalPCController*>(app.regulation.controller.get());
        ASSERT_NE(pc, nullptr);
        const SensorThreadEnd ended = pc->sensorThreadEnd();
        wmi.hold = true;
        pc->sampleSoon();
        for (int i = 0; i < 5000 && wmi.held == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(wmi.held.load(), 1) << row.step;

        // The latch goes after 3 s at the latest: a step that waits for the query comes back
        // late instead of hanging the test.
        std::promise<void> measured;
        std::thread deadline([this, done = measured.get_future()] {
            done.wait_for(std::chrono::seconds(3));
            wmi.hold = false;
        });
        const auto start = std::chrono::steady_clock::now();
        row.run(app);
        const auto took = std::chrono::steady_clock::now() - start;
        const bool leftBehind = !ended.waitFor(std::chrono::milliseconds(0));
        measured.set_value();
        deadline.join();
        // At most the worker's bound, and what a busy machine adds; never the query's time.
        EXPECT_LT(took, std::chrono::seconds(1)) << row.step;
        EXPECT_TRUE(leftBehind) << row.step << ": the thread should still be in the query";
        EXPECT_EQ(app.regulation.controller != nullptr, row.reload) << row.step;

        // Let go, the thread finishes on its own and releases what it opened.
        ASSERT_TRUE(ended.waitFor(std::chrono::seconds(5))) << row.step;
        app.regulation.controller.reset();
        threadsEnded += row.reload ? 2 : 1; // the hung one, and the new backend's at its end
        EXPECT_EQ(wmi.threadsLeft, threadsEnded) << row.step;
        EXPECT_EQ(wmi.liveConnections, 0) << row.step;
        EXPECT_EQ(loader.references[L"nvapi64.dll"], 0) << row.step;
    }
}

TEST_F(BackendSelection, AGenericMachineGetsTheGenericBackendAndOneRoundOfReadings) {
    machine(L"Dell Inc.", L"XPS 15");
    wmi.rows = {FakeThermalZoneQuery::row(3332, L"CPU")};
    initBackend(app);
    ASSERT_NE(app.regulation.controller, nullptr);
    // The first round finds no snapshot yet: the fans are known, the readings are fallbacks.
    EXPECT_EQ(app.regulation.readings.cpuTemp, 42);
    EXPECT_EQ(app.regulation.readings.gpuTemp, 39);
    awaitFirstSnapshot();
    runTick(app.regulation, app.settings);
    EXPECT_EQ(app.identity.vendor, VendorKind::Dell);
    EXPECT_EQ(app.regulation.controller->backendName(), L"Dell SMM / Alienware");
    EXPECT_TRUE(app.regulation.controller->isConnected());
    ASSERT_EQ(app.regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(app.regulation.readings.fanList[0].label, L"Dell CPU Lüfter");
    // The tick copies the fans after the update read the GPU's tachometer into fan 1.
    EXPECT_EQ(app.regulation.readings.fanList[1].currentRpm, 1450);
    EXPECT_EQ(app.regulation.controller->fans()[1].currentRpm, 1450);
    ASSERT_EQ(app.regulation.readings.sensorList.size(), 3u);
    EXPECT_NEAR(app.regulation.readings.cpuTemp, 60.05, 1e-9);
    EXPECT_EQ(app.regulation.readings.gpuTemp, 57);
    EXPECT_TRUE(device.requests.empty());
    EXPECT_TRUE(scm.calls.empty());
}

TEST_F(BackendSelection, AnAppleWithoutItsDriverKeepsTheDegradedSmcBackend) {
    machine(L"Apple Inc.", L"MacBookPro16,1");
    device.present = false;
    app.settings.mode = ControlMode::Manual;
    initBackend(app);
    ASSERT_NE(app.regulation.controller, nullptr);
    EXPECT_TRUE(app.identity.isApple && app.identity.isLaptop);
    EXPECT_EQ(app.regulation.controller->backendName(), L"Apple SMC Kernel-Treiber (Boot Camp)");
    EXPECT_EQ(app.regulation.controller->statusText(),
              L"AppleSMC Treiber nicht verbunden (applesmc.sys prüfen)");
    EXPECT_FALSE(app.regulation.controller->isConnected());
    // No driver file beside the program and no service: nothing was created.
    EXPECT_TRUE(scm.services.empty());
    ASSERT_EQ(app.regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(app.regulation.readings.fanList[0].label, L"Linker Lüfter (CPU)");
    EXPECT_EQ(app.regulation.readings.fanList[1].maxRpm, 5343);
    EXPECT_TRUE(loader.events.empty()); // the generic backend's libraries were never touched
}

TEST_F(BackendSelection, AReloadDestroysThePreviousBackendBeforeTheNewOneConnects) {
    machine(L"LENOVO", L"ThinkPad");
    for (int i = 0; i < 3; ++i) {
        initBackend(app);
        awaitFirstSnapshot();
    }
    EXPECT_EQ(wmi.events, (std::vector<std::string>{"connect", "query", "release", "connect",
                                                    "query", "release", "connect", "query"}));
    const std::vector<std::wstring> oneRound = {L"load nvapi64.dll", L"load atiadlxx.dll failed"};
    std::vector<std::wstring> expected;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            expected.push_back(L"free nvapi64.dll");
        expected.insert(expected.end(), oneRound.begin(), oneRound.end());
    }
    EXPECT_EQ(loader.events, expected);
    EXPECT_EQ(wmi.liveConnections, 1);
    app = AppState{};
    EXPECT_EQ(wmi.liveConnections, 0);
    EXPECT_EQ(loader.references[L"nvapi64.dll"], 0);
}

TEST_F(BackendSelection, AnAppleReloadClosesTheOldDeviceBeforeOpeningItAgain) {
    machine(L"Apple Inc.", L"MacBookPro15,1");
    scm.files.insert(L"C:\\Program Files\\Ventrasol\\applesmc.sys");
    initBackend(app);
    EXPECT_TRUE(app.regulation.controller->isConnected());
    EXPECT_EQ(scm.services.count(L"applesmc"), 1u); // installed by connect
    ASSERT_EQ(device.openHandles.size(), 1u);
    const DeviceHandle first = device.openHandles[0];
    initBackend(app);
    ASSERT_EQ(device.openHandles.size(), 1u);
    EXPECT_NE(device.openHandles[0], first);
    EXPECT_EQ(device.closes, 1);
}

TEST_F(BackendSelection, AReloadTakesTheFansAfreshAndLeavesModeCurveMemoryAndNotice) {
    machine(L"Apple Inc.", L"MacBookPro15,1");
    initBackend(app);
    app.regulation.readings.fanList[0].label = L"erste Meldung";
    app.settings.mode = ControlMode::Manual;
    app.settings.manualRpm = {3000, 3100};
    app.regulation.lastCurveRpm = {2000, 2100, -1, -1};
    app.regulation.notice.text = L"Manueller Modus aktiv";
    app.regulation.notice.isError = true;
    device.requests.clear();

    initBackend(app);
    EXPECT_EQ(app.settings.mode, ControlMode::Manual);
    EXPECT_EQ(app.regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(app.regulation.readings.fanList[0].label,
              L"Linker Lüfter (CPU)"); // from the new backend
    EXPECT_EQ(app.regulation.readings.fanList[0].currentRpm, 2160);
    EXPECT_EQ(app.regulation.lastCurveRpm, (std::array<double, 4>{2000, 2100, -1, -1}));
    EXPECT_EQ(app.regulation.notice.text, L"Manueller Modus aktiv");
    EXPECT_TRUE(app.regulation.notice.isError);
    EXPECT_TRUE(device.writes().empty()); // the manual speeds are not sent again

    applyControlMode(app.regulation, app.settings,
                     ControlMode::Manual); // applying the mode again sends them to the new one
    const auto writes = device.writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].first, "F0Tg");
    EXPECT_EQ(writes[1], (std::pair<std::string, std::vector<std::uint8_t>>{"F0Md", {1}}));
    EXPECT_EQ(writes[2].first, "F1Tg");
    EXPECT_EQ(writes[3], (std::pair<std::string, std::vector<std::uint8_t>>{"F1Md", {1}}));
    double sent = 0;
    ASSERT_TRUE(decodeSmcFloat(writes[2].second.data(), &sent));
    EXPECT_EQ(sent, 3100);
}

TEST_F(BackendSelection, AReloadInCurveModeKeepsTheHysteresisAcrossBackends) {
    machine(L"Apple Inc.", L"MacBookPro15,1");
    initBackend(app);
    app.settings.mode = ControlMode::Curve;
    applyCurve(app.regulation, app.settings, true); // the speeds last written to the old backend
    const auto written = app.regulation.lastCurveRpm;
    ASSERT_GT(written[0], 0);
    device.requests.clear();

    initBackend(app);
    EXPECT_TRUE(device.writes().empty()); // same temperatures: within the hysteresis
    EXPECT_EQ(app.regulation.lastCurveRpm, written);

    device.setFloat("TC0P", 95.0f); // much hotter: the new backend is driven
    initBackend(app);
    EXPECT_FALSE(device.writes().empty());
}

TEST_F(BackendSelection, ReloadingTheDriverHandsBackThroughTheOldBackendAndAppliesTheModeAgain) {
    machine(L"Apple Inc.", L"MacBookPro15,1");
    using Writes = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;
    const Writes handBack = {{"F0Md", {0}}, {"F1Md", {0}}, {"FS! ", {0}}};
    initBackend(app);
    applyControlMode(app.regulation, app.settings, ControlMode::Balanced);
    const Writes balanced = device.writes();
    device.requests.clear();
    reloadDriver(app);
    Writes expected = handBack;
    expected.insert(expected.end(), balanced.begin(), balanced.end());
    EXPECT_EQ(device.writes(), expected);
    EXPECT_EQ(device.closes, 1);
    EXPECT_EQ(app.settings.mode, ControlMode::Balanced);

    // The device is gone when the new backend opens it: the fans were handed back first, and
    // the program says it no longer drives them.
    device.requests.clear();
    device.present = false;
    reloadDriver(app);
    EXPECT_EQ(device.writes(), handBack);
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    EXPECT_TRUE(app.regulation.notice.isError);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, L"Software\\Ventrasol", L"ActiveProfile"),
              0u);

    // In System-Auto a reload sends nothing at all.
    device.present = true;
    device.requests.clear();
    reloadDriver(app);
    EXPECT_TRUE(device.writes().empty());
}

TEST_F(BackendSelection, EveryConnectHandsBackFansItFindsForcedAndAMasklessSmcShowsNoFault) {
    machine(L"Apple Inc.", L"MacBookPro15,1");
    scm.files.insert(L"C:\\Program Files\\Ventrasol\\applesmc.sys");
    device.removeKey("FS! "); // a generation that has only the mode keys
    initBackend(app);
    applyControlMode(app.regulation, app.settings, ControlMode::SystemAuto);
    EXPECT_FALSE(app.regulation.notice.isError);
    for (int i = 0; i < 6; ++i)
        tickApp(app);
    EXPECT_FALSE(app.regulation.readings.driverFault);

    // A reload finds a fan forced (the driver restarted while a hand-back failed).
    const std::uint8_t forced = 1;
    device.setKey("F0Md", 1, &forced, true);
    device.requests.clear();
    initBackend(app);
    EXPECT_EQ(device.keyBytes("F0Md"), (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(app.regulation.notice.text,
              L"Lüfter waren noch manuell gesteuert – an System-Automatik zurückgegeben.");
}
