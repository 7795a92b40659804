#include "hardware/generic_sensor_sampler.h"
#include "hardware/sensor_worker.h"

#include "fakes/fake_adl.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_counter_query.h"
#include "fakes/fake_thermal_zone_query.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {
using Clock = RetryBackoff::Clock;
using std::chrono::seconds;
} // namespace

TEST(RetryBackoff, DoublesFromOneSecondUpToAMinuteAndStartsOverAfterASuccess) {
    const Clock::time_point t0{};
    RetryBackoff backoff;
    EXPECT_TRUE(backoff.due(t0));
    const int expected[] = {1, 2, 4, 8, 16, 32, 60, 60, 60};
    Clock::time_point now = t0;
    for (int delay : expected) {
        backoff.failed(now);
        EXPECT_EQ(backoff.delay(), seconds(delay));
        EXPECT_FALSE(backoff.due(now + seconds(delay) - std::chrono::milliseconds(1)));
        now += seconds(delay);
        EXPECT_TRUE(backoff.due(now));
    }
    for (int i = 0; i < 5000; ++i) // a machine that never answers stays at the cap
        backoff.failed(now);
    EXPECT_EQ(backoff.delay(), seconds(60));
    backoff.succeeded();
    EXPECT_TRUE(backoff.due(now));
    backoff.failed(now);
    EXPECT_EQ(backoff.delay(), seconds(1));
}

TEST(GenericSensorSampler, WmiIsAskedOnlyWhenDueAndReconnectsAfterAFailedQuery) {
    FakeThermalZoneQuery query;
    query.rows = {FakeThermalZoneQuery::row(3300, L"zone")};
    query.connectResults = {false};
    FakeLibraryLoader loader;
    FakeThermalCounterQuery none;
    none.counterMissing = true;
    WmiThermalSource wmi(&query);
    ThermalCounterSource counters(&none);
    GpuLibraries gpu(&loader);
    GenericSensorSampler sampler(&wmi, &counters, &gpu);
    const Clock::time_point t0{};
    struct Step {
        int at;          // seconds after t0
        bool queryFails; // what WMI does in this round, if asked
        int attempts;    // connection attempts so far
        std::size_t zones;
    };
    const Step steps[] = {
        {0, false, 1, 0}, // connection refused: back off 1 s
        {0, false, 1, 0}, // not due yet
        {1, true, 2, 0},  // connects, the query fails: connection dropped, 2 s
        {2, false, 2, 0}, // not due
        {3, false, 3, 1}, // reconnects and reads
        {3, false, 3, 1}, // the connection is kept
        {4, true, 3, 0},  // fails again: 1 s (a success started over)
        {5, false, 4, 1},
    };
    for (const Step& step : steps) {
        query.queryFails = step.queryFails;
        const GenericSensorSnapshot snapshot = sampler.sample(t0 + seconds(step.at));
        EXPECT_EQ(query.connectAttempts, step.attempts) << "at " << step.at;
        EXPECT_EQ(snapshot.zones.size(), step.zones) << "at " << step.at;
    }
}

TEST(GenericSensorSampler, TheGpuIsAskedEveryRound) {
    FakeThermalZoneQuery query;
    FakeLibraryLoader loader;
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    nvapi.temperature = 61;
    WmiThermalSource wmi(&query);
    ThermalCounterSource counters(nullptr);
    GpuLibraries gpu(&loader);
    gpu.load();
    GenericSensorSampler sampler(&wmi, &counters, &gpu);
    GenericSensorSnapshot s = sampler.sample(Clock::time_point{});
    EXPECT_TRUE(s.gpuTemperatureRead);
    EXPECT_EQ(s.gpuCelsius, 61);
    EXPECT_TRUE(s.gpuFanRead);
    EXPECT_EQ(s.gpuFanRpm, 1450u);
    nvapi.thermalStatus = -1;
    nvapi.tachStatus = -1;
    s = sampler.sample(Clock::time_point{}); // WMI backs off (no zones), the GPU does not
    EXPECT_FALSE(s.gpuTemperatureRead || s.gpuFanRead);
    EXPECT_EQ(query.connectAttempts, 1);
}

TEST(GenericSensorSampler, TheCountersStandInForWmiOnlyInRoundsWithoutWmiZones) {
    FakeThermalZoneQuery query;
    FakeThermalCounterQuery pdh;
    pdh.rows = {FakeThermalCounterQuery::row(3232, L"\\_TZ.CPUZ"),
                {L"\\_TZ.BAT", false, 0},                         // no data
                FakeThermalCounterQuery::row(4032, L"\\_TZ.HOT"), // 130.05 °C
                FakeThermalCounterQuery::row(3000, L"")};
    FakeLibraryLoader loader;
    WmiThermalSource wmi(&query);
    ThermalCounterSource counters(&pdh);
    GpuLibraries gpu(&loader);
    GenericSensorSampler sampler(&wmi, &counters, &gpu);
    const Clock::time_point t0{};
    struct Step {
        int at;
        bool wmiZone, pdhMissing, pdhFails;
        ZoneSource source;
        std::size_t zones;
        int pdhOpen; // counter queries open afterwards
    } steps[] = {
        {0, false, false, false, ZoneSource::Counters, 2, 1},
        {0, false, false, true, ZoneSource::None, 0, 0},  // a failed collection closes
        {0, false, false, false, ZoneSource::None, 0, 0}, // and backs off a second
        {1, false, false, false, ZoneSource::Counters, 2, 1},
        {3, true, false, false, ZoneSource::Wmi, 1, 0},  // WMI answers: the counters close
        {4, false, true, false, ZoneSource::None, 0, 0}, // neither
    };
    for (const Step& step : steps) {
        query.rows.clear();
        if (step.wmiZone)
            query.rows = {FakeThermalZoneQuery::row(3300, L"zone")};
        pdh.counterMissing = step.pdhMissing;
        pdh.collectFails = step.pdhFails;
        const GenericSensorSnapshot s = sampler.sample(t0 + seconds(step.at));
        EXPECT_EQ(s.zoneSource, step.source) << "at " << step.at;
        ASSERT_EQ(s.zones.size(), step.zones) << "at " << step.at;
        EXPECT_EQ(pdh.liveSessions, step.pdhOpen) << "at " << step.at;
        if (step.source == ZoneSource::Counters) {
            EXPECT_EQ(s.zones[0].name, L"\\_TZ.CPUZ");
            EXPECT_NEAR(s.zones[0].temperature, 50.05, 1e-9);
            EXPECT_EQ(s.zones[1].name, L"ACPI Thermal Zone");
        }
    }
    sampler.finish();
    EXPECT_EQ(query.threadsLeft, 1);
}

TEST(GenericSensorSampler, AZoneThatKeepsItsValueForTenMinutesIsMarked) {
    FakeThermalZoneQuery query;
    FakeLibraryLoader loader;
    WmiThermalSource wmi(&query);
    ThermalCounterSource counters(nullptr);
    GpuLibraries gpu(&loader);
    GenericSensorSampler sampler(&wmi, &counters, &gpu);
    using std::chrono::minutes;
    const struct {
        seconds at;
        std::uint32_t fixed, moving; // tenths of a kelvin of two zones; 0: the zone is missing
        bool fixedMarked, movingMarked;
    } steps[] = {
        {seconds(0), 3000, 3100, false, false},
        {minutes(9) + seconds(59), 3000, 3100, false, false},
        {minutes(10), 3000, 3101, true, false},
        {minutes(25), 3000, 3101, true, true},
        {minutes(25) + seconds(1), 3001, 3101, false, true}, // a change starts over
        {minutes(30), 0, 3101, false, true},                 // the fixed zone is gone
        {minutes(41), 3001, 3101, false, true},              // and starts over on its return
    };
    for (const auto& step : steps) {
        query.rows = {FakeThermalZoneQuery::row(step.moving, L"moving")};
        if (step.fixed)
            query.rows.insert(query.rows.begin(), FakeThermalZoneQuery::row(step.fixed, L"fixed"));
        const GenericSensorSnapshot s = sampler.sample(Clock::time_point{} + step.at);
        const std::size_t moving = step.fixed ? 1 : 0;
        ASSERT_EQ(s.zones.size(), moving + 1);
        if (step.fixed) {
            EXPECT_EQ(s.zones[0].unchanging, step.fixedMarked) << step.at.count();
        }
        EXPECT_EQ(s.zones[moving].unchanging, step.movingMarked) << step.at.count();
    }
}

TEST(GenericSensorSampler, AmdIsAskedWhenItsBackOffAllowsAndClosedAtTheEnd) {
    FakeThermalZoneQuery query;
    FakeLibraryLoader loader;
    FakeAdlState& adl = installFakeAdl(&loader);
    WmiThermalSource wmi(&query);
    ThermalCounterSource counters(nullptr);
    GpuLibraries gpu(&loader);
    gpu.load();
    GenericSensorSampler sampler(&wmi, &counters, &gpu);
    const Clock::time_point t0{};
    std::strcpy(adl.fail, "C");
    EXPECT_FALSE(sampler.sample(t0).amdRead);
    EXPECT_FALSE(sampler.sample(t0).amdRead); // not due
    adl.fail[0] = '\0';
    EXPECT_FALSE(sampler.sample(t0 + std::chrono::milliseconds(999)).amdRead);
    const GenericSensorSnapshot s = sampler.sample(t0 + seconds(1));
    ASSERT_TRUE(s.amdRead);
    EXPECT_EQ(*s.amd.hotspot, 81);
    EXPECT_EQ(s.amdAdapter, L"AMD Radeon RX 6800 XT");
    EXPECT_TRUE(sampler.sample(t0 + seconds(1)).amdRead); // every round while it answers
    EXPECT_EQ(adl.creates, 1);
    EXPECT_EQ(adl.live, 1);
    sampler.finish();
    EXPECT_EQ(adl.live, 0);
}

TEST(SensorWorker, RunsWhenWokenAndClosesOnItsOwnThread) {
    std::atomic<int> runs{0};
    std::thread::id jobThread, closingThread;
    SensorWorker worker;
    worker.start(
        std::chrono::hours(1),
        [&] {
            jobThread = std::this_thread::get_id();
            ++runs;
        },
        [&] { closingThread = std::this_thread::get_id(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(runs, 0); // not before the first wake
    worker.wake();
    for (int i = 0; i < 5000 && runs < 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(runs, 1);
    worker.wake();
    for (int i = 0; i < 5000 && runs < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(runs, 2);
    worker.stop(); // does not wait for the hour
    EXPECT_FALSE(worker.running());
    EXPECT_NE(jobThread, std::this_thread::get_id());
    EXPECT_EQ(closingThread, jobThread);
}
