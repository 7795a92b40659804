#include "contract/system_info_contract.h"

#include <cwctype>

TEST_P(SystemInfoContract, BatteryFlagIsUnknownOrKnownBitsOnly) {
    const auto info = GetParam().make();
    const std::uint8_t flag = info->batteryFlag();
    if (flag != BATTERY_FLAG_UNKNOWN) {
        EXPECT_EQ(flag & ~0x8Fu, 0u) << "undefined bits in " << unsigned(flag);
        // A machine without a battery reports no charge level.
        if (flag & BATTERY_FLAG_NO_BATTERY) {
            EXPECT_EQ(flag & 0x07u, 0u) << unsigned(flag);
        }
    }
}

TEST_P(SystemInfoContract, ModulePathIsAnAbsoluteWindowsPathToAnExe) {
    const auto info = GetParam().make();
    const std::wstring path = info->modulePath();
    ASSERT_GE(path.size(), 7u);
    // A drive letter and a backslash, or a UNC prefix.
    const bool drive = path[1] == L':' && path[2] == L'\\';
    const bool unc = path.rfind(L"\\\\", 0) == 0;
    EXPECT_TRUE(drive || unc);
    EXPECT_EQ(path.find(L'\0'), std::wstring::npos);
    std::wstring ext = path.substr(path.size() - 4);
    for (auto& c : ext)
        c = static_cast<wchar_t>(towlower(static_cast<wint_t>(c)));
    EXPECT_EQ(ext, L".exe");
}
