#pragma once

#include "base/texts.h"
#include "hardware/generic_sensor_share.h"
#include "hardware/gpu_libraries.h"
#include "hardware/hardware_controller.h"
#include "hardware/sensor_worker.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Estimates the machine's total power from its temperatures. A temperature is plausible
// strictly between 20 and 120 °C; an implausible CPU temperature becomes 42, a GPU temperature
// that was not read or is implausible becomes 39 (both written back). At least 15 W.
double estimateSystemPower(double* cpuTemp, double* gpuTemp, bool gpuRead);

// The backend for every machine that is not an Apple. It only shows: temperatures from the ACPI
// thermal zones (WMI, else the performance counters) and from NVIDIA's and AMD's libraries, the
// GPU fan's measured speed, and an estimated power draw. It drives no fan: its two fans carry
// the maker's names and ranges, and the speeds the program asks for are only recorded.
//
// The sources are read on a sensor thread the backend owns, once per period from the second
// update after connect until disconnect or destruction; update only turns the latest complete
// snapshot into readings and never waits for a source. A snapshot older than STALE_AFTER
// periods (a source call that hangs) counts as no answer at all, so its values age and are lost.
// What a source opens (WMI objects, the counter query, AMD's context) lives and dies on that
// thread. Disconnect and destruction wait for the thread at most SensorWorker::STOP_WAIT; one
// that hangs in a source call is left to finish on its own with the sources it shares, and the
// backend goes on (or goes) without it.
class UniversalPCController final : public IHardwareController {
public:
    static constexpr std::chrono::milliseconds SENSOR_PERIOD{1000};
    static constexpr int STALE_AFTER = 5;

    // The seams default to the platform's.
    explicit UniversalPCController(LibraryLoader* loader = nullptr,
                                   ThermalZoneQuery* thermalZones = nullptr,
                                   std::chrono::milliseconds sensorPeriod = SENSOR_PERIOD,
                                   ThermalCounterQuery* thermalCounters = nullptr);
    ~UniversalPCController() override;
    UniversalPCController(const UniversalPCController&) = delete;
    UniversalPCController& operator=(const UniversalPCController&) = delete;

    bool connect(const SystemIdentity& identity) override;
    void disconnect() override;
    std::wstring backendName() const override;
    std::wstring statusText() const override { return status; }
    bool isConnected() const override { return connected; }
    std::vector<FanChannel> fans() override { return fanChannels; }
    bool setFanRpm(std::int32_t fanIndex, double rpm) override;
    bool setAutomatic() override;
    bool update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                std::vector<SensorReading>* readings) override;
    // Without a thermal zone or an NVIDIA reading the temperatures are stand-ins, and the
    // power is always an estimate.
    ReadingQuality readingQuality() const override { return quality; }
    bool drivesFans() const override { return false; }

    const GpuLibraries& gpuLibraries() const { return *gpu; }
    double lastCpu() const { return lastCpuTemp; }
    double lastGpu() const { return lastGpuTemp; }
    // The AMD GPU's name as its library gave it at the last reading; empty when none was read.
    const std::wstring& amdAdapterName() const { return amdAdapter; }
    // Snapshots completed by the sensor thread so far.
    std::uint64_t samplesTaken() const { return sensors ? sensors->samplesTaken() : 0; }
    // Has the sensor thread take a snapshot now rather than at the end of its period.
    void sampleSoon() { worker.wake(); }
    // The end of the latest sensor thread, also of one left to finish on its own.
    SensorThreadEnd sensorThreadEnd() const { return worker.ended(); }

protected:
    const FanChannel* knownFan(std::int32_t fanIndex) const override;

private:
    void startSensors();
    void stopSensors();
    void showGpuFan(const GenericSensorSnapshot& snapshot);

    SystemIdentity identity;
    LibraryLoader* loader;
    ThermalZoneQuery* thermalZones;
    ThermalCounterQuery* thermalCounters;
    std::shared_ptr<GpuLibraries> gpu; // shared with the sensor thread
    std::wstring status = text(TextId::PcStarting);
    std::vector<FanChannel> fanChannels;
    bool connected = false;
    double lastCpuTemp = 0.0;
    double lastGpuTemp = 0.0;
    ReadingQuality quality;
    std::wstring amdAdapter;

    std::chrono::milliseconds sensorPeriod;
    bool sensorsStarted = false; // by the first connect
    int roundsSinceStart = 0;    // updates since the sensor thread started, counted to 2
    std::shared_ptr<GenericSensorShare> sensors; // what the sensor thread reads and hands over
    SensorWorker worker;
};

// The AMD GPU the generic backend reads, by its library's name; empty for any other backend and
// before the library has named one.
std::wstring amdAdapterText(const IHardwareController* controller);
