#include "hardware/universal_pc_controller.h"

#include "fakes/await_sample.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_zone_query.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// The sensor thread then samples at connect and when asked, so the fakes change only between
// two snapshots.
constexpr std::chrono::hours ON_REQUEST{1};

// Has the sensor thread take one more snapshot and waits for it.
void freshSample(UniversalPCController& pc) {
    const std::uint64_t seen = pc.samplesTaken();
    pc.sampleSoon();
    ASSERT_TRUE(awaitSample(pc, seen)) << "the sensor thread took no snapshot";
}

SystemIdentity identityOf(VendorKind vendor) {
    SystemIdentity id;
    id.vendor = vendor;
    return id;
}

struct Readings {
    double cpu = -1, gpu = -1, power = -1;
    std::vector<SensorReading> rows;
};

Readings updateOnce(UniversalPCController& pc) {
    freshSample(pc);
    Readings r;
    EXPECT_TRUE(pc.update(&r.cpu, &r.gpu, &r.power, &r.rows));
    return r;
}

class UniversalPc : public ::testing::Test {
protected:
    FakeLibraryLoader loader;
    FakeThermalZoneQuery wmi;
};

} // namespace

TEST_F(UniversalPc, EachMakerHasItsNameStatusAndFans) {
    struct Expected {
        VendorKind vendor;
        const wchar_t* name;
        const wchar_t* status;
        const wchar_t* fan0;
        double start0, min0, max0;
        const wchar_t* fan1;
        double start1, min1, max1;
    };
    const Expected table[] = {
        {VendorKind::Asus, L"ASUS Armoury / WMI Controller",
         L"ASUS WMI / ACPI Hardware-Treiber aktiv", L"ASUS CPU Lüfter", 2100, 1000, 5200,
         L"ASUS GPU Lüfter", 2000, 1000, 5000},
        {VendorKind::Lenovo, L"Lenovo Legion / ThinkPad EC Controller",
         L"Lenovo Vantage / EC Treiber aktiv", L"Lenovo CPU Lüfter", 2200, 900, 4800,
         L"Lenovo GPU Lüfter", 2100, 900, 4600},
        {VendorKind::Dell, L"Dell SMM / Alienware Controller", L"Dell SMM / BIOS Fan Control aktiv",
         L"Dell CPU Lüfter", 2300, 1200, 5400, L"Dell GPU Lüfter", 2100, 1100, 5100},
        {VendorKind::Hp, L"HP Omen / ACPI Controller", L"HP Omen / Pavilion WMI Controller aktiv",
         L"HP System Lüfter 1", 2000, 1000, 5000, L"HP System Lüfter 2", 1900, 1000, 4800},
        {VendorKind::Msi, L"MSI Dragon / Super-I/O Controller",
         L"Universeller PC ACPI / WMI Sensor-Treiber aktiv", L"Hauptlüfter (CPU / Gehäuse)", 1800,
         800, 4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
        {VendorKind::Acer, L"Universeller PC ACPI / WMI Controller",
         L"Universeller PC ACPI / WMI Sensor-Treiber aktiv", L"Hauptlüfter (CPU / Gehäuse)", 1800,
         800, 4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
        {VendorKind::Generic, L"Universeller PC ACPI / WMI Controller",
         L"Universeller PC ACPI / WMI Sensor-Treiber aktiv", L"Hauptlüfter (CPU / Gehäuse)", 1800,
         800, 4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
    };
    for (const Expected& e : table) {
        UniversalPCController pc(&loader, &wmi, ON_REQUEST);
        EXPECT_EQ(pc.statusText(), L"Initialisiere...");
        EXPECT_TRUE(pc.fans().empty());
        EXPECT_FALSE(pc.isConnected());
        ASSERT_TRUE(pc.connect(identityOf(e.vendor)));
        EXPECT_TRUE(pc.isConnected());
        EXPECT_EQ(pc.backendName(), e.name);
        EXPECT_EQ(pc.statusText(), e.status);
        const auto fans = pc.fans();
        ASSERT_EQ(fans.size(), 2u);
        EXPECT_EQ(fans[0].index, 0);
        EXPECT_EQ(fans[0].label, e.fan0);
        EXPECT_EQ(fans[0].currentRpm, e.start0);
        EXPECT_EQ(fans[0].targetRpm, e.start0);
        EXPECT_EQ(fans[0].minRpm, e.min0);
        EXPECT_EQ(fans[0].maxRpm, e.max0);
        EXPECT_EQ(fans[1].index, 1);
        EXPECT_EQ(fans[1].label, e.fan1);
        EXPECT_EQ(fans[1].currentRpm, e.start1);
        EXPECT_EQ(fans[1].minRpm, e.min1);
        EXPECT_EQ(fans[1].maxRpm, e.max1);
        EXPECT_FALSE(fans[0].manual || fans[1].manual);
    }
}

TEST_F(UniversalPc, CommandedSpeedsAreRecordedOnly) {
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    EXPECT_FALSE(pc.setFanRpm(0, 2000)); // no fans before connect
    pc.connect(identityOf(VendorKind::Dell));
    ASSERT_TRUE(pc.setFanPercent(0, 50));
    EXPECT_EQ(pc.fans()[0].targetRpm, 3300);
    ASSERT_TRUE(pc.setFanRpm(1, 3000));
    auto fans = pc.fans();
    EXPECT_EQ(fans[1].currentRpm, 3000);
    EXPECT_EQ(fans[1].targetRpm, 3000);
    EXPECT_TRUE(fans[1].manual);
    EXPECT_TRUE(pc.setAutomatic());
    fans = pc.fans();
    EXPECT_EQ(fans[1].currentRpm, 3000);
    EXPECT_EQ(fans[1].targetRpm, 3000);
    EXPECT_FALSE(fans[0].manual || fans[1].manual);
    for (std::int32_t index : {-1, 2}) {
        EXPECT_FALSE(pc.setFanRpm(index, 1000));
        EXPECT_FALSE(pc.setFanPercent(index, 10));
    }
    EXPECT_EQ(pc.fans()[0].currentRpm, 3300);
}

TEST(EstimateSystemPower, PlausibleWindowAndFallbacks) {
    double cpu = 30, gpu = 0;
    EXPECT_DOUBLE_EQ(estimateSystemPower(&cpu, &gpu, false), 19.0);
    EXPECT_EQ(gpu, 39);
    cpu = 21, gpu = 21;
    EXPECT_DOUBLE_EQ(estimateSystemPower(&cpu, &gpu, true), 15.0);
    cpu = 60, gpu = 0;
    EXPECT_DOUBLE_EQ(estimateSystemPower(&cpu, &gpu, false), 55.0);
    for (double edge : {20.0, 120.0, 0.0, -5.0}) {
        cpu = edge, gpu = 50;
        EXPECT_NEAR(estimateSystemPower(&cpu, &gpu, true), 27.4 + 22.5, 1e-9);
        EXPECT_EQ(cpu, 42);
        EXPECT_EQ(gpu, 50);
    }
    cpu = 50, gpu = 120; // an implausible GPU reading falls back too
    EXPECT_NEAR(estimateSystemPower(&cpu, &gpu, true), 37.0 + 6.0, 1e-9);
    EXPECT_EQ(gpu, 39);
}

TEST_F(UniversalPc, WithoutZonesOrGpuItReportsTheFallbacks) {
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    pc.connect(identityOf(VendorKind::Generic));
    const Readings r = updateOnce(pc);
    EXPECT_EQ(r.cpu, 42);
    EXPECT_EQ(r.gpu, 39);
    EXPECT_NEAR(r.power, 33.4, 1e-9);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].key, L"PWR1");
    EXPECT_EQ(r.rows[0].label, L"Geschätzte System-Gesamtleistung");
    EXPECT_EQ(r.rows[0].category, L"Spannung & Leistung");
    EXPECT_EQ(r.rows[0].unit, L"W");
    EXPECT_NEAR(r.rows[0].value, 33.4, 1e-9);
    EXPECT_EQ(pc.lastCpu(), 42);
    EXPECT_EQ(pc.lastGpu(), 39);
}

TEST_F(UniversalPc, ZonesThenGpuThenPowerInThatOrder) {
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    nvapi.temperature = 65;
    wmi.rows = {FakeThermalZoneQuery::unnamedRow(3232),
                FakeThermalZoneQuery::row(3332, L"CPU Zone"),
                FakeThermalZoneQuery::row(2000, L"implausible")};
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    pc.connect(identityOf(VendorKind::Asus));
    Readings r = updateOnce(pc);
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_EQ(r.rows[0].key, L"TZ00");
    EXPECT_EQ(r.rows[0].label, L"ACPI Thermal Zone");
    EXPECT_EQ(r.rows[0].category, L"ACPI Thermal Zones");
    EXPECT_EQ(r.rows[0].unit, L"°C");
    EXPECT_NEAR(r.rows[0].value, 50.05, 1e-9);
    EXPECT_EQ(r.rows[1].key, L"TZ01");
    EXPECT_EQ(r.rows[1].label, L"CPU Zone");
    EXPECT_EQ(r.rows[2].key, L"NV01");
    EXPECT_EQ(r.rows[2].label, L"NVIDIA GPU Kerntemperatur");
    EXPECT_EQ(r.rows[2].category, L"Grafikkarte (NVIDIA)");
    EXPECT_EQ(r.rows[2].value, 65);
    EXPECT_EQ(r.rows[3].key, L"PWR1");
    EXPECT_NEAR(r.cpu, 60.05, 1e-9);
    EXPECT_EQ(r.gpu, 65);
    EXPECT_NEAR(r.power, 25 + 1.2 * 20.05 + 1.5 * 30, 1e-9);
    EXPECT_EQ(pc.fans()[1].currentRpm, 1450);
    EXPECT_EQ(pc.fans()[1].targetRpm, 2000); // only the measured speed changes

    // The next update holds only its own rows.
    wmi.rows.clear();
    nvapi.thermalStatus = -1;
    nvapi.tachStatus = -1;
    r = updateOnce(pc);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.cpu, 42);
    EXPECT_EQ(r.gpu, 39);
}

TEST_F(UniversalPc, AGpuAnsweringOnlyTheTachometer) {
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    nvapi.sensors = 0;
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    pc.connect(identityOf(VendorKind::Generic));
    Readings r = updateOnce(pc);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].key, L"NV01");
    EXPECT_EQ(r.rows[0].value, 0);
    EXPECT_EQ(r.gpu, 39);
    EXPECT_EQ(pc.fans()[1].currentRpm, 1450);
    EXPECT_EQ(nvapi.calls.back(), "tach"); // asked although the temperature failed

    nvapi.rpm = 0; // a zero reading leaves the fan's speed alone
    pc.setFanRpm(1, 2222);
    r = updateOnce(pc);
    EXPECT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(pc.fans()[1].currentRpm, 2222);
}

TEST_F(UniversalPc, DisconnectEndsWmiButKeepsTheLibraries) {
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    loader.available[L"atiadlxx.dll"] = {};
    wmi.rows = {FakeThermalZoneQuery::row(3300, L"zone")};
    {
        UniversalPCController pc(&loader, &wmi, ON_REQUEST);
        pc.connect(identityOf(VendorKind::Generic));
        pc.sampleSoon();
        ASSERT_TRUE(awaitSample(pc, 0));
        EXPECT_EQ(wmi.liveConnections, 1);
        pc.disconnect();
        EXPECT_FALSE(pc.isConnected());
        EXPECT_EQ(wmi.liveConnections, 0);
        EXPECT_EQ(loader.references[L"nvapi64.dll"], 1);
        double cpu = 0;
        pc.update(&cpu, nullptr, nullptr, nullptr); // starts the sensors again
        const Readings r = updateOnce(pc);
        EXPECT_EQ(wmi.liveConnections, 1);
        EXPECT_EQ(r.rows.size(), 3u);
        EXPECT_FALSE(pc.isConnected());
    }
    EXPECT_EQ(wmi.liveConnections, 0);
    EXPECT_EQ(loader.references[L"nvapi64.dll"], 0);
    EXPECT_EQ(loader.references[L"atiadlxx.dll"], 0);
    ASSERT_GE(loader.events.size(), 2u);
    EXPECT_EQ(loader.events[loader.events.size() - 2], L"free atiadlxx.dll");
    EXPECT_EQ(loader.events.back(), L"free nvapi64.dll");
}

TEST_F(UniversalPc, SensorsAreReadOffTheCallersThreadAndReleasedThere) {
    wmi.rows = {FakeThermalZoneQuery::row(3300, L"zone")};
    {
        UniversalPCController pc(&loader, &wmi, ON_REQUEST);
        Readings r;
        pc.update(&r.cpu, &r.gpu, &r.power, &r.rows); // before any snapshot: the fallbacks
        pc.connect(identityOf(VendorKind::Generic));
        EXPECT_NEAR(updateOnce(pc).cpu, 56.85, 1e-9);
        // A failing query drops the connection and waits for its back-off: the next snapshot
        // does not ask WMI again, and shows no zones.
        wmi.queryFails = true;
        EXPECT_EQ(updateOnce(pc).cpu, 42);
        wmi.queryFails = false;
        r = updateOnce(pc);
        EXPECT_EQ(r.cpu, 42);
        EXPECT_EQ(wmi.events, (std::vector<std::string>{"connect", "query", "query", "release"}));
    }
    EXPECT_EQ(wmi.threadsLeft, 1);
}
