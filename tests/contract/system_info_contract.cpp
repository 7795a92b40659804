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

TEST_P(SystemInfoContract, PowerStatusNamesAKnownSourceAndAgreesWithTheBatteryFlag) {
    const auto info = GetParam().make();
    const PowerStatus status = info->powerStatus();
    EXPECT_TRUE(status.acLineStatus == 0 || status.acLineStatus == 1 || status.acLineStatus == 255)
        << unsigned(status.acLineStatus);
    // A machine without a battery cannot be running on one.
    if (status.batteryFlag != BATTERY_FLAG_UNKNOWN &&
        (status.batteryFlag & BATTERY_FLAG_NO_BATTERY)) {
        EXPECT_NE(status.acLineStatus, 0u);
    }
    EXPECT_EQ(status.batteryFlag & BATTERY_FLAG_NO_BATTERY,
              info->batteryFlag() & BATTERY_FLAG_NO_BATTERY);
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

TEST_P(SystemInfoContract, BrandBytesAreAllOrNothing) {
    const auto info = GetParam().make();
    const std::string brand = info->processorBrandBytes();
    EXPECT_TRUE(brand.empty() || brand.size() == 48u) << brand.size();
}

TEST_P(SystemInfoContract, ProcessorsMemoryAndScreenArePlausible) {
    const auto info = GetParam().make();
    EXPECT_GE(info->logicalProcessorCount(), 1u);
    const MemoryStatus memory = info->memoryStatus();
    EXPECT_GT(memory.totalBytes, 0u);
    EXPECT_LE(memory.availableBytes, memory.totalBytes);
    EXPECT_LE(memory.loadPercent, 100u);
    EXPECT_GT(info->screenWidth(), 0);
    EXPECT_GT(info->screenHeight(), 0);
    const auto displays = info->displayDeviceStrings();
    EXPECT_LE(displays.size(), 64u);
    for (const auto& name : displays)
        EXPECT_EQ(name.find(L'\0'), std::wstring::npos);
}

TEST_P(SystemInfoContract, EveryFixedDriveHasConsistentSpace) {
    const auto info = GetParam().make();
    const std::uint32_t mask = info->logicalDriveMask();
    EXPECT_EQ(mask >> 26, 0u) << "bits beyond Z";
    int fixed = 0;
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('A' + i);
        if (!(mask & (1u << i))) {
            EXPECT_NE(info->driveKind(letter), DriveKind::Fixed) << letter;
            continue;
        }
        if (info->driveKind(letter) != DriveKind::Fixed)
            continue;
        DiskSpace space;
        if (!info->diskSpace(letter, &space))
            continue;
        ++fixed;
        EXPECT_GT(space.totalBytes, 0u) << letter;
        EXPECT_LE(space.freeBytes, space.totalBytes) << letter;
        std::wstring label = L"unchanged", fileSystem;
        if (info->volumeInformation(letter, &label, &fileSystem)) {
            EXPECT_NE(label, L"unchanged");
            EXPECT_FALSE(fileSystem.empty()) << letter;
        }
    }
    EXPECT_GE(fixed, 1) << "the system drive at least";
}

TEST_P(SystemInfoContract, LettersOutsideAToZAreRejected) {
    const auto info = GetParam().make();
    DiskSpace space;
    std::wstring label, fileSystem;
    for (char letter : {'@', '[', 'c', '\0'}) {
        EXPECT_NE(info->driveKind(letter), DriveKind::Fixed) << int(letter);
        EXPECT_FALSE(info->diskSpace(letter, &space)) << int(letter);
        EXPECT_FALSE(info->volumeInformation(letter, &label, &fileSystem)) << int(letter);
    }
}
