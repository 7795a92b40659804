#pragma once

#include "doubles/smc_emulated.h"
#include "doubles/smc_sim_protocol.h"
#include "platform/device_io.h"
#include "smc_requests.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// "\\.\APPLESMC" in memory: the driver's own request handling (driver/smc_requests.c) in front
// of the emulated SMC, starting from the simulator's key table on a Mac whose SMC answers on the
// ports. Records every request; tests change keys, the emulated machine and script the odd
// replies a driver from elsewhere might give.
class FakeSmcDevice final : public DeviceIo {
public:
    struct Request {
        std::uint32_t code = 0;
        std::vector<std::uint8_t> input;
        std::uint32_t outputSize = 0;
        bool succeeded = false;
    };

    FakeSmcDevice();
    FakeSmcDevice(const FakeSmcDevice&) = delete;
    FakeSmcDevice& operator=(const FakeSmcDevice&) = delete;

    // Replaces the keys with a start-up table, as SMC_SIM_IOCTL_SET_TABLE does (which the fake
    // answers too): SMC_SIM_TABLE_T2 or SMC_SIM_TABLE_OLDER.
    bool loadTable(std::uint8_t table);
    // SMC_SIM_MACHINE_*: which interfaces of the SMC answer; the driver chooses again.
    void setMachine(std::uint8_t machine);

    // What the device is.
    std::wstring path = L"\\\\.\\APPLESMC";
    bool present = true;
    // Odd replies, in place of the driver's: the byte QUERY_MODE answers, a failing QUERY_MODE,
    // and reads of a key that report this many bytes instead of the key's size.
    std::optional<std::uint8_t> modeByte;
    bool queryModeFails = false;
    std::map<std::string, std::uint32_t> oddReadCounts;

    // What it was asked.
    std::vector<Request> requests;
    int opens = 0;
    int closes = 0;
    std::vector<DeviceHandle> openHandles;

    void setKey(const std::string& key, std::uint8_t size, const std::uint8_t* data, bool writable);
    void setFloat(const std::string& key, float value, bool writable = false);
    void setSp78(const std::string& key, std::uint8_t high, std::uint8_t low);
    void removeKey(const std::string& key);
    // The key's stored bytes; empty when the key is absent.
    std::vector<std::uint8_t> keyBytes(const std::string& key);
    // The keys and data of every successful write, in order ("F0Md" -> {1}).
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> writes() const;

    DeviceHandle open(const std::wstring& path) override;
    bool control(DeviceHandle device, std::uint32_t code, const void* input,
                 std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                 std::uint32_t* returned) override;
    void close(DeviceHandle device) override;

    SmcEmulated smc{};

private:
    bool answer(std::uint32_t code, std::uint8_t* buffer, std::uint32_t inSize,
                std::uint32_t outSize, std::uint32_t* count);

    SmcAccess access{};
    SmcDriver driver{};
    DeviceHandle nextHandle = 0x100;
};
