#include "hardware/gpu_libraries.h"

#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::uint32_t> ALL_IDS = {0x0150E828u, 0xE5AC921Fu, 0xE3640A56u, 0x5F608315u};
}

TEST(GpuLibraries, ThermalSettingsLayout) {
    const auto bytes = makeNvThermalSettings();
    EXPECT_EQ(bytes.size(), 68u);
    EXPECT_EQ(bytes[0], 0x44);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x01);
    EXPECT_EQ(bytes[3], 0x00);
    auto reply = bytes;
    std::int32_t t = 5;
    EXPECT_FALSE(decodeNvThermalSettings(reply, &t)); // no sensor
    EXPECT_EQ(t, 5);
    reply[4] = 2;
    reply[20] = 0xF6; // -10 as a signed 32-bit value
    reply[21] = reply[22] = reply[23] = 0xFF;
    reply[40] = 80; // the second sensor's temperature is not the first's
    ASSERT_TRUE(decodeNvThermalSettings(reply, &t));
    EXPECT_EQ(t, -10);
}

TEST(GpuLibraries, WithoutAnyVendorLibraryNothingIsReady) {
    FakeLibraryLoader loader;
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
        EXPECT_FALSE(gpu.hasThermalSettings() || gpu.hasTachometer());
        std::int32_t t = 0;
        std::uint32_t rpm = 0;
        EXPECT_FALSE(gpu.readTemperature(&t));
        EXPECT_FALSE(gpu.readFanSpeed(&rpm));
    }
    EXPECT_EQ(loader.events,
              (std::vector<std::wstring>{L"load nvapi64.dll failed", L"load atiadlxx.dll failed"}));
}

TEST(GpuLibraries, NvidiaIsAskedForAllFourFunctionsThenInitialisedAndEnumerated) {
    FakeLibraryLoader loader;
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    loader.available[L"atiadlxx.dll"] = {};
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        gpu.load(); // once only
        EXPECT_EQ(nvapi.idsAsked, ALL_IDS);
        EXPECT_EQ(nvapi.calls, (std::vector<std::string>{"initialize", "enumerate"}));
        EXPECT_TRUE(gpu.nvapiReady());
        EXPECT_EQ(gpu.gpuCount(), 1u);
        EXPECT_EQ(gpu.amdModule(), loader.handleOf(L"atiadlxx.dll"));

        std::int32_t t = 0;
        ASSERT_TRUE(gpu.readTemperature(&t));
        EXPECT_EQ(t, 57);
        EXPECT_EQ(nvapi.lastVersion, 0x10044u);
        EXPECT_EQ(nvapi.lastSensorIndex, 0u);
        EXPECT_EQ(nvapi.lastGpu, FakeNvapi::FIRST_GPU);
        std::uint32_t rpm = 0;
        ASSERT_TRUE(gpu.readFanSpeed(&rpm));
        EXPECT_EQ(rpm, 1450u);

        nvapi.thermalStatus = -1;
        nvapi.tachStatus = -1;
        t = 3;
        rpm = 4;
        EXPECT_FALSE(gpu.readTemperature(&t));
        EXPECT_FALSE(gpu.readFanSpeed(&rpm));
        EXPECT_EQ(t, 3);
        EXPECT_EQ(rpm, 4u);
    }
    // AMD first, then NVIDIA.
    ASSERT_GE(loader.events.size(), 2u);
    EXPECT_EQ(loader.events[loader.events.size() - 2], L"free atiadlxx.dll");
    EXPECT_EQ(loader.events.back(), L"free nvapi64.dll");
}

TEST(GpuLibraries, AFailedStartLeavesTheModuleLoadedUntilTheEnd) {
    FakeLibraryLoader loader;
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    nvapi.initializeStatus = -1;
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
        EXPECT_EQ(nvapi.calls, (std::vector<std::string>{"initialize"}));
        EXPECT_EQ(loader.references[L"nvapi64.dll"], 1);
        std::int32_t t = 0;
        EXPECT_FALSE(gpu.readTemperature(&t));
    }
    EXPECT_EQ(loader.references[L"nvapi64.dll"], 0);
}

TEST(GpuLibraries, NoGpuMissingFunctionsOrExportMeanNotReady) {
    {
        FakeLibraryLoader loader;
        FakeNvapi nvapi;
        nvapi.installInto(&loader);
        nvapi.gpus = 0;
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
    }
    {
        FakeLibraryLoader loader;
        FakeNvapi nvapi;
        nvapi.installInto(&loader);
        nvapi.enumerateStatus = -3;
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
    }
    {
        FakeLibraryLoader loader;
        FakeNvapi nvapi;
        nvapi.installInto(&loader);
        nvapi.hasInitialize = false;
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
        EXPECT_TRUE(nvapi.calls.empty());
        EXPECT_EQ(nvapi.idsAsked, ALL_IDS); // asked for all four all the same
    }
    {
        FakeLibraryLoader loader;
        FakeNvapi nvapi;
        nvapi.installInto(&loader);
        nvapi.hasThermal = false;
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_TRUE(gpu.nvapiReady());
        EXPECT_FALSE(gpu.hasThermalSettings());
        EXPECT_TRUE(gpu.hasTachometer());
    }
    FakeLibraryLoader loader;
    loader.available[L"nvapi64.dll"] = {}; // no export at all
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
        EXPECT_NE(gpu.nvidiaModule(), 0u);
    }
    EXPECT_EQ(loader.references[L"nvapi64.dll"], 0);
}

TEST(GpuLibraries, The32BitAmdLibraryIsNeverLoaded) {
    FakeLibraryLoader loader;
    loader.available[L"atiadlxy.dll"] = {};
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_EQ(gpu.amdModule(), 0u);
    }
    EXPECT_EQ(loader.events,
              (std::vector<std::wstring>{L"load nvapi64.dll failed", L"load atiadlxx.dll failed"}));
}
