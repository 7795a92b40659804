// What a process that may open the SMC driver's device sends it, and what the registry says of
// the SMC's resources: any request code, sizes and bytes to the driver's request handling in
// front of the emulated SMC (either interface, either key table, slow or going quiet), and any
// bytes as the device's resource list. The driver must never change a key outside the fan
// keys in their sizes, never reply with more than the buffer holds, and always answer within
// its bounded waits.
#include "fuzz/fuzz_input.h"

#include "doubles/smc_emulated.h"
#include "smc_ioctl.h"
#include "smc_requests.h"
#include "smc_resources.h"

#include <cstring>
#include <vector>

namespace {

const char KEYS[][5] = {"F0Ac", "F0Md", "F0Tg", "F1Md", "F1Tg", "FS! ", "TC0P", "TC0F",
                        "F0Mn", "LDKN", "#KEY", "BCLM", "TC5C", "F2Md", "f0Md", "\0\0\0\0"};

void resourceList(FuzzInput& in) {
    const std::vector<std::uint8_t> list = in.bytes(4096);
    SmcResources r;
    const int ok = smcParseResourceList(list.empty() ? nullptr : list.data(),
                                        static_cast<std::uint32_t>(list.size()), &r);
    if (!ok)
        FUZZ_CHECK(r.portSpan == 0 && r.windowSpan == 0);
    FUZZ_CHECK(r.portSpan == 0 || (r.portSpan >= 0x20 && r.portBase + r.portSpan <= 0x10000u));
    FUZZ_CHECK(r.windowSpan == 0 ||
               (r.windowSpan >= 0x4006 && r.windowSpan <= 0x10000 && r.windowBase != 0));
}

void requests(FuzzInput& in) {
    SmcEmulated smc;
    SmcAccess access;
    SmcDriver driver{};
    smcEmuInit(&smc);
    smcEmuSetMachine(&smc, in.byte() % 4);
    smcEmuLoadTable(&smc, in.byte() % 2);
    // A real SMC lets many more keys be written (the battery's charge limit among them): here
    // every key is writable for the SMC, so only the driver's list stands in the way.
    const SmcSimKey chargeLimit = {{'B', 'C', 'L', 'M'}, 1, 0, {0, 0}, {100, 0, 0, 0}};
    smcEmuSetKey(&smc, &chargeLimit);
    for (std::uint32_t k = 0; k < smc.keyCount; ++k)
        smc.keys[k].flags |= SMC_SIM_FLAG_WRITABLE;
    smcEmuAccess(&smc, &access);
    smcDriverForgetKeys(&driver);
    smcChoosePath(&driver.bus, &access, SMC_EMU_PORT_BASE, SMC_PORT_SPAN, SMC_EMU_WINDOW_SPAN);
    smc.latencyUs = 10u * in.byte();
    const std::uint8_t quiet = in.byte();
    smc.stopAfter = quiet < 16 ? 0 : 8u * quiet;

    for (int n = 0; n < 48 && !in.empty(); ++n) {
        static const std::uint32_t CODES[] = {SMC_IOCTL_READ_KEY, SMC_IOCTL_WRITE_KEY,
                                              SMC_IOCTL_QUERY_MODE};
        const std::uint8_t kind = in.byte();
        const std::uint32_t code = kind < 240 ? CODES[kind % 3] : in.value<std::uint32_t>();
        const std::uint32_t inputSize = in.byte() % 48;
        const std::uint32_t outputSize = in.byte() % 48;
        std::vector<std::uint8_t> buffer(std::max(inputSize, outputSize));
        std::vector<std::uint8_t> given = in.bytes(inputSize);
        // Mostly a key the SMC or the write list knows, so that requests get through.
        if (given.size() >= 4 && given[0] < 200)
            std::memcpy(given.data(), KEYS[given[0] % 16], 4);
        std::copy(given.begin(), given.end(), buffer.begin());
        const std::vector<std::uint8_t> request(buffer.begin(), buffer.begin() + inputSize);

        SmcSimKey before[SMC_SIM_MAX_KEYS];
        std::memcpy(before, smc.keys, sizeof before);
        const std::uint32_t keysBefore = smc.keyCount;
        const std::uint64_t start = smc.now;
        std::uint32_t information = 0xFFFFFFFFu;
        const SmcRequestStatus status =
            smcHandleRequest(&driver, code, buffer.empty() ? nullptr : buffer.data(), inputSize,
                             outputSize, &information);

        FUZZ_CHECK(smc.now - start < 1000000u);
        if (status == SMC_REQ_OK) {
            FUZZ_CHECK(information <= outputSize);
            if (code == SMC_IOCTL_READ_KEY)
                FUZZ_CHECK(inputSize == 5 && information == request[4]);
        } else {
            FUZZ_CHECK(information == 0xFFFFFFFFu);
        }
        FUZZ_CHECK(smc.keyCount == keysBefore);
        for (std::uint32_t k = 0; k < smc.keyCount; ++k) {
            if (std::memcmp(&before[k], &smc.keys[k], sizeof(SmcSimKey)) == 0)
                continue;
            // Changed: only by this write, to this key, which is on the list in its size.
            FUZZ_CHECK(code == SMC_IOCTL_WRITE_KEY && inputSize >= 5);
            FUZZ_CHECK(std::memcmp(smc.keys[k].key, request.data(), 4) == 0);
            FUZZ_CHECK(smcWriteAllowed(request.data(), request[4]));
            FUZZ_CHECK(smc.keys[k].size == request[4]);
        }
        if (smc.silent && in.flag())
            smc.silent = 0; // and it answers again
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.byte() & 1)
        resourceList(in);
    else
        requests(in);
    return 0;
}
