// The real library loading against the stand-ins nvapi64.dll and atiadlxx.dll that scripts/wine-run
// puts into System32, and the generic backend on top of them and of Wine's WMI.
#include "doubles/fake_adl.h"
#include "fakes/amd_reading_text.h"
#include "fakes/await_sample.h"
#include "hardware/gpu_libraries.h"
#include "hardware/universal_pc_controller.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_thermal_zone_query.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// Mirrors the stand-in's statistics record.
struct NvapiStatistics {
    unsigned int queries;
    unsigned int ids[8];
    unsigned int initialises, enumerations, thermals, tachs;
    unsigned int lastVersion, lastSensorIndex;
};

NvapiStatistics statistics() {
    NvapiStatistics s{};
    HMODULE module = GetModuleHandleW(L"nvapi64.dll");
    if (!module)
        return s;
    using Fn = void (*)(NvapiStatistics*, int);
    if (auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "fakeNvapiStatistics"))))
        fn(&s, 0);
    return s;
}

// What AMD's stand-in recorded (an export the program never asks for).
const FakeAdlState* adlRecords() {
    HMODULE module = GetModuleHandleW(L"atiadlxx.dll");
    using Fn = FakeAdlState* (*)();
    auto fn = module ? reinterpret_cast<Fn>(
                           reinterpret_cast<void (*)()>(GetProcAddress(module, "fakeAdlRecords")))
                     : nullptr;
    return fn ? fn() : nullptr;
}

// Sets FAKE_NVAPI_* and FAKE_ADL_* variables for one case and removes them afterwards.
class StandInBehaviour {
public:
    StandInBehaviour& set(const char* name, const char* value) {
        SetEnvironmentVariableA(name, value);
        names.push_back(name);
        return *this;
    }
    ~StandInBehaviour() {
        for (const auto& n : names)
            SetEnvironmentVariableA(n.c_str(), nullptr);
    }

private:
    std::vector<std::string> names;
};

class GpuLibrariesUnderWine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetModuleHandleW(L"nvapi64.dll"), nullptr); }
    Win32LibraryLoader loader;
};

} // namespace

TEST_F(GpuLibrariesUnderWine, LoadsAsksCallsWithTheRightLayoutAndUnloads) {
    {
        GpuLibraries gpu(&loader);
        gpu.load();
        ASSERT_NE(GetModuleHandleW(L"nvapi64.dll"), nullptr);
        EXPECT_TRUE(gpu.nvapiReady());
        EXPECT_EQ(gpu.gpuCount(), 1u);
        NvapiStatistics s = statistics();
        ASSERT_EQ(s.queries, 4u);
        EXPECT_EQ(s.ids[0], 0x0150E828u);
        EXPECT_EQ(s.ids[1], 0xE5AC921Fu);
        EXPECT_EQ(s.ids[2], 0xE3640A56u);
        EXPECT_EQ(s.ids[3], 0x5F608315u);
        EXPECT_EQ(s.initialises, 1u);
        EXPECT_EQ(s.enumerations, 1u);

        std::int32_t t = 0;
        ASSERT_TRUE(gpu.readTemperature(&t));
        EXPECT_EQ(t, 57);
        std::uint32_t rpm = 0;
        ASSERT_TRUE(gpu.readFanSpeed(&rpm));
        EXPECT_EQ(rpm, 1450u);
        s = statistics();
        EXPECT_EQ(s.lastVersion, 0x10044u);
        EXPECT_EQ(s.lastSensorIndex, 0u);

        EXPECT_NE(gpu.amdModule(), 0u);
        EXPECT_EQ(gpu.amdModule(),
                  reinterpret_cast<LibraryHandle>(GetModuleHandleW(L"atiadlxx.dll")));
    }
    EXPECT_EQ(GetModuleHandleW(L"nvapi64.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"atiadlxx.dll"), nullptr);
}

TEST_F(GpuLibrariesUnderWine, AmdsLibraryIsReadForEachOverdriveGeneration) {
    const struct {
        const char* version;
        const char* expected;
    } table[] = {{"8", "edge=63 hot=81 mem=72 rpm=1320 fan%=34"},
                 {"7", "edge=63 hot=81 mem=72 rpm=1320"},
                 {"5", "edge=63 rpm=1320"}};
    for (const auto& row : table) {
        StandInBehaviour behaviour;
        behaviour.set("FAKE_ADL_VERSION", row.version);
        GpuLibraries gpu(&loader);
        gpu.load();
        AmdGpuLibrary& amd = gpu.amd();
        ASSERT_TRUE(amd.open()) << row.version;
        AmdGpuReading reading;
        ASSERT_TRUE(amd.read(&reading)) << row.version;
        EXPECT_EQ(amdReadingText(reading), row.expected);
        EXPECT_EQ(amd.adapter().name, L"AMD Radeon RX 6800 XT");
        const FakeAdlState* records = adlRecords();
        ASSERT_NE(records, nullptr);
        EXPECT_EQ(records->lastAdapter, 3);
        EXPECT_EQ(records->live, 1);
        amd.close();
        EXPECT_EQ(records->live, 0);
    }
    EXPECT_EQ(GetModuleHandleW(L"atiadlxx.dll"), nullptr);
}

TEST_F(GpuLibrariesUnderWine, AFailingStartKeepsTheLibraryUntilTheEnd) {
    {
        StandInBehaviour behaviour;
        behaviour.set("FAKE_NVAPI_INIT", "-1");
        GpuLibraries gpu(&loader);
        gpu.load();
        EXPECT_FALSE(gpu.nvapiReady());
        EXPECT_NE(GetModuleHandleW(L"nvapi64.dll"), nullptr);
        EXPECT_EQ(statistics().enumerations, 0u);
    }
    EXPECT_EQ(GetModuleHandleW(L"nvapi64.dll"), nullptr);
    StandInBehaviour none;
    none.set("FAKE_NVAPI_GPUS", "0");
    GpuLibraries gpu(&loader);
    gpu.load();
    EXPECT_FALSE(gpu.nvapiReady());
}

TEST_F(GpuLibrariesUnderWine, TheGenericBackendReadsTheGpuAndFallsBackWithoutZones) {
    Win32ThermalZoneQuery wmi;
    {
        StandInBehaviour behaviour;
        behaviour.set("FAKE_NVAPI_TEMP", "66").set("FAKE_NVAPI_RPM", "1880");
        behaviour.set("FAKE_ADL_FAIL", "C"); // no AMD GPU answers
        UniversalPCController pc(&loader, &wmi);
        SystemIdentity id;
        id.vendor = VendorKind::Msi;
        ASSERT_TRUE(pc.connect(id));
        pc.sampleSoon();
        ASSERT_TRUE(awaitSample(pc, 0)); // Wine has WMI, but no thermal zones
        double cpu = 0, gpu = 0, power = 0;
        std::vector<SensorReading> rows;
        ASSERT_TRUE(pc.update(&cpu, &gpu, &power, &rows));
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].key, L"NV01");
        EXPECT_EQ(rows[0].value, 66);
        EXPECT_EQ(rows[1].key, L"PWR1");
        EXPECT_EQ(cpu, 42);
        EXPECT_EQ(gpu, 66);
        EXPECT_NEAR(power, 27.4 + 1.5 * 31, 1e-9);
        EXPECT_EQ(pc.fans()[1].currentRpm, 1880);
    }
    {
        StandInBehaviour behaviour;
        behaviour.set("FAKE_NVAPI_SENSORS", "0").set("FAKE_ADL_FAIL", "C");
        UniversalPCController pc(&loader, &wmi);
        ASSERT_TRUE(pc.connect(SystemIdentity{}));
        pc.sampleSoon();
        ASSERT_TRUE(awaitSample(pc, 0));
        double cpu = 0, gpu = 0, power = 0;
        std::vector<SensorReading> rows;
        ASSERT_TRUE(pc.update(&cpu, &gpu, &power, &rows));
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].value, 0);
        EXPECT_EQ(gpu, 39);
        EXPECT_NEAR(power, 33.4, 1e-9);
        EXPECT_EQ(pc.fans()[1].currentRpm, 1450);
    }
    EXPECT_EQ(GetModuleHandleW(L"nvapi64.dll"), nullptr);
}
