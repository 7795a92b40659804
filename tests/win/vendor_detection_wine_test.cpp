// Vendor detection against Wine's own registry and power status.
#include "fakes/platform_fixture.h"
#include "hardware/vendor_detection.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "win/scoped_bios_identity.h"

namespace {

class VendorDetectionUnderWine : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        ASSERT_TRUE(bios.isOpen());
    }
    Win32Registry registry;
    Win32SystemInfo info;
    ScopedBiosIdentity bios;
};

} // namespace

TEST_F(VendorDetectionUnderWine, TheSessionsOwnIdentityIsAGenericDesktop) {
    // This host has no firmware tables: Wine's values are empty texts, and it reports no battery.
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Generic);
    EXPECT_FALSE(id.isApple);
    EXPECT_EQ(info.batteryFlag(), 128);
    EXPECT_FALSE(id.isLaptop);
    std::size_t bytes = 0;
    if (bios.hadValue(L"SystemManufacturer", &bytes) && bytes <= 2) {
        EXPECT_EQ(id.manufacturer, L"");
    }
}

TEST_F(VendorDetectionUnderWine, AnAppleNotebook) {
    bios.setAll(L"Apple Inc.", L"MacBookPro15,1", L"Apple Inc.", L"Mac-937A206F2EE63C01",
                L"  220.0.0.0.0 ");
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Apple);
    EXPECT_TRUE(id.isApple);
    EXPECT_TRUE(id.isLaptop); // the model says so; Wine reports no battery here
    EXPECT_EQ(id.product, L"MacBookPro15,1");
    EXPECT_EQ(id.model, L"MacBookPro15,1");
    EXPECT_EQ(id.boardProduct, L"Mac-937A206F2EE63C01");
    EXPECT_EQ(id.biosVersion, L"220.0.0.0.0");
}

TEST_F(VendorDetectionUnderWine, AnAsusBoardBehindAnOemPlaceholder) {
    bios.setAll(L"To Be Filled By O.E.M.", L"To Be Filled By O.E.M.", L"ASUSTeK COMPUTER INC.",
                L"PRIME X570-P", L"4602");
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Asus);
    EXPECT_EQ(id.manufacturer, L"To Be Filled By O.E.M.");
    EXPECT_EQ(id.boardManufacturer, L"ASUSTeK COMPUTER INC.");
    EXPECT_FALSE(id.isLaptop);
}

TEST_F(VendorDetectionUnderWine, AnHpDesktopWithoutBattery) {
    bios.setAll(L"HP\r\n", L"HP Pavilion Desktop", L"HP", L"84E1", L"F.23");
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Hp);
    EXPECT_EQ(id.manufacturer, L"HP");
    EXPECT_FALSE(id.isLaptop);
    EXPECT_FALSE(id.isApple);
}
