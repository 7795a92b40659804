// initBackend on the real Win32 seams: an Apple notebook reaching the simulator driver through
// the real installer, then the same session as a generic PC with the stand-in nvapi64.dll.
#include "app/backend_selection.h"
#include "fakes/app_fixture.h"
#include "fakes/await_sample.h"
#include "hardware/universal_pc_controller.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_thermal_zone_query.h"
#include "regulation/periodic_tick.h"
#include "win/scoped_bios_identity.h"
#include "win/smc_simulator.h"

#include <windows.h>

namespace {

class BackendSelectionUnderWine : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        platform.deviceIo = &io;
        platform.serviceManager = &scm;
        platform.thermalZones = &wmi;
        platform.libraryLoader = &loader;
        ASSERT_TRUE(bios.isOpen());
    }
    void TearDown() override {
        app = AppState{}; // the backend goes before the seams it uses
        AppTest::TearDown();
    }
    Win32Registry registry;
    Win32SystemInfo info;
    Win32DeviceIo io;
    Win32ServiceManager scm;
    Win32ThermalZoneQuery wmi;
    Win32LibraryLoader loader;
    ScopedBiosIdentity bios;
};

} // namespace

TEST_F(BackendSelectionUnderWine, AnAppleNotebookThenAGenericPcInOneSession) {
    bios.setAll(L"Apple Inc.", L"MacBookPro15,1", L"Apple Inc.", L"Mac-937A206F2EE63C01", L"1");
    SmcSimulator::ensureRunning();
    ASSERT_TRUE(SmcSimulator().reset());
    initBackend(app);
    ASSERT_NE(app.regulation.controller, nullptr);
    EXPECT_TRUE(app.identity.isApple && app.identity.isLaptop);
    EXPECT_EQ(app.regulation.controller->statusText(),
              L"AppleSMC aktiv (Port I/O via applesmc.sys)");
    ASSERT_EQ(app.regulation.readings.fanList.size(), 2u);
    EXPECT_EQ(app.regulation.readings.fanList[0].currentRpm, 2160);
    EXPECT_EQ(app.regulation.readings.sensorList.size(), 14u);
    EXPECT_DOUBLE_EQ(app.regulation.readings.cpuTemp, 62.0);

    // Reload: the old handle is closed before the new one opens (the driver allows both, so
    // what is checked is that the new backend works and the tick ran again).
    SmcSimulator().setFloat("TC0P", 80.0f);
    initBackend(app);
    EXPECT_DOUBLE_EQ(app.regulation.readings.cpuTemp, 80.0);

    bios.setAll(L"Micro-Star International Co., Ltd.", L"MS-7C37", L"Micro-Star", L"X570", L"1");
    initBackend(app);
    EXPECT_EQ(app.identity.vendor, VendorKind::Msi);
    EXPECT_EQ(app.regulation.controller->backendName(), L"MSI Dragon / Super-I/O Controller");
    EXPECT_EQ(app.regulation.controller->statusText(),
              L"Universeller PC ACPI / WMI Sensor-Treiber aktiv");
    EXPECT_NE(GetModuleHandleW(L"nvapi64.dll"), nullptr);
    // The sensors are read on the backend's own thread: the next tick shows them.
    auto* pc = dynamic_cast<UniversalPCController*>(app.regulation.controller.get());
    ASSERT_NE(pc, nullptr);
    pc->sampleSoon();
    ASSERT_TRUE(awaitSample(*pc, 0));
    runTick(app.regulation, app.settings);
    ASSERT_EQ(app.regulation.readings.sensorList.size(),
              2u); // no thermal zones under Wine; NV01 and PWR1
    EXPECT_EQ(app.regulation.readings.sensorList[0].key, L"NV01");
    EXPECT_EQ(app.regulation.readings.gpuTemp, 57);
    EXPECT_EQ(app.regulation.readings.cpuTemp, 42);
    // The new backend's fans replace the old ones, labels and ranges included.
    EXPECT_EQ(app.regulation.readings.fanList[0].label, L"Hauptlüfter (CPU / Gehäuse)");
    EXPECT_EQ(app.regulation.readings.fanList[0].maxRpm, 4500);

    app = AppState{};
    EXPECT_EQ(GetModuleHandleW(L"nvapi64.dll"), nullptr);
}
