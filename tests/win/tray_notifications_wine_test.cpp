// The notifications the program asks of the shell when it lets go of the fans, with the real
// SMC backend on the simulator driver: fans an earlier run left forced, and over-temperature.
#include "app/app_tick.h"
#include "app/backend_selection.h"
#include "app/tray.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_window_host.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_thermal_zone_query.h"
#include "regulation/control_modes.h"
#include "win/scoped_bios_identity.h"
#include "win/smc_simulator.h"

#include <memory>

namespace {

class TrayNotificationsUnderWine : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        platform.deviceIo = &io;
        platform.serviceManager = &scm;
        platform.thermalZones = &wmi;
        platform.libraryLoader = &loader;
        platform.windowHost = &shell; // what the program asks of the shell
        ASSERT_TRUE(bios.isOpen());
        bios.setAll(L"Apple Inc.", L"MacBookPro15,1", L"Apple Inc.", L"Mac-937A206F2EE63C01", L"1");
        ASSERT_TRUE(SmcSimulator::ensureRunning());
        sim = std::make_unique<SmcSimulator>(); // opens the device the line above brought up
        ASSERT_TRUE(sim->reset());
        addTrayIcon(app.trayIcon);
    }
    void TearDown() override {
        app = AppState{}; // the backend goes before the seams it uses
        if (sim)
            sim->reset();
        AppTest::TearDown();
    }
    Win32Registry registry;
    Win32SystemInfo info;
    Win32DeviceIo io;
    Win32ServiceManager scm;
    Win32ThermalZoneQuery wmi;
    Win32LibraryLoader loader;
    RecordingWindowHost shell;
    ScopedBiosIdentity bios;
    std::unique_ptr<SmcSimulator> sim;
};

} // namespace

TEST_F(TrayNotificationsUnderWine, ForcedFansAtStartAndOverTemperatureAreSaid) {
    // An earlier run left a fan forced: handed back at the connect, said at the next tick.
    const std::uint8_t forced = 1;
    ASSERT_TRUE(sim->setKey("F1Md", 1, &forced, true));
    initBackend(app);
    tickApp(app);
    SmcSimKey mode{};
    ASSERT_TRUE(sim->getKey("F1Md", &mode));
    EXPECT_EQ(mode.data[0], 0);
    // Then the machine runs hot in the quiet profile.
    applyControlMode(app.regulation, app.settings, ControlMode::Quiet);
    ASSERT_TRUE(sim->setFloat("TC0P", 97.0f));
    for (int i = 0; i < 3; ++i)
        tickApp(app);
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    EXPECT_TRUE(app.regulation.events.empty()) << "taken by the tick that saw them";
    EXPECT_EQ(shell.balloons,
              (std::vector<TrayBalloon>{
                  {L"Lüfter zurückgegeben",
                   L"Lüfter waren noch manuell gesteuert – an System-Automatik zurückgegeben.",
                   TrayBalloonKind::Info},
                  {L"Übertemperatur – Lüfter zurückgegeben",
                   L"Übertemperatur (97 °C): Lüfter an System-Automatik übergeben.",
                   TrayBalloonKind::Warning}}));
    // Meanwhile the icon showed the temperature in the hot colour.
    EXPECT_EQ(app.trayIcon.face.text, L"97");
    EXPECT_EQ(app.trayIcon.face.color, trayLevelColor(TrayLevel::Hot, false));
}
