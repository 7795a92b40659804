// Vendor detection against Wine's own registry and power status. Wine rebuilds the firmware
// description at every session start and keeps it in a volatile key; the cases write their maker
// into it for the rest of the session and put the session's values back afterwards.
#include "fakes/app_state_fixture.h"
#include "hardware/vendor_detection.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

const wchar_t* const BIOS = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
const wchar_t* const NAMES[] = {L"SystemManufacturer", L"SystemProductName",
                                L"BaseBoardManufacturer", L"BaseBoardProduct", L"BIOSVersion"};

struct SavedValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

class VendorDetectionUnderWine : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, BIOS, 0, KEY_READ | KEY_WRITE, &key),
                  ERROR_SUCCESS);
        for (const wchar_t* name : NAMES) {
            SavedValue& v = saved[name];
            DWORD size = 0;
            if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
                v.present = true;
                v.data.resize(size);
                RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size);
            }
        }
    }
    void TearDown() override {
        for (const auto& [name, v] : saved) {
            if (v.present)
                RegSetValueExW(key, name.c_str(), 0, v.type, v.data.data(),
                               static_cast<DWORD>(v.data.size()));
            else
                RegDeleteValueW(key, name.c_str());
        }
        RegCloseKey(key);
        AppStateTest::TearDown();
    }
    void set(const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void setAll(const std::wstring& maker, const std::wstring& product, const std::wstring& board,
                const std::wstring& boardProduct, const std::wstring& bios) {
        set(L"SystemManufacturer", maker);
        set(L"SystemProductName", product);
        set(L"BaseBoardManufacturer", board);
        set(L"BaseBoardProduct", boardProduct);
        set(L"BIOSVersion", bios);
    }

    Win32Registry registry;
    Win32SystemInfo info;
    HKEY key = nullptr;
    std::map<std::wstring, SavedValue> saved;
};

} // namespace

TEST_F(VendorDetectionUnderWine, TheSessionsOwnIdentityIsAGenericDesktop) {
    // This host has no firmware tables: Wine's values are empty texts, and it reports no battery.
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Generic);
    EXPECT_FALSE(id.isApple);
    EXPECT_EQ(info.batteryFlag(), 128);
    EXPECT_FALSE(id.isLaptop);
    if (saved[L"SystemManufacturer"].present && saved[L"SystemManufacturer"].data.size() <= 2) {
        EXPECT_EQ(id.manufacturer, L"");
    }
}

TEST_F(VendorDetectionUnderWine, AnAppleNotebook) {
    setAll(L"Apple Inc.", L"MacBookPro15,1", L"Apple Inc.", L"Mac-937A206F2EE63C01",
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
    setAll(L"To Be Filled By O.E.M.", L"To Be Filled By O.E.M.", L"ASUSTeK COMPUTER INC.",
           L"PRIME X570-P", L"4602");
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Asus);
    EXPECT_EQ(id.manufacturer, L"To Be Filled By O.E.M.");
    EXPECT_EQ(id.boardManufacturer, L"ASUSTeK COMPUTER INC.");
    EXPECT_FALSE(id.isLaptop);
}

TEST_F(VendorDetectionUnderWine, AnHpDesktopWithoutBattery) {
    setAll(L"HP\r\n", L"HP Pavilion Desktop", L"HP", L"84E1", L"F.23");
    const SystemIdentity id = detectSystemIdentity();
    EXPECT_EQ(id.vendor, VendorKind::Hp);
    EXPECT_EQ(id.manufacturer, L"HP");
    EXPECT_FALSE(id.isLaptop);
    EXPECT_FALSE(id.isApple);
}
