#include "fakes/recording_controller.h"

RecordingController::~RecordingController() {
    if (destroyedCounter != nullptr)
        ++*destroyedCounter;
}

bool RecordingController::connect(const SystemIdentity& identity) {
    calls.push_back("connect");
    connectedIdentity = identity;
    connected = connectResult;
    return connectResult;
}

void RecordingController::disconnect() {
    calls.push_back("disconnect");
    connected = false;
}

std::vector<FanChannel> RecordingController::fans() {
    calls.push_back("fans");
    return fanChannels;
}

bool RecordingController::setFanRpm(std::int32_t fanIndex, double rpm) {
    calls.push_back("setFanRpm");
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return false;
    rpmCalls.push_back({fanIndex, rpm});
    bool ok = true;
    if (!setFanRpmResults.empty()) {
        ok = setFanRpmResults.front();
        setFanRpmResults.pop_front();
    }
    if (ok) {
        FanChannel& fan = fanChannels[static_cast<std::size_t>(fanIndex)];
        fan.targetRpm = rpm;
        fan.manual = true;
    }
    return ok;
}

bool RecordingController::setFanPercent(std::int32_t fanIndex, double percent) {
    calls.push_back("setFanPercent");
    return IHardwareController::setFanPercent(fanIndex, percent);
}

bool RecordingController::setAutomatic() {
    calls.push_back("setAutomatic");
    if (setAutomaticFailures > 0) {
        --setAutomaticFailures;
        return false;
    }
    for (FanChannel& fan : fanChannels)
        fan.manual = false;
    return setAutomaticResult;
}

bool RecordingController::update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                                 std::vector<SensorReading>* out) {
    calls.push_back("update");
    *cpuTemp = cpu;
    *gpuTemp = gpu;
    *powerWatts = power;
    *out = readings;
    return updateResult;
}

const FanChannel* RecordingController::knownFan(std::int32_t fanIndex) const {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return nullptr;
    return &fanChannels[static_cast<std::size_t>(fanIndex)];
}

FanChannel makeFan(std::int32_t index, double minRpm, double maxRpm, double currentRpm) {
    FanChannel fan;
    fan.index = index;
    fan.label = index == 0 ? L"Lüfter 1" : L"Lüfter 2";
    fan.minRpm = minRpm;
    fan.maxRpm = maxRpm;
    fan.currentRpm = currentRpm;
    return fan;
}
