#include "hardware/generic_sensor_sampler.h"

GenericSensorSnapshot GenericSensorSampler::sample(RetryBackoff::Clock::time_point now) {
    GenericSensorSnapshot snapshot;
    snapshot.taken = true;
    snapshot.takenAt = now;
    sampleZones(&snapshot, now);
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
    sampleAmd(&snapshot, now);
    return snapshot;
}

void GenericSensorSampler::sampleZones(GenericSensorSnapshot* snapshot,
                                       RetryBackoff::Clock::time_point now) {
    if (wmiRetry.due(now)) {
        if (wmi->queryThermalZones(&snapshot->zones)) {
            wmiRetry.succeeded();
            snapshot->zoneSource = ZoneSource::Wmi;
            counters->release(); // not needed while WMI answers
        } else {
            wmiRetry.failed(now);
            snapshot->zones.clear();
        }
    }
    if (snapshot->zones.empty() && counterRetry.due(now)) {
        if (counters->queryThermalZones(&snapshot->zones)) {
            counterRetry.succeeded();
            snapshot->zoneSource = ZoneSource::Counters;
        } else {
            counterRetry.failed(now);
            snapshot->zones.clear();
        }
    }
    unchanging.mark(&snapshot->zones, snapshot->zoneSource == ZoneSource::Wmi ? L"WMI" : L"PDH",
                    now);
}

void GenericSensorSampler::sampleAmd(GenericSensorSnapshot* snapshot,
                                     RetryBackoff::Clock::time_point now) {
    AmdGpuLibrary& amd = gpu->amd();
    if (!amd.present() || !amdRetry.due(now))
        return;
    if (amd.open() && amd.read(&snapshot->amd)) {
        amdRetry.succeeded();
        snapshot->amdRead = true;
        snapshot->amdAdapter = amd.adapter().name;
    } else {
        amdRetry.failed(now);
        snapshot->amd = {};
    }
}

void GenericSensorSampler::finish() {
    counters->release();
    gpu->amd().close();
    wmi->leaveThread(); // last: it may leave COM for this thread
}
