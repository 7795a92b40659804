#include "app/startup.h"

#include <gtest/gtest.h>

TEST(StartupTest, TitleNamesTheProduct) {
    SystemIdentity identity;
    EXPECT_EQ(mainWindowTitle(identity),
              L"Ventrasol — Standard System Thermal & Fan Control [Universal Windows]");
    identity.product = L"MacBookPro15,1";
    EXPECT_EQ(mainWindowTitle(identity),
              L"Ventrasol — MacBookPro15,1 Thermal & Fan Control [Universal Windows]");
}

TEST(StartupTest, HiddenStartIsAPlainCaseSensitiveSubstringRule) {
    for (const wchar_t* hidden : {L"--minimized", L"-m", L"\"C:\\x\\ventrasol.exe\" --minimized",
                                  L"-mode", L"foo-mbar", L"--max"})
        EXPECT_TRUE(startsHidden(hidden)) << hidden;
    for (const wchar_t* shown : {L"", L"--MINIMIZED", L"-M", L"/m", L"--verbose", L"minimized"})
        EXPECT_FALSE(startsHidden(shown)) << shown;
    EXPECT_FALSE(startsHidden(nullptr));
}

TEST(StartupTest, InitialSizeFollowsTheScale) {
    const WindowSize one = initialWindowSize(1.0f);
    EXPECT_EQ(one.width, 740);
    EXPECT_EQ(one.height, 1080);
    const WindowSize big = initialWindowSize(1.5f);
    EXPECT_EQ(big.width, 1110);
    EXPECT_EQ(big.height, 1620);
    // 740 * 1.25 = 925, 1080 * 1.25 = 1350; 740 * 1.3 = 962.0 (single precision)
    EXPECT_EQ(initialWindowSize(1.25f).width, 925);
    EXPECT_EQ(initialWindowSize(1.3f).width, 962);
}
