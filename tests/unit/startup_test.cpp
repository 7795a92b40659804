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

TEST(StartupTest, WindowIsShrunkAndMovedIntoTheWorkArea) {
    const WindowSize minimum{600, 360};
    const Rect work{0, 0, 1280, 760}; // a 1280 x 800 screen less its taskbar
    struct Case {
        Rect window, expected;
    } cases[] = {
        {{100, 50, 840, 1130}, {100, 0, 840, 760}},     // too tall: as tall as the work area
        {{100, 50, 840, 650}, {100, 50, 840, 650}},     // fits: unchanged
        {{900, 300, 1640, 700}, {540, 300, 1280, 700}}, // off the right edge: moved in
        {{-50, -20, 690, 380}, {0, 0, 740, 400}},       // above and left: moved in
        {{0, 0, 300, 200}, {0, 0, 600, 360}},           // below the minimum: grown to it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitWindowToWorkArea(c.window, work, minimum), c.expected)
            << c.window.left << "," << c.window.top;
    }
    // A work area smaller than the minimum: the minimum wins, the top-left corner stays visible.
    EXPECT_EQ(fitWindowToWorkArea({10, 10, 750, 1090}, {0, 0, 500, 400}, minimum),
              (Rect{0, 0, 600, 400}));
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
