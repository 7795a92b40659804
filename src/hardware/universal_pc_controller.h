#pragma once

#include "hardware/gpu_libraries.h"
#include "hardware/hardware_controller.h"
#include "hardware/wmi_thermal_source.h"

#include <string>
#include <vector>

// Estimates the machine's total power from its temperatures. A temperature is plausible
// strictly between 20 and 120 °C; an implausible CPU temperature becomes 42, a GPU temperature
// that was not read or is implausible becomes 39 (both written back). At least 15 W.
double estimateSystemPower(double* cpuTemp, double* gpuTemp, bool gpuRead);

// The backend for every machine that is not an Apple: temperatures from the ACPI thermal zones
// and NVIDIA's library, two fans with the maker's names and ranges whose commanded speeds are
// only recorded, and an estimated power draw.
class UniversalPCController final : public IHardwareController {
public:
    // The seams default to the platform's.
    explicit UniversalPCController(LibraryLoader* loader = nullptr,
                                   ThermalZoneQuery* thermalZones = nullptr);
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

    const GpuLibraries& gpuLibraries() const { return gpu; }
    const WmiThermalSource& thermalSource() const { return wmi; }
    double lastCpu() const { return lastCpuTemp; }
    double lastGpu() const { return lastGpuTemp; }

protected:
    const FanChannel* knownFan(std::int32_t fanIndex) const override;

private:
    SystemIdentity identity;
    GpuLibraries gpu;
    WmiThermalSource wmi;
    std::wstring status = L"Initialisiere...";
    std::vector<FanChannel> fanChannels;
    bool connected = false;
    double lastCpuTemp = 0.0;
    double lastGpuTemp = 0.0;
    ReadingQuality quality;
};
