#include "hardware/amd_gpu_library.h"

#include "fakes/amd_reading_text.h"
#include "fakes/fake_adl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class AmdGpuLibraryTest : public ::testing::Test {
protected:
    ~AmdGpuLibraryTest() override { amd.unload(&loader); }

    // Loads, opens and reads once; "-" when the reading failed, "closed" when nothing opened.
    std::string readOnce() {
        amd.load(&loader);
        if (!amd.open())
            return "closed";
        AmdGpuReading reading;
        return amd.read(&reading) ? amdReadingText(reading) : "-";
    }

    FakeLibraryLoader loader;
    AmdGpuLibrary amd;
};

} // namespace

TEST_F(AmdGpuLibraryTest, ReadsThePickedGpuByItsOverdriveGeneration) {
    const struct {
        std::int32_t version;
        std::int32_t odnFanMode;
        bool od5Rpm;
        const char* expected;
    } table[] = {
        {8, 2, true, "edge=63 hot=81 mem=72 rpm=1320 fan%=34"},
        {7, 2, true, "edge=63 hot=81 mem=72 rpm=1320"},
        {7, 1, true, "edge=63 hot=81 mem=72 fan%=34"},
        {5, 2, true, "edge=63 rpm=1320"},
        {5, 2, false, "edge=63 fan%=34"}, // no tachometer: the share of full speed
        {6, 2, true, "closed"},           // a generation the program does not read
        {9, 2, true, "closed"},
    };
    for (const auto& row : table) {
        FakeAdlState& adl = installFakeAdl(&loader);
        adl.version = row.version;
        adl.odnFanMode = row.odnFanMode;
        adl.od5Rpm = row.od5Rpm;
        EXPECT_EQ(readOnce(), row.expected) << "Overdrive " << row.version;
        if (amd.isOpen()) {
            // The first active AMD output of the GPU on bus 3, by the library's own index.
            EXPECT_EQ(adl.lastAdapter, 3);
            EXPECT_EQ(amd.adapter().name, L"AMD Radeon RX 6800 XT");
            EXPECT_EQ(amd.overdriveVersion(), row.version);
        }
        amd.unload(&loader);
        EXPECT_EQ(adl.live, 0) << "Overdrive " << row.version;
    }
}

TEST_F(AmdGpuLibraryTest, EveryFailingCallLeavesNoContextBehind) {
    // Any status but ADL_OK is a failure, warnings included.
    const std::int32_t statuses[] = {
        ADL_ERR, -2, ADL_ERR_INVALID_PARAM_SIZE, ADL_ERR_INVALID_ADL_IDX, ADL_ERR_NOT_SUPPORTED, 1};
    const struct {
        std::int32_t version;
        const char* fail;
        const char* expected;
    } table[] = {
        {8, "C", "closed"}, {8, "N", "closed"},   {8, "I", "closed"},
        {8, "A", "closed"}, {8, "O", "closed"},   {8, "P", "-"},
        {7, "TF", "-"},     {7, "T", "rpm=1320"}, // one answer is a reading
        {5, "56", "-"},     {5, "5", "rpm=1320"},
    };
    for (std::int32_t status : statuses) {
        for (const auto& row : table) {
            FakeAdlState& adl = installFakeAdl(&loader);
            adl.version = row.version;
            adl.failStatus = status;
            std::strcpy(adl.fail, row.fail);
            EXPECT_EQ(readOnce(), row.expected) << row.fail << " returning " << status;
            // A failed read closes: the next attempt starts with a fresh context.
            EXPECT_EQ(amd.isOpen(), row.expected[0] != '-' && row.expected[0] != 'c');
            amd.unload(&loader);
            EXPECT_EQ(adl.live, 0) << row.fail << " returning " << status;
        }
    }
}

TEST_F(AmdGpuLibraryTest, OddAdapterListsAndMissingFunctions) {
    FakeAdlState* adl = &installFakeAdl(&loader);
    adl->adapterCount = 0;
    EXPECT_EQ(readOnce(), "closed");
    amd.unload(&loader);
    adl = &installFakeAdl(&loader);
    adl->adapterCount = 2; // only the foreign and the virtual entry
    EXPECT_EQ(readOnce(), "closed");
    amd.unload(&loader);
    adl = &installFakeAdl(&loader);
    adl->adapters[3].vendor = 4098; // PCI's number for AMD is not the library's
    adl->adapters[4].vendor = 4098;
    EXPECT_EQ(readOnce(), "closed");
    amd.unload(&loader);
    EXPECT_EQ(adl->live, 0);

    for (const char* missing : {"ADL2_Main_Control_Create", "ADL2_Main_Control_Destroy",
                                "ADL2_Adapter_Active_Get", "ADL2_New_QueryPMLogData_Get"}) {
        adl = &installFakeAdl(&loader, {missing});
        EXPECT_EQ(readOnce(), "closed") << missing;
        amd.unload(&loader);
        EXPECT_EQ(adl->live, 0) << missing;
    }
    // OverdriveN reads with either of its two functions.
    adl = &installFakeAdl(&loader, {"ADL2_OverdriveN_FanControl_Get"});
    adl->version = 7;
    EXPECT_EQ(readOnce(), "edge=63 hot=81 mem=72");
}

TEST_F(AmdGpuLibraryTest, WithoutTheLibraryNothingOpensAndAnOpenContextIsClosedBeforeTheFree) {
    amd.load(&loader);
    EXPECT_FALSE(amd.present());
    EXPECT_FALSE(amd.open());

    FakeAdlState& adl = installFakeAdl(&loader);
    ASSERT_EQ(readOnce(), "edge=63 hot=81 mem=72 rpm=1320 fan%=34");
    EXPECT_EQ(adl.creates, 1);
    AmdGpuReading again;
    EXPECT_TRUE(amd.read(&again)); // the context is kept between readings
    EXPECT_EQ(adl.creates, 1);
    amd.unload(&loader);
    EXPECT_EQ(adl.destroys, 1);
    EXPECT_EQ(loader.events.back(), L"free atiadlxx.dll");
    EXPECT_FALSE(amd.present());
}
