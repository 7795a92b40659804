#include "fakes/recording_controller.h"

#include <gtest/gtest.h>

TEST(HardwareController, SetFanPercentOutsideTheFanListCommandsNothing) {
    RecordingController backend;
    backend.fanChannels = {makeFan(0, 1829, 5779), makeFan(1, 1692, 5343)};
    IHardwareController& base = backend;
    for (std::int32_t index : {-1, 2, 1000}) {
        EXPECT_FALSE(base.setFanPercent(index, 50)) << index;
        EXPECT_FALSE(base.setFanRpm(index, 2000)) << index;
    }
    EXPECT_TRUE(backend.rpmCalls.empty());
}

TEST(HardwareController, SetFanPercentMapsIntoTheFansRangeThroughSetFanRpm) {
    RecordingController backend;
    backend.fanChannels = {makeFan(0, 1829, 5779), makeFan(1, 1692, 5343)};
    IHardwareController& base = backend;
    EXPECT_TRUE(base.setFanPercent(1, 0));
    EXPECT_TRUE(base.setFanPercent(1, 50));
    EXPECT_TRUE(base.setFanPercent(1, 100));
    EXPECT_TRUE(base.setFanPercent(0, 150)); // not clamped
    ASSERT_EQ(backend.rpmCalls.size(), 4u);
    EXPECT_EQ(backend.rpmCalls[0], (RecordingController::RpmCall{1, 1692}));
    EXPECT_EQ(backend.rpmCalls[1], (RecordingController::RpmCall{1, 3517.5}));
    EXPECT_EQ(backend.rpmCalls[2], (RecordingController::RpmCall{1, 5343}));
    EXPECT_EQ(backend.rpmCalls[3], (RecordingController::RpmCall{0, 1829 + 3950 * 1.5}));
    // The backend's failure comes through.
    backend.setFanRpmResults = {false};
    EXPECT_FALSE(base.setFanPercent(0, 10));
}

TEST(HardwareController, DestroyingThroughTheInterfaceRunsTheBackendsDestructor) {
    int destroyed = 0;
    std::unique_ptr<IHardwareController> owned = std::make_unique<RecordingController>();
    static_cast<RecordingController*>(owned.get())->destroyedCounter = &destroyed;
    owned.reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(HardwareController, IdentityDefaults) {
    const SystemIdentity id;
    EXPECT_EQ(id.vendor, VendorKind::Generic);
    EXPECT_EQ(static_cast<int>(id.vendor), 9);
    EXPECT_EQ(id.manufacturer, L"Generic PC");
    EXPECT_EQ(id.product, L"Standard System");
    EXPECT_EQ(id.model, L"Desktop / Laptop");
    EXPECT_TRUE(id.boardManufacturer.empty() && id.boardProduct.empty() && id.biosVersion.empty());
    EXPECT_FALSE(id.isApple || id.isLaptop);
}
