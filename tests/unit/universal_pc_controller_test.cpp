#include "hardware/universal_pc_controller.h"

#include "fakes/await_sample.h"
#include "fakes/fake_adl.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_counter_query.h"
#include "fakes/fake_thermal_zone_query.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

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

TEST_F(UniversalPc, EachMakerHasItsNameAndFansAndNoneIsDriven) {
    struct Expected {
        VendorKind vendor;
        const wchar_t* name;
        const wchar_t* fan0;
        double start0, min0, max0;
        const wchar_t* fan1;
        double start1, min1, max1;
    };
    const Expected table[] = {
        {VendorKind::Asus, L"ASUS Armoury / WMI", L"ASUS CPU Lüfter", 2100, 1000, 5200,
         L"ASUS GPU Lüfter", 2000, 1000, 5000},
        {VendorKind::Lenovo, L"Lenovo Legion / ThinkPad EC", L"Lenovo CPU Lüfter", 2200, 900, 4800,
         L"Lenovo GPU Lüfter", 2100, 900, 4600},
        {VendorKind::Dell, L"Dell SMM / Alienware", L"Dell CPU Lüfter", 2300, 1200, 5400,
         L"Dell GPU Lüfter", 2100, 1100, 5100},
        {VendorKind::Hp, L"HP Omen / ACPI", L"HP System Lüfter 1", 2000, 1000, 5000,
         L"HP System Lüfter 2", 1900, 1000, 4800},
        {VendorKind::Msi, L"MSI Dragon / Super-I/O", L"Hauptlüfter (CPU / Gehäuse)", 1800, 800,
         4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
        {VendorKind::Acer, L"Universeller PC ACPI / WMI", L"Hauptlüfter (CPU / Gehäuse)", 1800, 800,
         4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
        {VendorKind::Generic, L"Universeller PC ACPI / WMI", L"Hauptlüfter (CPU / Gehäuse)", 1800,
         800, 4500, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200},
    };
    for (const Expected& e : table) {
        UniversalPCController pc(&loader, &wmi, ON_REQUEST);
        EXPECT_EQ(pc.statusText(), L"Initialisiere...");
        EXPECT_TRUE(pc.fans().empty());
        EXPECT_FALSE(pc.isConnected());
        EXPECT_FALSE(pc.drivesFans());
        ASSERT_TRUE(pc.connect(identityOf(e.vendor)));
        EXPECT_TRUE(pc.isConnected());
        EXPECT_EQ(pc.backendName(), e.name);
        // Before the sensors first answer it says only that it drives nothing.
        EXPECT_EQ(pc.statusText(), L"Nur Anzeige – keine Lüftersteuerung auf diesem PC");
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
        EXPECT_FALSE(fans[0].measured || fans[1].measured);
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

TEST_F(UniversalPc, ShowsEachSourceItReadsAndSaysSo) {
    const wchar_t* const tail = L" – keine Lüftersteuerung auf diesem PC";
    const struct {
        bool wmiZone, counterZone, nvidia, amd;
        const wchar_t* rows; // keys in order
        double gpu;
        double fan1; // 0: not measured
        const wchar_t* status;
    } table[] = {
        {false, false, false, false, L"PWR1", 39, 0, L"Keine Sensoren antworten"},
        {true, true, false, false, L"TZ00 PWR1", 39, 0, L"Nur Anzeige: ACPI-Thermalzonen (WMI)"},
        {false, true, false, false, L"PZ00 PWR1", 39, 0,
         L"Nur Anzeige: ACPI-Thermalzonen (Leistungsindikatoren)"},
        {false, false, false, true, L"AMD1 AMD2 AMD3 AMD4 PWR1", 63, 1320,
         L"Nur Anzeige: AMD GPU (ADL)"},
        {false, false, true, true, L"NV01 AMD1 AMD2 AMD3 AMD4 PWR1", 57, 1450,
         L"Nur Anzeige: NVIDIA GPU (NVAPI), AMD GPU (ADL)"},
        {true, false, true, true, L"TZ00 NV01 AMD1 AMD2 AMD3 AMD4 PWR1", 57, 1450,
         L"Nur Anzeige: ACPI-Thermalzonen (WMI), NVIDIA GPU (NVAPI), AMD GPU (ADL)"},
    };
    for (const auto& row : table) {
        FakeLibraryLoader libraries;
        FakeThermalZoneQuery zones;
        FakeThermalCounterQuery counters;
        FakeNvapi nvapi;
        if (row.nvidia)
            nvapi.installInto(&libraries);
        if (row.amd)
            installFakeAdl(&libraries);
        if (row.wmiZone)
            zones.rows = {FakeThermalZoneQuery::row(3232, L"\\_TZ.CPUZ")};
        if (row.counterZone)
            counters.rows = {FakeThermalCounterQuery::row(3332, L"\\_TZ.TZ01")};
        UniversalPCController pc(&libraries, &zones, ON_REQUEST, &counters);
        pc.connect(identityOf(VendorKind::Generic));
        const Readings r = updateOnce(pc);
        std::wstring keys;
        for (const SensorReading& reading : r.rows)
            keys += (keys.empty() ? L"" : L" ") + reading.key;
        EXPECT_EQ(keys, row.rows) << row.status;
        EXPECT_EQ(r.gpu, row.gpu) << row.status;
        EXPECT_EQ(pc.fans()[1].measured, row.fan1 > 0) << row.status;
        if (row.fan1 > 0) {
            EXPECT_EQ(pc.fans()[1].currentRpm, row.fan1) << row.status;
        }
        EXPECT_EQ(pc.statusText(), std::wstring(row.status) + tail);
        EXPECT_EQ(pc.readingQuality().noSource, keys == L"PWR1") << row.status;
        EXPECT_EQ(pc.amdAdapterName(), row.amd ? L"AMD Radeon RX 6800 XT" : L"");
    }
}

TEST_F(UniversalPc, AmdReadingsHaveTheirOwnRows) {
    FakeAdlState& adl = installFakeAdl(&loader);
    adl.hotspot = FAKE_ADL_NONE;
    adl.rpm = 0xFFFF; // no tachometer: the fan's share instead, and fan 1 is not measured
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    pc.connect(identityOf(VendorKind::Generic));
    const Readings r = updateOnce(pc);
    ASSERT_EQ(r.rows.size(), 4u);
    const struct {
        const wchar_t *key, *label, *unit;
        double value;
    } expected[] = {{L"AMD1", L"AMD GPU Kante", L"°C", 63},
                    {L"AMD3", L"AMD GPU Speicher", L"°C", 72},
                    {L"AMD4", L"AMD GPU Lüfter", L"%", 34}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.rows[i].key, expected[i].key);
        EXPECT_EQ(r.rows[i].label, expected[i].label);
        EXPECT_EQ(r.rows[i].category, L"Grafikkarte (AMD)");
        EXPECT_EQ(r.rows[i].unit, expected[i].unit);
        EXPECT_EQ(r.rows[i].value, expected[i].value);
    }
    EXPECT_FALSE(pc.fans()[1].measured);
    EXPECT_EQ(r.gpu, 63);
    EXPECT_FALSE(pc.readingQuality().gpuTempFallback);
}

TEST_F(UniversalPc, TheGpuFanCountsAsMeasuredOnlyWhileItIsRead) {
    installFakeAdl(&loader);
    UniversalPCController pc(&loader, &wmi, ON_REQUEST);
    pc.connect(identityOf(VendorKind::Asus));
    updateOnce(pc);
    ASSERT_TRUE(pc.fans()[1].measured);
    // A speed asked for is recorded, but the reading stays what the tachometer said.
    ASSERT_TRUE(pc.setFanRpm(1, 3000));
    EXPECT_EQ(pc.fans()[1].currentRpm, 1320);
    EXPECT_EQ(pc.fans()[1].targetRpm, 3000);
    std::strcpy(fakeAdlState()->fail, "P");
    updateOnce(pc);
    EXPECT_FALSE(pc.fans()[1].measured);
    EXPECT_EQ(pc.fans()[1].currentRpm, 3000);
}

TEST_F(UniversalPc, ASourceThatHangsIsNoAnswer) {
    FakeThermalCounterQuery counters;
    counters.rows = {FakeThermalCounterQuery::row(3332, L"\\_TZ.TZ01")};
    constexpr std::chrono::milliseconds period{10};
    UniversalPCController pc(&loader, &wmi, period, &counters);
    pc.connect(identityOf(VendorKind::Generic));
    Readings r = updateOnce(pc);
    ASSERT_EQ(r.rows.size(), 2u);
    struct Release {
        FakeThermalCounterQuery& c;
        ~Release() { c.hang = false; } // before pc waits for its sensor thread
    } release{counters};
    counters.hang = true;
    while (!counters.hanging)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(period * (UniversalPCController::STALE_AFTER + 5));
    ASSERT_TRUE(pc.update(&r.cpu, &r.gpu, &r.power, &r.rows));
    ASSERT_EQ(r.rows.size(), 1u); // the zone is no longer reported, and ages away
    EXPECT_EQ(r.cpu, 42);
    EXPECT_TRUE(pc.readingQuality().noSource);
    EXPECT_EQ(pc.statusText(), L"Keine Sensoren antworten – keine Lüftersteuerung auf diesem PC");
}
