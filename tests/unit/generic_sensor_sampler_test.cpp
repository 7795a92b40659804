#include "hardware/generic_sensor_sampler.h"
#include "hardware/sensor_worker.h"

#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_zone_query.h"

#include <gtest/gtest.h>

#include <atomic>
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
    WmiThermalSource wmi(&query);
    GpuLibraries gpu(&loader);
    GenericSensorSampler sampler(&wmi, &gpu);
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
    GpuLibraries gpu(&loader);
    gpu.load();
    GenericSensorSampler sampler(&wmi, &gpu);
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
