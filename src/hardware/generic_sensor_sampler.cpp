#include "hardware/generic_sensor_sampler.h"

GenericSensorSnapshot GenericSensorSampler::sample(RetryBackoff::Clock::time_point now) {
    GenericSensorSnapshot snapshot;
    if (backoff.due(now)) {
        if (wmi->queryThermalZones(&snapshot.zones))
            backoff.succeeded();
        else
            backoff.failed(now);
    }
    if (gpu->nvapiReady()) {
        std::int32_t celsius = 0;
        if (gpu->hasThermalSettings() && gpu->readTemperature(&celsius)) {
            snapshot.gpuTemperatureRead = true;
            snapshot.gpuCelsius = celsius;
        }
        std::uint32_t rpm = 0;
        if (gpu->hasTachometer() && gpu->readFanSpeed(&rpm)) {
            snapshot.gpuFanRead = true;
            snapshot.gpuFanRpm = rpm;
        }
    }
    return snapshot;
}
