#pragma once

// The hardware folder owns the backends and everything they hold: the device, the WMI objects,
// the vendors' libraries and the sensor thread. It detects the machine, installs the SMC driver
// service and decodes what the hardware answers; it calls only base/ and platform/.

#include "hardware/hardware_records.h"

#include <cstdint>
#include <string>
#include <vector>

// The one seam between the program and the machine's fans and sensors. Exactly one backend
// exists at a time; the order of the virtual operations is fixed and both backends follow it.
// No operation throws: failures are the boolean results and, for connect, the status text.
class IHardwareController {
public:
    virtual ~IHardwareController() = default;

    // Called exactly once on a freshly created object; false only when the backend cannot work.
    virtual bool connect(const SystemIdentity& identity) = 0;
    virtual void disconnect() = 0;
    virtual std::wstring backendName() const = 0;
    virtual std::wstring statusText() const = 0;
    virtual bool isConnected() const = 0;
    // A copy of the backend's fan list (the SMC backend re-reads the hardware first).
    virtual std::vector<FanChannel> fans() = 0;
    // Takes the fan under program control at rpm; the value is not clamped here.
    virtual bool setFanRpm(std::int32_t fanIndex, double rpm) = 0;
    // Maps percent of the fan's own range to a speed and commands it through setFanRpm, so a
    // backend's own setFanRpm does the work. Percent is not clamped either.
    virtual bool setFanPercent(std::int32_t fanIndex, double percent);
    // Hands every fan back to the firmware; true even when nothing could be sent.
    virtual bool setAutomatic() = 0;
    // Empties and refills readings and writes the summary values (see each backend).
    virtual bool update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                        std::vector<SensorReading>* readings) = 0;
    // How far the summary values of the last update are readings; all of them by default.
    virtual ReadingQuality readingQuality() const { return {}; }
    // Why the backend's driver was not installed, or a warning about where it lies; empty when
    // there is nothing to say.
    virtual std::wstring driverNote() const { return {}; }

protected:
    // The backend's own entry for a fan as last read, or null for an index outside its list;
    // setFanPercent takes the range from here, so it costs no extra hardware round trip.
    virtual const FanChannel* knownFan(std::int32_t fanIndex) const = 0;
};
