#include "hardware/vendor_detection.h"

#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"

namespace {

const wchar_t* const BIOS = L"HARDWARE\\DESCRIPTION\\System\\BIOS";

class VendorDetection : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        registry.addKey(RegistryRoot::LocalMachine, BIOS);
    }
    void set(const wchar_t* name, const std::wstring& text) {
        registry.setString(RegistryRoot::LocalMachine, BIOS, name, text);
    }
    SystemIdentity detect(const std::wstring& maker, const std::wstring& product = L"Model",
                          const std::wstring& board = L"") {
        set(L"SystemManufacturer", maker);
        set(L"SystemProductName", product);
        set(L"BaseBoardManufacturer", board);
        return detectSystemIdentity();
    }
    FakeRegistry registry;
    FakeSystemInfo info; // no battery unless a case says so
};

} // namespace

TEST(TrimWhitespace, OnlySpaceTabCarriageReturnAndLineFeedGo) {
    EXPECT_EQ(trimWhitespace(L"  LENOVO \r\n"), L"LENOVO");
    EXPECT_EQ(trimWhitespace(L"\t a b \t"), L"a b");
    EXPECT_EQ(trimWhitespace(L"   "), L"");
    EXPECT_EQ(trimWhitespace(L""), L"");
    EXPECT_EQ(trimWhitespace(L"\u00A0HP\u00A0"), L"\u00A0HP\u00A0");
    EXPECT_EQ(trimWhitespace(L"\vx\f"), L"\vx\f");
    EXPECT_EQ(trimWhitespace(L"\nx"), L"x");
}

TEST_F(VendorDetection, AppleNotebooksAreRecognisedByMakerOrModel) {
    SystemIdentity id = detect(L"Apple Inc.", L"MacBookPro15,1");
    EXPECT_EQ(id.vendor, VendorKind::Apple);
    EXPECT_TRUE(id.isApple);
    EXPECT_TRUE(id.isLaptop); // from the model, without a battery
    EXPECT_EQ(id.manufacturer, L"Apple Inc.");
    EXPECT_EQ(id.product, L"MacBookPro15,1");
    EXPECT_EQ(id.model, L"MacBookPro15,1");

    info.battery = 1;
    id = detect(L"Apple Inc.", L"iMac19,1");
    EXPECT_EQ(id.vendor, VendorKind::Apple);
    EXPECT_FALSE(id.isLaptop); // the model wins over the battery

    id = detect(L"Someone", L"MacBook Air");
    EXPECT_EQ(id.vendor, VendorKind::Apple);
    EXPECT_TRUE(id.isApple && id.isLaptop);
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(VendorDetection, MakerRulesInTheirOrder) {
    struct Case {
        const wchar_t* maker;
        const wchar_t* board;
        VendorKind vendor;
    };
    const Case cases[] = {
        {L"To Be Filled By O.E.M.", L"ASUSTeK COMPUTER INC.", VendorKind::Asus},
        {L"LENOVO", L"", VendorKind::Lenovo},
        {L"OEM", L"LENOVO", VendorKind::Lenovo},
        {L"Dell Inc.", L"", VendorKind::Dell},
        {L"Alienware", L"", VendorKind::Dell},
        {L"dell hp", L"", VendorKind::Dell},
        {L"Hewlett-Packard", L"", VendorKind::Hp},
        {L"HP", L"", VendorKind::Hp},
        {L"Acer", L"", VendorKind::Acer},
        {L"Micro-Star International Co., Ltd.", L"", VendorKind::Msi},
        {L"Unknown Maker", L"MSI", VendorKind::Msi},
        {L"Gigabyte Technology Co., Ltd.", L"", VendorKind::Gigabyte},
        {L"OEM", L"GIGABYTE", VendorKind::Gigabyte},
        {L"ASUSTeK", L"Dell", VendorKind::Asus}, // board counts only where its rule says
        {L"Unknown Maker", L"Dell", VendorKind::Generic},
        {L"Unknown Maker", L"Acer", VendorKind::Generic},
        {L"Unknown", L"Apple", VendorKind::Generic},
    };
    for (const Case& c : cases) {
        const SystemIdentity id = detect(c.maker, L"Model X", c.board);
        EXPECT_EQ(id.vendor, c.vendor) << std::string(c.maker, c.maker + wcslen(c.maker));
        EXPECT_FALSE(id.isApple);
        EXPECT_EQ(id.manufacturer, c.maker); // stored with its case
    }
    // The product takes no part (besides "macbook").
    EXPECT_EQ(detect(L"Unknown", L"Dell Latitude").vendor, VendorKind::Generic);
}

TEST_F(VendorDetection, TextsAreTrimmedAndEveryFieldComesFromItsValue) {
    set(L"BaseBoardProduct", L" X570 ");
    set(L"BIOSVersion", L"\tF.23\r\n");
    const SystemIdentity id = detect(L"  LENOVO \r\n", L"   ", L"\tLENOVO");
    EXPECT_EQ(id.vendor, VendorKind::Lenovo);
    EXPECT_EQ(id.manufacturer, L"LENOVO");
    EXPECT_EQ(id.product, L"");
    EXPECT_EQ(id.model, L"");
    EXPECT_EQ(id.boardManufacturer, L"LENOVO");
    EXPECT_EQ(id.boardProduct, L"X570");
    EXPECT_EQ(id.biosVersion, L"F.23");
}

TEST_F(VendorDetection, MissingOrOversizedValuesKeepTheirDefaults) {
    set(L"SystemManufacturer", std::wstring(256, L'A')); // 514 bytes with its terminator
    registry.setRaw(RegistryRoot::LocalMachine, BIOS, L"BaseBoardProduct", REGISTRY_TYPE_DWORD,
                    {0x41, 0x00, 0x42, 0x00}); // any type is taken as text
    registry.setRaw(RegistryRoot::LocalMachine, BIOS, L"BIOSVersion", REGISTRY_TYPE_BINARY,
                    std::vector<std::uint8_t>(512, 0x43)); // fills the buffer, no terminator
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Generic);
    EXPECT_EQ(id.manufacturer, L"Generic PC");
    EXPECT_EQ(id.product, L"Standard System");
    EXPECT_EQ(id.model, L"Desktop / Laptop");
    EXPECT_EQ(id.boardProduct, L"AB");
    EXPECT_EQ(id.biosVersion, std::wstring(256, L'\u4343'));
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(VendorDetection, TheBatteryFlagDecidesForOtherMakers) {
    registry.failAll = true; // the key cannot be read at all
    info.battery = 1;
    SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Generic);
    EXPECT_EQ(id.manufacturer, L"Generic PC");
    EXPECT_TRUE(id.isLaptop);
    EXPECT_FALSE(id.isApple);
    for (std::uint8_t flag : {std::uint8_t(2), std::uint8_t(8), std::uint8_t(0)}) {
        info.battery = flag;
        EXPECT_TRUE(detectSystemIdentity().isLaptop) << int(flag);
    }
    for (std::uint8_t flag : {BATTERY_FLAG_NO_BATTERY, BATTERY_FLAG_UNKNOWN}) {
        info.battery = flag;
        EXPECT_FALSE(detectSystemIdentity().isLaptop) << int(flag);
    }
    platform.systemInfo = nullptr;
    platform.registry = nullptr;
    id = detectSystemIdentity();
    EXPECT_FALSE(id.isLaptop);
    EXPECT_EQ(id.product, L"Standard System");
}
