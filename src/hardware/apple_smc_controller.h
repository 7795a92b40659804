#pragma once

#include "base/texts.h"
#include "hardware/fan_handback.h"
#include "hardware/hardware_controller.h"
#include "hardware/smc_codec.h"
#include "platform/device_io.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One row of the fixed sensor table.
struct SmcSensorKey {
    const char* key; // four characters
    const wchar_t* label;
    TextId category;
    const wchar_t* unit;
};

inline constexpr std::size_t SMC_SENSOR_COUNT = 15;
extern const std::array<SmcSensorKey, SMC_SENSOR_COUNT> SMC_SENSOR_TABLE;

inline constexpr const wchar_t* SMC_DEVICE_PATH = L"\\\\.\\APPLESMC";

// Every key the backend reads: five per fan (Ac, Mn, Mx, Tg, Md), the force mask "FS! " and the
// sensor table, each with the size the SMC answered for it during this connection.
inline constexpr std::size_t SMC_KEYS_PER_FAN = 5;
inline constexpr std::size_t SMC_KEY_COUNT = 2 * SMC_KEYS_PER_FAN + 1 + SMC_SENSOR_COUNT;
// Keys without a size are asked for again once in this many updates (seconds, at one a tick).
inline constexpr int SIZE_RELEARN_UPDATES = 5;

// The backend for Intel MacBooks: the SMC behind the applesmc.sys driver's device.
class AppleSmcController final : public IHardwareController {
public:
    // The device is reached through io (platform.deviceIo when not given).
    explicit AppleSmcController(DeviceIo* io = nullptr);
    ~AppleSmcController() override;
    AppleSmcController(const AppleSmcController&) = delete;
    AppleSmcController& operator=(const AppleSmcController&) = delete;

    bool connect(const SystemIdentity& identity) override;
    void disconnect() override;
    std::wstring backendName() const override;
    std::wstring statusText() const override { return text(status); }
    std::wstring driverNote() const override { return installNote; }
    bool isConnected() const override;
    std::vector<FanChannel> fans() override;
    bool setFanRpm(std::int32_t fanIndex, double rpm) override;
    bool setAutomatic() override;
    bool update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                std::vector<SensorReading>* readings) override;

    bool t2Mode() const { return t2; }
    // The size the SMC answered for a key this connection, 0 when it answered none.
    std::uint8_t learntKeySize(const char* key) const;
    // "T2 (MMIO)" or "Port I/O" and the format of this SMC's fan keys; empty while not open.
    std::wstring generationText() const;

protected:
    const FanChannel* knownFan(std::int32_t fanIndex) const override;

private:
    // The requests that give both fans to the firmware, as setAutomatic and a crash send them.
    std::size_t handBackRequests(FanHandBackRequest* out) const;
    void armHandBack();
    // Asks for each key in its possible sizes and keeps the one that answered.
    void learnKeySizes();
    // The same for the keys that have no size yet; re-arms the hand-back when one answered.
    void learnMissingSizes();
    bool readRaw(const char* key, std::uint8_t size, std::uint8_t* data);
    // One request in the key's learnt size; false without a request when it has none.
    bool readSlot(std::size_t slot, std::uint8_t* data);
    bool readNumber(std::size_t slot, SmcQuantity quantity, double* value);
    bool readForceMask(std::uint16_t* mask);
    // Fan n is forced through its own mode key, else through its bit in "FS! ".
    bool usesModeKey(std::int32_t fan) const;
    // Takes the fan from the firmware or gives it back, through its mode key or its bit in
    // "FS! ".
    bool setForced(std::int32_t fan, bool forced);
    bool writeKey(const char* key, std::uint8_t size, const std::uint8_t* data);
    bool request(std::uint32_t code, const void* input, std::uint32_t inputSize, void* output,
                 std::uint32_t outputSize, std::uint32_t* returned);

    DeviceIo* io;
    DeviceHandle device = INVALID_DEVICE_HANDLE;
    bool t2 = false;
    TextId status = TextId::SmcNotInitialised;
    std::wstring installNote;
    std::array<FanChannel, 2> fanChannels;
    std::array<std::uint8_t, SMC_KEY_COUNT> keySizes{};
    // Set once any key answered; until then every read asks for the sizes again.
    bool sizesLearnt = false;
    // Updates since the missing sizes were last asked for.
    int updatesSinceLearning = 0;
};

// The connected SMC's generation and fan-key format for the driver and hardware tabs; empty for
// any other backend.
std::wstring smcGenerationText(const IHardwareController* controller);
