#include "hardware/apple_smc_controller.h"

#include "base/bounded_format.h"
#include "hardware/fan_handback.h"
#include "hardware/smc_codec.h"
#include "hardware/smc_driver_service.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

const std::array<SmcSensorKey, SMC_SENSOR_COUNT> SMC_SENSOR_TABLE = {{
    {"TCXC", L"CPU Package PECI", L"CPU (Core i9)", L"°C"},
    {"TC0F", L"CPU Die Filtered", L"CPU (Core i9)", L"°C"},
    {"TC0P", L"CPU Proximity", L"CPU (Core i9)", L"°C"},
    {"TC1C", L"CPU Core 1", L"CPU (Core i9)", L"°C"},
    {"TC2C", L"CPU Core 2", L"CPU (Core i9)", L"°C"},
    {"TC3C", L"CPU Core 3", L"CPU (Core i9)", L"°C"},
    {"TC4C", L"CPU Core 4", L"CPU (Core i9)", L"°C"},
    {"TC5C", L"CPU Core 5", L"CPU (Core i9)", L"°C"},
    {"TGDD", L"AMD Radeon Pro Die", L"GPU (Radeon 5500M)", L"°C"},
    {"TG0P", L"AMD GPU Proximity", L"GPU (Radeon 5500M)", L"°C"},
    {"Th1H", L"Fin Stack Left", L"Kühlkörper & Board", L"°C"},
    {"Th2H", L"Fin Stack Right", L"Kühlkörper & Board", L"°C"},
    {"Tm0P", L"Logic Board Proximity", L"Kühlkörper & Board", L"°C"},
    {"TM0P", L"DDR4 Memory Proximity", L"RAM & NVMe SSD", L"°C"},
    {"PDTR", L"System Total Power", L"Spannung & Leistung", L"W"},
}};

namespace {

// "F%dAc" and friends for fan 0 or 1, in a five-byte buffer.
struct FanKey {
    char text[5];
};
FanKey fanKey(std::int32_t fan, const char* suffix) {
    FanKey k{};
    std::snprintf(k.text, sizeof k.text, "F%d%s", static_cast<int>(fan), suffix);
    return k;
}

FanChannel defaultFan(std::int32_t index, const wchar_t* label, double current, double min,
                      double max) {
    FanChannel f;
    f.index = index;
    f.label = label;
    f.currentRpm = current;
    f.minRpm = min;
    f.maxRpm = max;
    f.targetRpm = min;
    f.manual = false;
    return f;
}

} // namespace

AppleSmcController::AppleSmcController(DeviceIo* io)
    : io(io ? io : platform.deviceIo),
      fanChannels{defaultFan(0, L"Linker Lüfter (CPU)", 1830, 1829, 5779),
                  defaultFan(1, L"Rechter Lüfter (GPU)", 1700, 1692, 5343)} {}

AppleSmcController::~AppleSmcController() {
    disconnect();
}

bool AppleSmcController::connect(const SystemIdentity&) {
    installSmcDriverService();
    if (io)
        device = io->open(SMC_DEVICE_PATH);
    if (device == INVALID_DEVICE_HANDLE) {
        status = SMC_STATUS_NOT_CONNECTED;
        return false;
    }
    std::uint8_t mode = 0;
    std::uint32_t count = 0;
    if (request(IOCTL_SMC_QUERY_MODE, nullptr, 0, &mode, 1, &count) && count == 1)
        t2 = mode != 0;
    status = t2 ? SMC_STATUS_T2 : SMC_STATUS_PORT_IO;
    armHandBack();
    return true;
}

void AppleSmcController::disconnect() {
    disarmFanHandBack();
    if (device != INVALID_DEVICE_HANDLE && io)
        io->close(device);
    device = INVALID_DEVICE_HANDLE;
}

std::wstring AppleSmcController::backendName() const {
    return L"Apple SMC Kernel-Treiber (Boot Camp)";
}

bool AppleSmcController::isConnected() const {
    return device != INVALID_DEVICE_HANDLE;
}

bool AppleSmcController::request(std::uint32_t code, const void* input, std::uint32_t inputSize,
                                 void* output, std::uint32_t outputSize, std::uint32_t* returned) {
    if (!isConnected() || !io)
        return false;
    // Read only after success: a failed request does not write the count.
    std::uint32_t count = 0;
    if (!io->control(device, code, input, inputSize, output, outputSize, &count))
        return false;
    *returned = count;
    return true;
}

bool AppleSmcController::readKey(const char* key, double* value) {
    if (!isConnected())
        return false;
    std::uint8_t data[4] = {};
    std::uint32_t count = 0;
    SmcKeyRequest r = makeSmcReadRequest(key, 4);
    if (request(IOCTL_SMC_READ_KEY, r.bytes.data(), r.length, data, 4, &count) && count == 4 &&
        decodeSmcFloat(data, value))
        return true;
    r = makeSmcReadRequest(key, 2);
    count = 0;
    std::uint8_t pair[2] = {};
    return request(IOCTL_SMC_READ_KEY, r.bytes.data(), r.length, pair, 2, &count) && count == 2 &&
           decodeSmcSp78(pair, value);
}

bool AppleSmcController::readByte(const char* key, std::uint8_t* value) {
    const SmcKeyRequest r = makeSmcReadRequest(key, 1);
    std::uint8_t data = 0;
    std::uint32_t count = 0;
    if (!request(IOCTL_SMC_READ_KEY, r.bytes.data(), r.length, &data, 1, &count) || count != 1)
        return false;
    *value = data;
    return true;
}

bool AppleSmcController::writeKey(const char* key, std::uint8_t size, const std::uint8_t* data) {
    const SmcKeyRequest r = makeSmcWriteRequest(key, size, data);
    std::uint32_t count = 0;
    return request(IOCTL_SMC_WRITE_KEY, r.bytes.data(), r.length, nullptr, 0, &count);
}

std::vector<FanChannel> AppleSmcController::fans() {
    for (std::int32_t n = 0; n < 2; ++n) {
        FanChannel& fan = fanChannels[static_cast<std::size_t>(n)];
        double v = 0;
        if (readKey(fanKey(n, "Ac").text, &v))
            fan.currentRpm = v;
        if (readKey(fanKey(n, "Mn").text, &v) && v > 500)
            fan.minRpm = v;
        if (readKey(fanKey(n, "Mx").text, &v) && v > 1000)
            fan.maxRpm = v;
        if (readKey(fanKey(n, "Tg").text, &v))
            fan.targetRpm = v;
        std::uint8_t mode = 0;
        if (readByte(fanKey(n, "Md").text, &mode))
            fan.manual = mode != 0;
    }
    return std::vector<FanChannel>(fanChannels.begin(), fanChannels.end());
}

bool AppleSmcController::setFanRpm(std::int32_t fanIndex, double rpm) {
    if (fanIndex < 0 || fanIndex > 1)
        return false;
    if (!isConnected())
        return false;
    const std::uint8_t manual = 1;
    if (!writeKey(fanKey(fanIndex, "Md").text, 1, &manual))
        return false;
    const auto target = encodeSmcFloat(static_cast<float>(rpm));
    return writeKey(fanKey(fanIndex, "Tg").text, 4, target.data());
}

const FanChannel* AppleSmcController::knownFan(std::int32_t fanIndex) const {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return nullptr;
    return &fanChannels[static_cast<std::size_t>(fanIndex)];
}

std::size_t AppleSmcController::handBackRequests(FanHandBackRequest* out) const {
    const std::uint8_t automatic = 0;
    std::size_t n = 0;
    for (const char* key : {"F0Md", "F1Md", "FS! "})
        out[n++].request = makeSmcWriteRequest(key, 1, &automatic);
    return n;
}

void AppleSmcController::armHandBack() {
    FanHandBackRequest requests[FAN_HANDBACK_MAX_REQUESTS];
    armFanHandBack(io, device, requests, handBackRequests(requests));
}

bool AppleSmcController::setAutomatic() {
    FanHandBackRequest requests[FAN_HANDBACK_MAX_REQUESTS];
    const std::size_t n = handBackRequests(requests);
    for (std::size_t i = 0; i < n; ++i) {
        if (!isConnected())
            break;
        std::uint32_t count = 0;
        request(requests[i].code, requests[i].request.bytes.data(), requests[i].request.length,
                nullptr, 0, &count);
    }
    return true;
}

bool AppleSmcController::update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                                std::vector<SensorReading>* readings) {
    if (readings)
        readings->clear();
    double cpuMax = 0, gpuMax = 0, power = 0;
    for (const SmcSensorKey& row : SMC_SENSOR_TABLE) {
        double value = 0;
        if (!readKey(row.key, &value))
            continue;
        if (readings) {
            SensorReading r;
            r.key.assign(row.key, row.key + 4);
            r.label = row.label;
            r.category = row.category;
            r.unit = row.unit;
            r.value = value;
            readings->push_back(r);
        }
        const std::string_view key(row.key, 4);
        if (key.substr(0, 2) == "TC")
            cpuMax = std::max(cpuMax, value);
        else if (key.substr(0, 2) == "TG")
            gpuMax = std::max(gpuMax, value);
        else if (key == "PDTR")
            power = value;
    }
    if (cpuTemp && cpuMax > 0)
        *cpuTemp = cpuMax;
    if (gpuTemp && gpuMax > 0)
        *gpuTemp = gpuMax;
    if (powerWatts && power > 0)
        *powerWatts = power;
    return true;
}
