#include "hardware/apple_smc_controller.h"
#include "hardware/fan_handback.h"

#include "fakes/fake_registry.h"
#include "fakes/fake_service_manager.h"
#include "fakes/fake_smc_device.h"
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using Writes = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

class FanHandBackTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &info;
        platform.serviceManager = &scm;
        platform.deviceIo = &device;
        disarmFanHandBack();
    }
    void TearDown() override {
        disarmFanHandBack();
        PlatformTest::TearDown();
    }
    FakeRegistry registry;
    FakeSystemInfo info;
    FakeServiceManager scm;
    FakeSmcDevice device;
};

} // namespace

TEST_F(FanHandBackTest, TheConnectedBackendPreparesWhatACrashSendsAndTheCloseWithdrawsIt) {
    EXPECT_FALSE(emergencyFanHandBack()); // nothing prepared: nothing sent
    EXPECT_TRUE(device.requests.empty());

    const Writes automatic = {{"F0Md", {0}}, {"F1Md", {0}}, {"FS! ", {0}}};
    {
        AppleSmcController smc;
        ASSERT_TRUE(smc.connect(SystemIdentity{}));
        device.setKey("F0Md", 1, std::vector<std::uint8_t>{1}.data(), true);
        device.requests.clear();
        EXPECT_TRUE(emergencyFanHandBack());
        EXPECT_TRUE(emergencyFanHandBack()); // a second call does no harm
        Writes twice = automatic;
        twice.insert(twice.end(), automatic.begin(), automatic.end());
        EXPECT_EQ(device.writes(), twice);
        EXPECT_EQ(device.keyBytes("F0Md"), std::vector<std::uint8_t>{0});

        // A device that refuses one write: the others are still sent, the result says so.
        device.removeKey("F1Md");
        device.requests.clear();
        EXPECT_FALSE(emergencyFanHandBack());
        EXPECT_EQ(device.requests.size(), 3u);
    }
    device.requests.clear();
    EXPECT_FALSE(emergencyFanHandBack()); // the handle is closed: never used again
    EXPECT_TRUE(device.requests.empty());
}
