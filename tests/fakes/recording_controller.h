#pragma once

#include "hardware/hardware_controller.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A backend that records every call and answers from fields a test sets.
class RecordingController final : public IHardwareController {
public:
    struct RpmCall {
        std::int32_t fanIndex;
        double rpm;
        bool operator==(const RpmCall&) const = default;
    };

    // What the backend reports and answers.
    std::vector<FanChannel> fanChannels;
    bool connectResult = true;
    std::wstring name = L"Recording Backend";
    std::wstring status = L"Bereit";
    std::wstring note;
    std::deque<bool> setFanRpmResults; // consumed one per accepted call; true once empty
    bool setAutomaticResult = true;
    int setAutomaticFailures = 0; // this many calls fail first, whatever setAutomaticResult says
    bool updateResult = true;
    double cpu = 50.0, gpu = 40.0, power = 20.0;
    std::vector<SensorReading> readings;

    // What it was asked.
    std::vector<std::string> calls; // operation names in call order
    std::vector<RpmCall> rpmCalls;  // every setFanRpm that passed the index check
    SystemIdentity connectedIdentity;
    bool connected = false;
    int* destroyedCounter = nullptr; // incremented by the destructor when set

    ~RecordingController() override;
    bool connect(const SystemIdentity& identity) override;
    void disconnect() override;
    std::wstring backendName() const override { return name; }
    std::wstring statusText() const override { return status; }
    std::wstring driverNote() const override { return note; }
    bool isConnected() const override { return connected; }
    std::vector<FanChannel> fans() override;
    bool setFanRpm(std::int32_t fanIndex, double rpm) override;
    bool setFanPercent(std::int32_t fanIndex, double percent) override;
    bool setAutomatic() override;
    bool update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                std::vector<SensorReading>* out) override;

protected:
    const FanChannel* knownFan(std::int32_t fanIndex) const override;
};

FanChannel makeFan(std::int32_t index, double minRpm, double maxRpm, double currentRpm = 0.0);
