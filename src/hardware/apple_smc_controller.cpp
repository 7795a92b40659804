#include "hardware/apple_smc_controller.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "hardware/fan_handback.h"
#include "hardware/smc_codec.h"
#include "hardware/smc_driver_service.h"
#include "platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string_view>

const std::array<SmcSensorKey, SMC_SENSOR_COUNT> SMC_SENSOR_TABLE = {{
    {"TCXC", L"CPU Package PECI", TextId::CategoryCpu, L"°C"},
    {"TC0F", L"CPU Die Filtered", TextId::CategoryCpu, L"°C"},
    {"TC0P", L"CPU Proximity", TextId::CategoryCpu, L"°C"},
    {"TC1C", L"CPU Core 1", TextId::CategoryCpu, L"°C"},
    {"TC2C", L"CPU Core 2", TextId::CategoryCpu, L"°C"},
    {"TC3C", L"CPU Core 3", TextId::CategoryCpu, L"°C"},
    {"TC4C", L"CPU Core 4", TextId::CategoryCpu, L"°C"},
    {"TC5C", L"CPU Core 5", TextId::CategoryCpu, L"°C"},
    {"TGDD", L"AMD Radeon Pro Die", TextId::CategoryGpu, L"°C"},
    {"TG0P", L"AMD GPU Proximity", TextId::CategoryGpu, L"°C"},
    {"Th1H", L"Fin Stack Left", TextId::CategoryHeatsink, L"°C"},
    {"Th2H", L"Fin Stack Right", TextId::CategoryHeatsink, L"°C"},
    {"Tm0P", L"Logic Board Proximity", TextId::CategoryHeatsink, L"°C"},
    {"TM0P", L"DDR4 Memory Proximity", TextId::CategoryMemory, L"°C"},
    {"PDTR", L"System Total Power", TextId::CategoryPower, L"W"},
}};

namespace {

enum FanKeyKind : std::size_t { ACTUAL, MINIMUM, MAXIMUM, TARGET, MODE };
const char* const FAN_SUFFIX[SMC_KEYS_PER_FAN] = {"Ac", "Mn", "Mx", "Tg", "Md"};
constexpr std::size_t FORCE_SLOT = 2 * SMC_KEYS_PER_FAN;
constexpr std::size_t SENSOR_SLOT = FORCE_SLOT + 1;
const char* const FORCE_KEY = "FS! ";

constexpr std::size_t fanSlot(std::int32_t fan, FanKeyKind kind) {
    return static_cast<std::size_t>(fan) * SMC_KEYS_PER_FAN + kind;
}

// "F%dAc" and friends for fan 0 or 1, in a five-byte buffer.
struct FanKey {
    char text[5];
};
FanKey fanKey(std::int32_t fan, const char* suffix) {
    FanKey k{};
    std::snprintf(k.text, sizeof k.text, "F%d%s", static_cast<int>(fan), suffix);
    return k;
}

FanKey slotKey(std::size_t slot) {
    if (slot < FORCE_SLOT)
        return fanKey(static_cast<std::int32_t>(slot / SMC_KEYS_PER_FAN),
                      FAN_SUFFIX[slot % SMC_KEYS_PER_FAN]);
    FanKey k{};
    std::memcpy(k.text, slot == FORCE_SLOT ? FORCE_KEY : SMC_SENSOR_TABLE[slot - SENSOR_SLOT].key,
                4);
    return k;
}

// The sizes a key may have, in the order they are asked for: speeds and sensors are flt on the
// T2 generation and 2-byte types before it; a fan's mode is one byte; the force mask one byte
// on the T2 generation and two before it.
struct SizeChoice {
    std::uint8_t sizes[2];
    std::size_t count;
};
SizeChoice possibleSizes(std::size_t slot) {
    if (slot < FORCE_SLOT && slot % SMC_KEYS_PER_FAN == MODE)
        return {{1, 0}, 1};
    if (slot == FORCE_SLOT)
        return {{1, 2}, 2};
    return {{4, 2}, 2};
}

SmcQuantity sensorQuantity(const SmcSensorKey& row) {
    return std::wcscmp(row.unit, L"W") == 0 ? SmcQuantity::Power : SmcQuantity::Temperature;
}

// The fans' names, left and right; set on every copy handed out, in the language of the moment.
constexpr TextId FAN_NAMES[2] = {TextId::SmcLeftFan, TextId::SmcRightFan};

FanChannel defaultFan(std::int32_t index, double current, double min, double max) {
    FanChannel f;
    f.index = index;
    f.label = text(FAN_NAMES[static_cast<std::size_t>(index)]);
    f.currentRpm = current;
    f.minRpm = min;
    f.maxRpm = max;
    f.targetRpm = min;
    f.manual = false;
    return f;
}

} // namespace

AppleSmcController::AppleSmcController(DeviceIo* io)
    : io(io ? io : platform.deviceIo), fanChannels{defaultFan(0, 1830, 1829, 5779),
                                                   defaultFan(1, 1700, 1692, 5343)} {}

AppleSmcController::~AppleSmcController() {
    disconnect();
}

bool AppleSmcController::connect(const SystemIdentity&) {
    disconnect();
    installNote = installSmcDriverService();
    if (io)
        device = io->open(SMC_DEVICE_PATH);
    if (device == INVALID_DEVICE_HANDLE) {
        status = TextId::SmcNotConnected;
        return false;
    }
    std::uint8_t mode = 0;
    std::uint32_t count = 0;
    if (request(IOCTL_SMC_QUERY_MODE, nullptr, 0, &mode, 1, &count) && count == 1)
        t2 = mode != 0;
    status = t2 ? TextId::SmcActiveT2 : TextId::SmcActivePortIo;
    learnKeySizes();
    return true;
}

void AppleSmcController::disconnect() {
    // Only the plan this object armed: a backend that never connected leaves another's alone.
    if (device != INVALID_DEVICE_HANDLE) {
        disarmFanHandBack();
        if (io)
            io->close(device);
    }
    device = INVALID_DEVICE_HANDLE;
    keySizes.fill(0);
    sizesLearnt = false;
}

std::wstring AppleSmcController::backendName() const {
    return text(TextId::SmcBackendName);
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

bool AppleSmcController::readRaw(const char* key, std::uint8_t size, std::uint8_t* data) {
    const SmcKeyRequest r = makeSmcReadRequest(key, size);
    std::uint32_t count = 0;
    return request(IOCTL_SMC_READ_KEY, r.bytes.data(), r.length, data, size, &count) &&
           count == size;
}

void AppleSmcController::learnKeySizes() {
    keySizes.fill(0);
    sizesLearnt = false;
    learnMissingSizes();
}

void AppleSmcController::learnMissingSizes() {
    updatesSinceLearning = 0;
    if (!isConnected())
        return;
    bool learnt = false;
    for (std::size_t slot = 0; slot < SMC_KEY_COUNT; ++slot) {
        if (keySizes[slot] != 0)
            continue;
        const FanKey key = slotKey(slot);
        const SizeChoice choice = possibleSizes(slot);
        for (std::size_t i = 0; i < choice.count && keySizes[slot] == 0; ++i) {
            std::uint8_t data[4] = {};
            if (readRaw(key.text, choice.sizes[i], data))
                keySizes[slot] = choice.sizes[i];
        }
        learnt = learnt || keySizes[slot] != 0;
    }
    sizesLearnt = sizesLearnt || learnt;
    // The hand-back has to use the keys this SMC has.
    if (learnt || !sizesLearnt)
        armHandBack();
}

bool AppleSmcController::readSlot(std::size_t slot, std::uint8_t* data) {
    if (!isConnected())
        return false;
    // A device that answered nothing at connect may have been busy: ask again.
    if (!sizesLearnt)
        learnKeySizes();
    const std::uint8_t size = keySizes[slot];
    return size != 0 && readRaw(slotKey(slot).text, size, data);
}

bool AppleSmcController::readNumber(std::size_t slot, SmcQuantity quantity, double* value) {
    std::uint8_t data[4] = {};
    return readSlot(slot, data) && decodeSmcValue(quantity, data, keySizes[slot], value);
}

bool AppleSmcController::readForceMask(std::uint16_t* mask) {
    std::uint8_t data[4] = {};
    if (!readSlot(FORCE_SLOT, data))
        return false;
    *mask =
        keySizes[FORCE_SLOT] == 2 ? static_cast<std::uint16_t>(data[0] << 8 | data[1]) : data[0];
    return true;
}

bool AppleSmcController::usesModeKey(std::int32_t fan) const {
    // With neither key known the mode key is tried, as on the T2 generation.
    return keySizes[fanSlot(fan, MODE)] != 0 || keySizes[FORCE_SLOT] == 0;
}

std::uint8_t AppleSmcController::learntKeySize(const char* key) const {
    for (std::size_t slot = 0; slot < SMC_KEY_COUNT; ++slot)
        if (std::memcmp(slotKey(slot).text, key, 4) == 0)
            return keySizes[slot];
    return 0;
}

std::wstring AppleSmcController::generationText() const {
    if (!isConnected())
        return {};
    std::wstring shown = t2 ? L"T2 (MMIO)" : L"Port I/O";
    const std::uint8_t speed = keySizes[fanSlot(0, ACTUAL)];
    if (speed == 4)
        shown += text(TextId::SmcFansFloat);
    else if (speed == 2)
        shown += text(TextId::SmcFansFpe2);
    shown += text(usesModeKey(0) ? TextId::SmcThroughModeKeys : TextId::SmcThroughForceKey);
    return shown;
}

std::wstring smcGenerationText(const IHardwareController* controller) {
    const auto* smc = dynamic_cast<const AppleSmcController*>(controller);
    return smc ? smc->generationText() : std::wstring{};
}

bool AppleSmcController::writeKey(const char* key, std::uint8_t size, const std::uint8_t* data) {
    const SmcKeyRequest r = makeSmcWriteRequest(key, size, data);
    std::uint32_t count = 0;
    return request(IOCTL_SMC_WRITE_KEY, r.bytes.data(), r.length, nullptr, 0, &count);
}

std::vector<FanChannel> AppleSmcController::fans() {
    // Without mode keys both fans' state is one mask: asked for once, not once per fan.
    std::uint16_t mask = 0;
    const bool haveMask = (!usesModeKey(0) || !usesModeKey(1)) && readForceMask(&mask);
    for (std::int32_t n = 0; n < 2; ++n) {
        FanChannel& fan = fanChannels[static_cast<std::size_t>(n)];
        double v = 0;
        if (readNumber(fanSlot(n, ACTUAL), SmcQuantity::Speed, &v))
            fan.currentRpm = v;
        if (readNumber(fanSlot(n, MINIMUM), SmcQuantity::Speed, &v) && v > 500)
            fan.minRpm = v;
        if (readNumber(fanSlot(n, MAXIMUM), SmcQuantity::Speed, &v) && v > 1000)
            fan.maxRpm = v;
        if (readNumber(fanSlot(n, TARGET), SmcQuantity::Speed, &v))
            fan.targetRpm = v;
        std::uint8_t mode[4] = {};
        if (usesModeKey(n)) {
            if (readSlot(fanSlot(n, MODE), mode))
                fan.manual = mode[0] != 0;
        } else if (haveMask) {
            fan.manual = (mask >> n & 1u) != 0;
        }
    }
    std::vector<FanChannel> copies(fanChannels.begin(), fanChannels.end());
    for (std::size_t n = 0; n < copies.size(); ++n)
        copies[n].label = text(FAN_NAMES[n]);
    return copies;
}

bool AppleSmcController::setForced(std::int32_t fan, bool forced) {
    if (usesModeKey(fan)) {
        const std::uint8_t manual = forced ? 1 : 0;
        return writeKey(fanKey(fan, "Md").text, 1, &manual);
    }
    // The mask holds the other fan's bit too: change only this fan's.
    std::uint16_t mask = 0;
    if (!readForceMask(&mask))
        return false;
    const auto bit = static_cast<std::uint16_t>(1u << fan);
    mask = static_cast<std::uint16_t>(forced ? mask | bit : mask & ~bit);
    const std::uint8_t size = keySizes[FORCE_SLOT];
    const std::uint8_t data[2] = {static_cast<std::uint8_t>(size == 2 ? mask >> 8 : mask),
                                  static_cast<std::uint8_t>(mask)};
    return writeKey(FORCE_KEY, size, data);
}

bool AppleSmcController::setFanRpm(std::int32_t fanIndex, double rpm) {
    if (fanIndex < 0 || fanIndex > 1)
        return false;
    if (!isConnected() || !std::isfinite(rpm))
        return false;
    const FanChannel& fan = fanChannels[static_cast<std::size_t>(fanIndex)];
    // A misread range (disordered, or beyond any real fan) is no limit to hold a command to:
    // the program regulates within the fan's construction range then, and only absurd speeds
    // are cut here.
    if (plausibleFanRange(fan))
        rpm = std::max(fan.minRpm, std::min(rpm, fan.maxRpm));
    else
        rpm = std::max(0.0, std::min(rpm, HIGHEST_PLAUSIBLE_RPM));
    // The target first, then the force: a fan is never held at a target it was not given.
    // When either write fails the fan goes back to the firmware rather than stay forced at
    // whatever target the firmware last had.
    const FanKey target = fanKey(fanIndex, "Tg");
    const std::uint8_t size = keySizes[fanSlot(fanIndex, TARGET)];
    bool whole = false;
    if (size == 2) {
        const auto bytes = encodeSmcFpe2(rpm);
        whole = writeKey(target.text, 2, bytes.data());
    } else if (size == 4) {
        const auto bytes = encodeSmcFloat(static_cast<float>(rpm));
        whole = writeKey(target.text, 4, bytes.data());
    }
    whole = whole && setForced(fanIndex, true);
    if (!whole)
        setForced(fanIndex, false);
    return whole;
}

const FanChannel* AppleSmcController::knownFan(std::int32_t fanIndex) const {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return nullptr;
    return &fanChannels[static_cast<std::size_t>(fanIndex)];
}

std::size_t AppleSmcController::handBackRequests(FanHandBackRequest* out) const {
    const std::uint8_t automatic[2] = {0, 0};
    std::size_t n = 0;
    // Only the keys this SMC has: a write to one it lacks always fails. Before any key answered
    // nothing is known, and the T2 generation's keys are tried.
    for (std::int32_t fan = 0; fan < 2; ++fan)
        if (sizesLearnt ? keySizes[fanSlot(fan, MODE)] != 0 : usesModeKey(fan))
            out[n++].request = makeSmcWriteRequest(fanKey(fan, "Md").text, 1, automatic);
    if (!sizesLearnt || keySizes[FORCE_SLOT] != 0) {
        const std::uint8_t maskSize = keySizes[FORCE_SLOT] != 0 ? keySizes[FORCE_SLOT] : 1;
        out[n++].request = makeSmcWriteRequest(FORCE_KEY, maskSize, automatic);
    }
    return n;
}

void AppleSmcController::armHandBack() {
    FanHandBackRequest requests[FAN_HANDBACK_MAX_REQUESTS];
    armFanHandBack(io, device, requests, handBackRequests(requests));
}

bool AppleSmcController::setAutomatic() {
    FanHandBackRequest requests[FAN_HANDBACK_MAX_REQUESTS];
    const std::size_t n = handBackRequests(requests);
    bool all = isConnected();
    for (std::size_t i = 0; i < n; ++i) {
        if (!isConnected())
            break;
        std::uint32_t count = 0;
        all = request(requests[i].code, requests[i].request.bytes.data(),
                      requests[i].request.length, nullptr, 0, &count) &&
              all;
    }
    return all;
}

bool AppleSmcController::update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                                std::vector<SensorReading>* readings) {
    if (readings)
        readings->clear();
    // A key that did not answer at connect may have been busy: asked again now and then, so a
    // passing failure does not blind the whole connection.
    if (sizesLearnt && ++updatesSinceLearning >= SIZE_RELEARN_UPDATES &&
        std::find(keySizes.begin(), keySizes.end(), std::uint8_t{0}) != keySizes.end())
        learnMissingSizes();
    double cpuMax = 0, gpuMax = 0, power = 0;
    bool anyRead = false;
    for (std::size_t i = 0; i < SMC_SENSOR_COUNT; ++i) {
        const SmcSensorKey& row = SMC_SENSOR_TABLE[i];
        double value = 0;
        if (!readNumber(SENSOR_SLOT + i, sensorQuantity(row), &value))
            continue;
        anyRead = true;
        if (readings) {
            SensorReading r;
            r.key.assign(row.key, row.key + 4);
            r.label = row.label;
            r.category = text(row.category);
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
    return anyRead;
}
