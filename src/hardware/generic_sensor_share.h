#pragma once

#include "hardware/generic_sensor_sampler.h"
#include "hardware/gpu_libraries.h"
#include "hardware/thermal_counter_source.h"
#include "hardware/wmi_thermal_source.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// Everything the generic backend's sensor thread touches: the sources, the sampler over them and
// the latest snapshot. The backend and its sensor thread each hold it, so a thread left to finish
// a hung source call on its own still has all it reads after the backend is gone, and frees it
// as it ends. The GPU libraries are shared once more, with the backend, which loads them.
class GenericSensorShare {
public:
    GenericSensorShare(ThermalZoneQuery* zones, ThermalCounterQuery* counters,
                       std::shared_ptr<GpuLibraries> gpu);
    GenericSensorShare(const GenericSensorShare&) = delete;
    GenericSensorShare& operator=(const GenericSensorShare&) = delete;

    // On the sensor thread: one snapshot, handed over.
    void takeSample();
    // On the sensor thread, last: releases what the sources opened there.
    void finish() { sampler.finish(); }
    // The latest complete snapshot; never waits for a source.
    GenericSensorSnapshot latestSnapshot();
    std::uint64_t samplesTaken() const { return samples.load(std::memory_order_acquire); }

private:
    WmiThermalSource wmi;
    ThermalCounterSource counters;
    std::shared_ptr<GpuLibraries> gpu;
    GenericSensorSampler sampler;
    std::mutex snapshotLock;
    GenericSensorSnapshot latest;
    std::atomic<std::uint64_t> samples{0};
};
