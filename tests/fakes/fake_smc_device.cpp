#include "fakes/fake_smc_device.h"

#include <algorithm>
#include <cstring>

namespace {
const SmcSimKey DEFAULT_KEYS[] = SMC_SIM_DEFAULT_KEYS;
const SmcSimKey OLDER_KEYS[] = SMC_SIM_OLDER_KEYS;
} // namespace

FakeSmcDevice::FakeSmcDevice() : keys(std::begin(DEFAULT_KEYS), std::end(DEFAULT_KEYS)) {}

bool FakeSmcDevice::loadTable(std::uint8_t table) {
    if (table == SMC_SIM_TABLE_T2)
        keys.assign(std::begin(DEFAULT_KEYS), std::end(DEFAULT_KEYS));
    else if (table == SMC_SIM_TABLE_OLDER)
        keys.assign(std::begin(OLDER_KEYS), std::end(OLDER_KEYS));
    else
        return false;
    return true;
}

SmcSimKey* FakeSmcDevice::find(const char* key) {
    for (auto& k : keys)
        if (std::memcmp(k.key, key, 4) == 0)
            return &k;
    return nullptr;
}

void FakeSmcDevice::setKey(const std::string& key, std::uint8_t size, const std::uint8_t* data,
                           bool writable) {
    removeKey(key);
    SmcSimKey k{};
    std::memcpy(k.key, key.data(), 4);
    k.size = size;
    k.flags = writable ? SMC_SIM_FLAG_WRITABLE : 0;
    std::memcpy(k.data, data, size);
    keys.push_back(k);
}

void FakeSmcDevice::setFloat(const std::string& key, float value, bool writable) {
    std::uint8_t bytes[4];
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    setKey(key, 4, bytes, writable);
}

void FakeSmcDevice::setSp78(const std::string& key, std::uint8_t high, std::uint8_t low) {
    const std::uint8_t bytes[2] = {high, low};
    setKey(key, 2, bytes, false);
}

void FakeSmcDevice::removeKey(const std::string& key) {
    keys.erase(
        std::remove_if(keys.begin(), keys.end(),
                       [&](const SmcSimKey& k) { return std::memcmp(k.key, key.data(), 4) == 0; }),
        keys.end());
}

std::vector<std::uint8_t> FakeSmcDevice::keyBytes(const std::string& key) const {
    for (const auto& k : keys)
        if (std::memcmp(k.key, key.data(), 4) == 0)
            return std::vector<std::uint8_t>(k.data, k.data + k.size);
    return {};
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> FakeSmcDevice::writes() const {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> out;
    for (const auto& r : requests)
        if (r.code == SMC_IOCTL_WRITE_KEY && r.succeeded && r.input.size() >= 5)
            out.emplace_back(std::string(r.input.begin(), r.input.begin() + 4),
                             std::vector<std::uint8_t>(r.input.begin() + 5, r.input.end()));
    return out;
}

DeviceHandle FakeSmcDevice::open(const std::wstring& requested) {
    ++opens;
    if (!present || requested != path)
        return INVALID_DEVICE_HANDLE;
    const DeviceHandle h = nextHandle++;
    openHandles.push_back(h);
    return h;
}

void FakeSmcDevice::close(DeviceHandle device) {
    ++closes;
    openHandles.erase(std::remove(openHandles.begin(), openHandles.end(), device),
                      openHandles.end());
}

bool FakeSmcDevice::answer(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                           std::uint8_t* out, std::uint32_t outSize, std::uint32_t* count) {
    switch (code) {
    case SMC_IOCTL_QUERY_MODE:
        if (queryModeFails || outSize < 1)
            return false;
        out[0] = modeByte;
        *count = 1;
        return true;
    case SMC_IOCTL_READ_KEY: {
        if (inSize < 5 || !in)
            return false;
        const char* name = reinterpret_cast<const char*>(in);
        SmcSimKey* k = find(name);
        if (!k || k->size != in[4] || outSize < k->size)
            return false;
        std::memcpy(out, k->data, k->size);
        *count = k->size;
        const auto odd = oddReadCounts.find(std::string(name, 4));
        if (odd != oddReadCounts.end())
            *count = odd->second;
        return true;
    }
    case SMC_IOCTL_WRITE_KEY: {
        if (inSize < 5 || !in)
            return false;
        SmcSimKey* k = find(reinterpret_cast<const char*>(in));
        if (!k || !(k->flags & SMC_SIM_FLAG_WRITABLE) || k->size != in[4] || inSize < 5u + k->size)
            return false;
        std::memcpy(k->data, in + 5, k->size);
        *count = 0;
        return true;
    }
    case SMC_SIM_IOCTL_SET_TABLE:
        return inSize >= 1 && in && loadTable(in[0]);
    default:
        return false;
    }
}

bool FakeSmcDevice::control(DeviceHandle device, std::uint32_t code, const void* input,
                            std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                            std::uint32_t* returned) {
    Request r;
    r.code = code;
    const auto* in = static_cast<const std::uint8_t*>(input);
    if (in)
        r.input.assign(in, in + inputSize);
    r.outputSize = outputSize;
    const bool open =
        std::find(openHandles.begin(), openHandles.end(), device) != openHandles.end();
    std::uint32_t count = 0;
    // The reply goes through a scratch buffer, as the driver's shared system buffer would.
    std::vector<std::uint8_t> scratch(std::max<std::uint32_t>(outputSize, 8));
    r.succeeded = open && answer(code, in, inputSize, scratch.data(), outputSize, &count);
    requests.push_back(r);
    if (!r.succeeded)
        return false; // like Windows: the count is not written on failure
    if (output && outputSize)
        std::memcpy(output, scratch.data(), std::min(outputSize, count));
    if (returned)
        *returned = count;
    return true;
}
