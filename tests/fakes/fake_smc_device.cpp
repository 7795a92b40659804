#include "fakes/fake_smc_device.h"

#include <algorithm>
#include <cstring>

FakeSmcDevice::FakeSmcDevice() {
    smcEmuInit(&smc);
    smcEmuAccess(&smc, &access);
    setMachine(SMC_SIM_MACHINE_PORTS);
}

bool FakeSmcDevice::loadTable(std::uint8_t table) {
    smcDriverForgetKeys(&driver);
    return smcEmuLoadTable(&smc, table) != 0;
}

void FakeSmcDevice::setMachine(std::uint8_t machine) {
    smcEmuSetMachine(&smc, machine);
    smcDriverForgetKeys(&driver);
    smcChoosePath(&driver.bus, &access, SMC_EMU_PORT_BASE, SMC_PORT_SPAN, SMC_EMU_WINDOW_SPAN);
}

void FakeSmcDevice::setKey(const std::string& key, std::uint8_t size, const std::uint8_t* data,
                           bool writable) {
    SmcSimKey k{};
    std::memcpy(k.key, key.data(), 4);
    k.size = size;
    k.flags = writable ? SMC_SIM_FLAG_WRITABLE : 0;
    std::memcpy(k.data, data, std::min<std::size_t>(size, sizeof k.data));
    smcEmuSetKey(&smc, &k);
    smcDriverForgetKeys(&driver);
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
    SmcSimKey k{};
    std::memcpy(k.key, key.data(), 4);
    smcEmuSetKey(&smc, &k);
    smcDriverForgetKeys(&driver);
}

std::vector<std::uint8_t> FakeSmcDevice::keyBytes(const std::string& key) {
    const SmcSimKey* k = smcEmuFind(&smc, reinterpret_cast<const std::uint8_t*>(key.data()));
    if (!k)
        return {};
    return std::vector<std::uint8_t>(k->data, k->data + k->size);
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

bool FakeSmcDevice::answer(std::uint32_t code, std::uint8_t* buffer, std::uint32_t inSize,
                           std::uint32_t outSize, std::uint32_t* count) {
    if (code == SMC_IOCTL_QUERY_MODE && (queryModeFails || (modeByte && outSize < 1)))
        return false;
    if (code == SMC_IOCTL_QUERY_MODE && modeByte) {
        buffer[0] = *modeByte;
        *count = 1;
        return true;
    }
    if (code == SMC_SIM_IOCTL_SET_TABLE)
        return inSize >= 1 && loadTable(buffer[0]);
    const std::string key(reinterpret_cast<const char*>(buffer), inSize >= 4 ? 4 : 0);
    if (smcHandleRequest(&driver, code, buffer, inSize, outSize, count) != SMC_REQ_OK)
        return false;
    const auto odd = oddReadCounts.find(key);
    if (code == SMC_IOCTL_READ_KEY && odd != oddReadCounts.end())
        *count = odd->second;
    return true;
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
    // One buffer for input and reply, as the system buffer of a buffered request.
    std::vector<std::uint8_t> buffer(std::max<std::uint32_t>({inputSize, outputSize, 8}));
    if (in)
        std::copy(in, in + inputSize, buffer.begin());
    r.succeeded =
        open && (in || !inputSize) && answer(code, buffer.data(), inputSize, outputSize, &count);
    requests.push_back(r);
    if (!r.succeeded)
        return false; // like Windows: the count is not written on failure
    if (output && outputSize)
        std::memcpy(output, buffer.data(), std::min(outputSize, count));
    if (returned)
        *returned = count;
    return true;
}
