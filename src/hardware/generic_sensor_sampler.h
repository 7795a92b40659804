#pragma once

#include "hardware/gpu_libraries.h"
#include "hardware/retry_backoff.h"
#include "hardware/wmi_thermal_source.h"

#include <cstdint>
#include <vector>

// One complete reading of the generic backend's sources, as the sensor thread hands it over.
struct GenericSensorSnapshot {
    std::vector<ThermalZoneReading> zones; // plausible zones of this round, in WMI's order
    bool gpuTemperatureRead = false;
    std::int32_t gpuCelsius = 0;
    bool gpuFanRead = false;
    std::uint32_t gpuFanRpm = 0;
};

// Takes the snapshots. WMI is asked only when its back-off allows: a failed connection or query
// (the query then drops the connection), or a round without a plausible zone, spaces the next
// attempt out. The GPU is asked every round while its library is ready.
class GenericSensorSampler {
public:
    GenericSensorSampler(WmiThermalSource* wmi, GpuLibraries* gpu) : wmi(wmi), gpu(gpu) {}

    GenericSensorSnapshot sample(RetryBackoff::Clock::time_point now);
    const RetryBackoff& wmiBackoff() const { return backoff; }

private:
    WmiThermalSource* wmi;
    GpuLibraries* gpu;
    RetryBackoff backoff;
};
