#pragma once

#include "hardware/hardware_controller.h"

#include <cstddef>
#include <vector>

// A backend shaped like the universal PC one (two fans, about twenty readings) that keeps no
// record of its calls, so a benchmark that runs it millions of times measures the program and
// not a growing log. The CPU temperature walks through a short cycle, one step per update.
class BenchController final : public IHardwareController {
public:
    BenchController();

    bool connect(const SystemIdentity& identity) override;
    void disconnect() override { connected_ = false; }
    std::wstring backendName() const override;
    std::wstring statusText() const override;
    bool isConnected() const override { return connected_; }
    std::vector<FanChannel> fans() override { return fans_; }
    bool setFanRpm(std::int32_t fanIndex, double rpm) override;
    bool setAutomatic() override;
    bool update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                std::vector<SensorReading>* readings) override;

    std::size_t readingCount() const { return readings_.size(); }

protected:
    const FanChannel* knownFan(std::int32_t fanIndex) const override;

private:
    std::vector<FanChannel> fans_;
    std::vector<SensorReading> readings_;
    std::size_t step_ = 0;
    bool connected_ = false;
};
