#include "contract/system_info_contract.h"

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
