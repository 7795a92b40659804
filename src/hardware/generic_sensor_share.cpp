#include "hardware/generic_sensor_share.h"

#include <utility>

GenericSensorShare::GenericSensorShare(ThermalZoneQuery* zones, ThermalCounterQuery* counters,
                                       std::shared_ptr<GpuLibraries> gpu)
    : wmi(zones), counters(counters), gpu(std::move(gpu)),
      sampler(&wmi, &this->counters, this->gpu.get()) {}

void GenericSensorShare::takeSample() {
    GenericSensorSnapshot fresh = sampler.sample(RetryBackoff::Clock::now());
    {
        std::lock_guard<std::mutex> guard(snapshotLock);
        latest = std::move(fresh);
    }
    samples.fetch_add(1, std::memory_order_release);
}

GenericSensorSnapshot GenericSensorShare::latestSnapshot() {
    std::lock_guard<std::mutex> guard(snapshotLock);
    return latest;
}
