#include "app/app_state.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

namespace {

class InventoryWin32Test : public ::testing::Test {
protected:
    Win32SystemInfo info;
    Win32Registry registry;
    std::vector<InventorySection> inventory;
    void SetUp() override {
        platform = Platform{};
        platform.systemInfo = &info;
        platform.registry = &registry;
    }
    void TearDown() override { platform = Platform{}; }
    std::wstring value(std::size_t section, const std::wstring& label) const {
        for (const auto& row : inventory.at(section).rows)
            if (row.label == label)
                return row.value;
        return L"<missing>";
    }
};

} // namespace

// The whole collection against the real calls: every section has its rows in the formats the
// hardware tab shows, and the numbers are the ones Windows reports directly.
TEST_F(InventoryWin32Test, DescribesThisMachine) {
    inventory = collectInventory(SystemIdentity{}, nullptr);
    ASSERT_EQ(inventory.size(), 5u);

    EXPECT_FALSE(value(1, L"Modell").empty());
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    EXPECT_EQ(value(1, L"Kerne / Threads"),
              std::to_wstring(system.dwNumberOfProcessors) + L" Logische Prozessorkerne");
    EXPECT_TRUE(
        std::regex_match(value(1, L"Taktrate"), std::wregex(L"[0-9]+\\.[0-9]{2} GHz Taktung")))
        << value(1, L"Taktrate").c_str();

    EXPECT_TRUE(std::regex_match(value(2, L"Gesamtkapazität"),
                                 std::wregex(L"[0-9]+ GB RAM \\([0-9]+\\.[0-9] GB nutzbar\\)")));
    EXPECT_TRUE(std::regex_match(
        value(2, L"Auslastung (Live)"),
        std::wregex(L"[0-9]+\\.[0-9] GB belegt / [0-9]+\\.[0-9] GB frei \\([0-9]+ %\\)")));

    EXPECT_FALSE(value(3, L"Aktive GPU").empty());
    EXPECT_EQ(value(3, L"Aktuelle Auflösung"),
              std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" × " +
                  std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L" Pixel");

    // The system drive is fixed and always listed, in letter order with the others.
    const auto& drives = inventory.at(4).rows;
    ASSERT_FALSE(drives.empty());
    bool systemDrive = false;
    wchar_t previous = L'@';
    for (const auto& row : drives) {
        ASSERT_GE(row.label.size(), 13u);
        EXPECT_EQ(row.label.substr(0, 9), L"Laufwerk ");
        EXPECT_GT(row.label[9], previous);
        previous = row.label[9];
        systemDrive = systemDrive || row.label[9] == L'C';
        EXPECT_TRUE(std::regex_match(
            row.value, std::wregex(L"[0-9]+\\.[0-9] GB frei von [0-9]+\\.[0-9] GB \\(.+\\)")))
            << row.value.c_str();
    }
    EXPECT_TRUE(systemDrive);
}
