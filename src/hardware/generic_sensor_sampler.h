#pragma once

#include "hardware/amd_adl_records.h"
#include "hardware/gpu_libraries.h"
#include "hardware/retry_backoff.h"
#include "hardware/thermal_counter_source.h"
#include "hardware/unchanging_watch.h"
#include "hardware/wmi_thermal_source.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the thermal zones of a snapshot came from.
enum class ZoneSource { None, Wmi, Counters };

// One complete reading of the generic backend's sources, as the sensor thread hands it over.
struct GenericSensorSnapshot {
    bool taken = false; // false: the sensor thread has not read anything yet
    RetryBackoff::Clock::time_point takenAt{};
    std::vector<ThermalZoneReading> zones; // plausible zones of this round, in their source's order
    ZoneSource zoneSource = ZoneSource::None;
    bool gpuTemperatureRead = false; // NVIDIA
    std::int32_t gpuCelsius = 0;
    bool gpuFanRead = false;
    std::uint32_t gpuFanRpm = 0;
    bool amdRead = false;
    AmdGpuReading amd;
    std::wstring amdAdapter; // the AMD GPU's name, when read
};

// Takes the snapshots. The thermal zones come from WMI, and from the performance counters in a
// round where WMI gave none. Each of those and AMD's library is asked only when its own back-off
// allows: a failure, or a round without a plausible value, spaces the next attempt out (and a
// failed query or read drops its connection). NVIDIA's library is asked every round while ready.
class GenericSensorSampler {
public:
    GenericSensorSampler(WmiThermalSource* wmi, ThermalCounterSource* counters, GpuLibraries* gpu)
        : wmi(wmi), counters(counters), gpu(gpu) {}

    GenericSensorSnapshot sample(RetryBackoff::Clock::time_point now);
    // The last call on the sensor thread: releases what the sources opened there.
    void finish();
    const RetryBackoff& wmiBackoff() const { return wmiRetry; }
    const RetryBackoff& counterBackoff() const { return counterRetry; }
    const RetryBackoff& amdBackoff() const { return amdRetry; }

private:
    void sampleZones(GenericSensorSnapshot* snapshot, RetryBackoff::Clock::time_point now);
    void sampleAmd(GenericSensorSnapshot* snapshot, RetryBackoff::Clock::time_point now);

    WmiThermalSource* wmi;
    ThermalCounterSource* counters;
    GpuLibraries* gpu;
    RetryBackoff wmiRetry;
    RetryBackoff counterRetry;
    RetryBackoff amdRetry;
    UnchangingWatch unchanging;
};
