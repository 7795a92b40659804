// Vendor detection in a Wine session built from a fake Lenovo notebook's firmware tables and
// battery, unplugged (tests/win/run_with_fake_firmware); skipped in every other session.
#include "fakes/platform_fixture.h"
#include "hardware/vendor_detection.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "regulation/power_source_rule.h"

#include <cstdlib>
#include <cstring>

TEST(VendorDetectionFromFirmware, ALenovoNotebookWithItsBattery) {
    const char* session = std::getenv("VENTRASOL_FAKE_FIRMWARE");
    if (!session || std::strcmp(session, "lenovo-notebook") != 0)
        GTEST_SKIP() << "needs the fake firmware session";
    Win32Registry registry;
    Win32SystemInfo info;
    platform.registry = &registry;
    platform.systemInfo = &info;
    const SystemIdentity id = detectSystemIdentity();
    platform = Platform{};
    EXPECT_EQ(id.vendor, VendorKind::Lenovo);
    EXPECT_EQ(id.manufacturer, L"LENOVO");
    EXPECT_EQ(id.product, L"20XW0055GE");
    EXPECT_EQ(id.model, L"20XW0055GE");
    EXPECT_EQ(id.boardManufacturer, L"LENOVO");
    EXPECT_EQ(id.biosVersion, L"N32ET75W (1.51 )");
    EXPECT_NE(info.batteryFlag(), 128);
    EXPECT_NE(info.batteryFlag(), 255);
    EXPECT_TRUE(id.isLaptop);
    EXPECT_FALSE(id.isApple);
    // The mode for battery power would follow.
    EXPECT_EQ(powerSourceOf(info.powerStatus()), PowerSource::Battery);
}
