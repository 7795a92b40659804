#include "contract/device_io_contract.h"

#include "doubles/smc_sim_protocol.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t UNTOUCHED = 0xDEADBEEF;

std::vector<std::uint8_t> request(const char* key, std::uint8_t size,
                                  std::vector<std::uint8_t> data = {}) {
    std::vector<std::uint8_t> r(key, key + 4);
    r.push_back(size);
    r.insert(r.end(), data.begin(), data.end());
    return r;
}

// Opens the subject's SMC device and closes it at the end of the case.
struct OpenDevice {
    explicit OpenDevice(const DeviceIoSubject& subject)
        : io(subject.make()), handle(io->open(subject.smcPath)) {}
    ~OpenDevice() {
        if (handle != INVALID_DEVICE_HANDLE)
            io->close(handle);
    }
    bool read(const char* key, std::uint8_t size, std::array<std::uint8_t, 8>* out,
              std::uint32_t* count) {
        const auto in = request(key, size);
        return io->control(handle, SMC_IOCTL_READ_KEY, in.data(),
                           static_cast<std::uint32_t>(in.size()), out->data(), size, count);
    }
    bool write(const char* key, std::vector<std::uint8_t> data) {
        const auto in = request(key, static_cast<std::uint8_t>(data.size()), data);
        std::uint32_t count = UNTOUCHED;
        return io->control(handle, SMC_IOCTL_WRITE_KEY, in.data(),
                           static_cast<std::uint32_t>(in.size()), nullptr, 0, &count);
    }
    std::unique_ptr<DeviceIo> io;
    DeviceHandle handle;
};

} // namespace

TEST_P(DeviceIoContract, AMissingDeviceDoesNotOpen) {
    const auto io = GetParam().make();
    EXPECT_EQ(io->open(L"\\\\.\\VENTRASOL_NO_SUCH_DEVICE"), INVALID_DEVICE_HANDLE);
    std::uint32_t count = UNTOUCHED;
    std::uint8_t out = 0;
    EXPECT_FALSE(
        io->control(INVALID_DEVICE_HANDLE, SMC_IOCTL_QUERY_MODE, nullptr, 0, &out, 1, &count));
    EXPECT_EQ(count, UNTOUCHED);
}

TEST_P(DeviceIoContract, RepliesCarryTheBytesAndTheirCount) {
    OpenDevice d(GetParam());
    ASSERT_NE(d.handle, INVALID_DEVICE_HANDLE);

    std::uint8_t mode = 0xAA;
    std::uint32_t count = UNTOUCHED;
    ASSERT_TRUE(d.io->control(d.handle, SMC_IOCTL_QUERY_MODE, nullptr, 0, &mode, 1, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(mode, 0u);

    std::array<std::uint8_t, 8> out{};
    count = UNTOUCHED;
    ASSERT_TRUE(d.read("F0Ac", 4, &out, &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x00);
    EXPECT_EQ(out[2], 0x07);
    EXPECT_EQ(out[3], 0x45);

    out = {};
    ASSERT_TRUE(d.read("TC0F", 2, &out, &count));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(out[0], 0x37);
    EXPECT_EQ(out[1], 0x80);
}

TEST_P(DeviceIoContract, FailedRequestsLeaveTheCountUnwritten) {
    OpenDevice d(GetParam());
    ASSERT_NE(d.handle, INVALID_DEVICE_HANDLE);
    std::array<std::uint8_t, 8> out{};
    std::uint32_t count = UNTOUCHED;
    EXPECT_FALSE(d.read("ZZZZ", 4, &out, &count)); // unknown key
    EXPECT_EQ(count, UNTOUCHED);
    EXPECT_FALSE(d.read("TC5C", 4, &out, &count)); // absent sensor
    EXPECT_EQ(count, UNTOUCHED);
    EXPECT_FALSE(d.read("TC0F", 4, &out, &count)); // a 2-byte key asked for 4
    EXPECT_EQ(count, UNTOUCHED);
    EXPECT_FALSE(d.write("F0Ac", {0, 0, 0x7A, 0x45})); // read-only
    EXPECT_FALSE(d.write("F0Md", {1, 0}));             // wrong size
    EXPECT_FALSE(d.write("ZZZZ", {1}));
    EXPECT_FALSE(d.io->control(d.handle, 0x22FFFC, nullptr, 0, out.data(), 4, &count));
    EXPECT_EQ(count, UNTOUCHED);
}

TEST_P(DeviceIoContract, WritableKeysKeepWhatWasWritten) {
    OpenDevice d(GetParam());
    ASSERT_NE(d.handle, INVALID_DEVICE_HANDLE);
    ASSERT_TRUE(d.write("F1Md", {1}));
    ASSERT_TRUE(d.write("F1Tg", {0x00, 0x40, 0x1C, 0x45})); // 2500.0f
    std::array<std::uint8_t, 8> out{};
    std::uint32_t count = 0;
    ASSERT_TRUE(d.read("F1Md", 1, &out, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(out[0], 1);
    ASSERT_TRUE(d.read("F1Tg", 4, &out, &count));
    EXPECT_EQ(out[2], 0x1C);
    EXPECT_EQ(out[3], 0x45);
    // A failed write changes nothing.
    EXPECT_FALSE(d.write("F1Ac", {0, 0, 0, 0}));
    ASSERT_TRUE(d.read("F1Ac", 4, &out, &count));
    EXPECT_EQ(out[2], 0xFA);
}

TEST_P(DeviceIoContract, TheOlderTableHasFpe2FansAndATwoByteForceMask) {
    OpenDevice d(GetParam());
    ASSERT_NE(d.handle, INVALID_DEVICE_HANDLE);
    const auto setTable = [&](std::uint8_t table) {
        std::uint32_t count = 0;
        return d.io->control(d.handle, SMC_SIM_IOCTL_SET_TABLE, &table, 1, nullptr, 0, &count);
    };
    ASSERT_TRUE(setTable(SMC_SIM_TABLE_OLDER));
    std::array<std::uint8_t, 8> out{};
    std::uint32_t count = 0;
    EXPECT_TRUE(d.read("F0Ac", 2, &out, &count));
    EXPECT_EQ(out[0], 0x1C);
    EXPECT_EQ(out[1], 0x20);
    EXPECT_FALSE(d.read("F0Ac", 4, &out, &count));
    EXPECT_FALSE(d.read("F0Md", 1, &out, &count));
    EXPECT_FALSE(d.write("FS! ", {3}));
    EXPECT_TRUE(d.write("FS! ", {0x00, 0x03}));
    EXPECT_TRUE(d.read("FS! ", 2, &out, &count));
    EXPECT_EQ(out[1], 0x03);
    EXPECT_TRUE(setTable(SMC_SIM_TABLE_T2)); // back to the start-up keys
    EXPECT_FALSE(setTable(7));
    EXPECT_TRUE(d.read("F0Ac", 4, &out, &count));
}
