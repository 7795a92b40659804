#pragma once

#include "doubles/smc_sim_protocol.h"
#include "platform/device_io.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// An in-memory SMC behind "\\.\APPLESMC" that answers like the simulator driver, starting from
// the same key table, and records every request. Tests change keys and script odd replies.
class FakeSmcDevice final : public DeviceIo {
public:
    struct Request {
        std::uint32_t code = 0;
        std::vector<std::uint8_t> input;
        std::uint32_t outputSize = 0;
        bool succeeded = false;
    };

    FakeSmcDevice();
    // Replaces the keys with a start-up table, as SMC_SIM_IOCTL_SET_TABLE does (which the fake
    // answers too): SMC_SIM_TABLE_T2 or SMC_SIM_TABLE_OLDER.
    bool loadTable(std::uint8_t table);

    // What the device is.
    std::wstring path = L"\\\\.\\APPLESMC";
    bool present = true;
    std::uint8_t modeByte = 0; // what QUERY_MODE answers
    bool queryModeFails = false;
    // A read of this key reports this many bytes instead of the key's size.
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
    std::vector<std::uint8_t> keyBytes(const std::string& key) const;
    // The keys and data of every successful write, in order ("F0Md" -> {1}).
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> writes() const;

    DeviceHandle open(const std::wstring& path) override;
    bool control(DeviceHandle device, std::uint32_t code, const void* input,
                 std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                 std::uint32_t* returned) override;
    void close(DeviceHandle device) override;

private:
    SmcSimKey* find(const char* key);
    bool answer(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize, std::uint8_t* out,
                std::uint32_t outSize, std::uint32_t* count);

    std::vector<SmcSimKey> keys;
    DeviceHandle nextHandle = 0x100;
};
