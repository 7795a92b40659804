// The driver's request handling (driver/smc_requests.h) in front of the emulated SMC, and the
// pieces the kernel part builds on: the resource list of the SMC's ACPI device, the maker
// check and the device's access list.
#include "doubles/smc_emulated.h"
#include "hardware/smc_codec.h"
#include "smc_device_acl.h"
#include "smc_ioctl.h"
#include "smc_requests.h"
#include "smc_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

static_assert(SMC_IOCTL_READ_KEY == IOCTL_SMC_READ_KEY);
static_assert(SMC_IOCTL_WRITE_KEY == IOCTL_SMC_WRITE_KEY);
static_assert(SMC_IOCTL_QUERY_MODE == IOCTL_SMC_QUERY_MODE);

namespace {

struct Driver {
    explicit Driver(std::uint8_t machine = SMC_SIM_MACHINE_PORTS) {
        smcEmuInit(&smc);
        smcEmuSetMachine(&smc, machine);
        smcEmuAccess(&smc, &access);
        smcDriverForgetKeys(&driver);
        smcChoosePath(&driver.bus, &access, SMC_EMU_PORT_BASE, SMC_PORT_SPAN, SMC_EMU_WINDOW_SPAN);
    }
    SmcRequestStatus send(std::uint32_t code, std::vector<std::uint8_t> input,
                          std::uint32_t outputSize, std::uint32_t* information,
                          std::vector<std::uint8_t>* reply = nullptr) {
        std::vector<std::uint8_t> buffer(input);
        buffer.resize(std::max<std::size_t>(buffer.size(), outputSize));
        const SmcRequestStatus s =
            smcHandleRequest(&driver, code, buffer.empty() ? nullptr : buffer.data(),
                             static_cast<std::uint32_t>(input.size()), outputSize, information);
        if (reply)
            *reply = buffer;
        return s;
    }
    SmcEmulated smc;
    SmcAccess access{};
    SmcDriver driver{};
};

std::vector<std::uint8_t> bytes(const char* text, std::size_t n) {
    return std::vector<std::uint8_t>(text, text + n);
}

} // namespace

TEST(SmcDriverRequests, OnlyTheFanKeysTheProgramDrivesAreWritableInTheirSizes) {
    struct Case {
        const char* key;
        std::uint32_t size;
        bool allowed;
    } cases[] = {
        {"F0Md", 1, true},   {"F1Md", 1, true},  {"F0Md", 2, false}, {"F2Md", 1, false},
        {"F0Tg", 4, true},   {"F1Tg", 2, true},  {"F0Tg", 1, false}, {"F0Tg", 3, false},
        {"FS! ", 1, true},   {"FS! ", 2, true},  {"FS! ", 4, false}, {"F0Ac", 4, false},
        {"F0Mn", 4, false},  {"F0Mx", 4, false}, {"BCLM", 1, false}, {"f0Md", 1, false},
        {"FS!\0", 1, false}, {"F0MD", 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(smcWriteAllowed(reinterpret_cast<const std::uint8_t*>(c.key), c.size) != 0,
                  c.allowed)
            << c.key << " " << c.size;
}

// Every size is checked before the buffer is used; a write outside the list never reaches the
// SMC; a read gets exactly the key's bytes.
TEST(SmcDriverRequests, RequestsAreCheckedBeforeTheyReachTheSmc) {
    struct Case {
        const char* what;
        std::uint32_t code;
        std::vector<std::uint8_t> input;
        std::uint32_t outputSize;
        SmcRequestStatus expected;
        std::uint32_t information;
        bool reachesSmc;
    } cases[] = {
        {"read flt", SMC_IOCTL_READ_KEY, bytes("TC0P\x04", 5), 4, SMC_REQ_OK, 4, true},
        {"read into a larger buffer", SMC_IOCTL_READ_KEY, bytes("TC0F\x02", 5), 16, SMC_REQ_OK, 2,
         true},
        {"read with a short request", SMC_IOCTL_READ_KEY, bytes("TC0P", 4), 4,
         SMC_REQ_BAD_PARAMETER, 0, false},
        {"read with a long request", SMC_IOCTL_READ_KEY, bytes("TC0P\x04\x00", 6), 4,
         SMC_REQ_BAD_PARAMETER, 0, false},
        {"read of size 0", SMC_IOCTL_READ_KEY, bytes("TC0P\x00", 5), 4, SMC_REQ_BAD_PARAMETER, 0,
         false},
        {"read of size 33", SMC_IOCTL_READ_KEY, bytes("TC0P\x21", 5), 64, SMC_REQ_BAD_PARAMETER, 0,
         false},
        {"read of an unprintable key", SMC_IOCTL_READ_KEY, bytes("TC\x01P\x04", 5), 4,
         SMC_REQ_BAD_PARAMETER, 0, false},
        {"read into a short buffer", SMC_IOCTL_READ_KEY, bytes("TC0P\x04", 5), 3,
         SMC_REQ_BUFFER_TOO_SMALL, 0, false},
        {"read in another size than the key's", SMC_IOCTL_READ_KEY, bytes("TC0P\x02", 5), 2,
         SMC_REQ_BAD_PARAMETER, 0, true},
        {"read of a missing key", SMC_IOCTL_READ_KEY, bytes("TC5C\x04", 5), 4, SMC_REQ_NOT_FOUND, 0,
         true},
        {"write of a fan mode", SMC_IOCTL_WRITE_KEY, bytes("F0Md\x01\x01", 6), 0, SMC_REQ_OK, 0,
         true},
        {"write with bytes beyond its size", SMC_IOCTL_WRITE_KEY, bytes("F0Md\x01\x01\x00", 7), 0,
         SMC_REQ_BAD_PARAMETER, 0, false},
        {"write with bytes missing", SMC_IOCTL_WRITE_KEY, bytes("F0Tg\x04\x00\x40", 7), 0,
         SMC_REQ_BAD_PARAMETER, 0, false},
        {"write without a size", SMC_IOCTL_WRITE_KEY, bytes("F0Md", 4), 0, SMC_REQ_BAD_PARAMETER, 0,
         false},
        {"write of a fan's speed reading", SMC_IOCTL_WRITE_KEY, bytes("F0Ac\x04\0\0\0\0", 9), 0,
         SMC_REQ_DENIED, 0, false},
        {"write of the battery charge limit", SMC_IOCTL_WRITE_KEY, bytes("BCLM\x01\x32", 6), 0,
         SMC_REQ_DENIED, 0, false},
        {"write of a target in the other generation's size", SMC_IOCTL_WRITE_KEY,
         bytes("F0Tg\x02\x1E\x78", 7), 0, SMC_REQ_BAD_PARAMETER, 0, true},
        {"write of the force mask", SMC_IOCTL_WRITE_KEY, bytes("FS! \x01\x00", 6), 0, SMC_REQ_OK, 0,
         true},
        {"mode query", SMC_IOCTL_QUERY_MODE, {}, 1, SMC_REQ_OK, 1, false},
        {"mode query without room",
         SMC_IOCTL_QUERY_MODE,
         {},
         0,
         SMC_REQ_BUFFER_TOO_SMALL,
         0,
         false},
        {"another device's request", 0x22FFFCu, bytes("TC0P\x04", 5), 4, SMC_REQ_UNKNOWN_REQUEST, 0,
         false},
        {"a request of the test build only", SMC_SIM_IOCTL_SET_KEY, std::vector<std::uint8_t>(12),
         0, SMC_REQ_UNKNOWN_REQUEST, 0, false},
    };
    for (const Case& c : cases) {
        Driver d;
        const std::uint32_t before = d.smc.accesses;
        std::uint32_t information = 0xDEADBEEF;
        std::vector<std::uint8_t> reply;
        EXPECT_EQ(d.send(c.code, c.input, c.outputSize, &information, &reply), c.expected)
            << c.what;
        EXPECT_EQ(information, c.expected == SMC_REQ_OK ? c.information : 0xDEADBEEF) << c.what;
        EXPECT_EQ(d.smc.accesses != before, c.reachesSmc) << c.what;
    }
    Driver d;
    std::uint32_t information = 0;
    EXPECT_EQ(smcHandleRequest(&d.driver, SMC_IOCTL_READ_KEY, nullptr, 5, 4, &information),
              SMC_REQ_BAD_PARAMETER);
}

TEST(SmcDriverRequests, RepliesCarryTheKeysBytesAndTheInterfaceInUse) {
    for (std::uint8_t machine : {SMC_SIM_MACHINE_PORTS, SMC_SIM_MACHINE_T2}) {
        Driver d(machine);
        std::uint32_t n = 0;
        std::vector<std::uint8_t> reply;
        ASSERT_EQ(d.send(SMC_IOCTL_QUERY_MODE, {}, 1, &n, &reply), SMC_REQ_OK);
        EXPECT_EQ(reply[0], machine == SMC_SIM_MACHINE_T2 ? 1 : 0);
        ASSERT_EQ(d.send(SMC_IOCTL_WRITE_KEY, bytes("F1Tg\x04\x00\x40\x1C\x45", 9), 0, &n),
                  SMC_REQ_OK);
        ASSERT_EQ(d.send(SMC_IOCTL_READ_KEY, bytes("F1Tg\x04", 5), 4, &n, &reply), SMC_REQ_OK);
        EXPECT_EQ(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 4),
                  bytes("\x00\x40\x1C\x45", 4));
        // The key's size is asked once, then remembered.
        const std::uint32_t first = d.smc.accesses;
        ASSERT_EQ(d.send(SMC_IOCTL_READ_KEY, bytes("F1Tg\x04", 5), 4, &n, &reply), SMC_REQ_OK);
        const std::uint32_t again = d.smc.accesses - first;
        smcDriverForgetKeys(&d.driver);
        const std::uint32_t before = d.smc.accesses;
        ASSERT_EQ(d.send(SMC_IOCTL_READ_KEY, bytes("F1Tg\x04", 5), 4, &n, &reply), SMC_REQ_OK);
        EXPECT_LT(again, d.smc.accesses - before);
    }
    // With no interface in use, nothing is asked of anyone.
    Driver none(SMC_SIM_MACHINE_NONE);
    std::uint32_t n = 0;
    EXPECT_EQ(none.send(SMC_IOCTL_QUERY_MODE, {}, 1, &n), SMC_REQ_NOT_READY);
    EXPECT_EQ(none.send(SMC_IOCTL_READ_KEY, bytes("TC0P\x04", 5), 4, &n), SMC_REQ_NOT_READY);
}

namespace {

// A CM_RESOURCE_LIST of one full descriptor with the given partial descriptors.
struct Partial {
    std::uint8_t type;
    std::uint16_t flags;
    std::uint64_t start;
    std::uint32_t length;
    std::vector<std::uint8_t> specific;
};
void put(std::vector<std::uint8_t>* out, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
        out->push_back(i < 8 ? static_cast<std::uint8_t>(v >> (8 * i)) : 0);
}
std::vector<std::uint8_t> resourceList(const std::vector<Partial>& partials, int lists = 1) {
    std::vector<std::uint8_t> out;
    put(&out, lists, 4);
    for (int l = 0; l < lists; ++l) {
        put(&out, 15, 4); // ACPI bus
        put(&out, 0, 4);
        put(&out, 1, 2);
        put(&out, 1, 2);
        put(&out, partials.size(), 4);
        for (const Partial& p : partials) {
            out.push_back(p.type);
            out.push_back(1);
            put(&out, p.flags, 2);
            if (p.type == SMC_RESOURCE_DEVICE_SPECIFIC) {
                put(&out, p.specific.size(), 4);
                put(&out, 0, 12);
                out.insert(out.end(), p.specific.begin(), p.specific.end());
            } else {
                put(&out, p.start, 8);
                put(&out, p.length, 4);
                put(&out, 0, 4);
            }
        }
    }
    return out;
}

} // namespace

TEST(SmcDriverResources, PortsAndWindowComeFromTheDevicesResourceList) {
    const Partial ports{SMC_RESOURCE_PORT, 0, 0x300, 0x20, {}};
    const Partial window{SMC_RESOURCE_MEMORY, 0, 0xFE0B0000, 0x10000, {}};
    const Partial interrupt{2, 0, 6, 0, {}};
    struct Case {
        const char* what;
        std::vector<std::uint8_t> list;
        bool wellFormed;
        std::uint32_t portBase, portSpan;
        std::uint64_t windowBase;
        std::uint32_t windowSpan;
    } cases[] = {
        {"T2: ports and window", resourceList({ports, interrupt, window}), true, 0x300, 0x20,
         0xFE0B0000, 0x10000},
        {"older: ports only", resourceList({ports}), true, 0x300, 0x20, 0, 0},
        {"a long window is used 64 KiB far", resourceList({{3, 0, 0xFEF00000, 0x100000, {}}}), true,
         0, 0, 0xFEF00000, 0x10000},
        {"a large window in 256-byte units", resourceList({{7, 0x200, 0xFEF00000, 0x100, {}}}),
         true, 0, 0, 0xFEF00000, 0x10000},
        {"device data before the ranges",
         resourceList({{5, 0, 0, 0, {1, 2, 3, 4, 5, 6, 7}}, ports, window}), true, 0x300, 0x20,
         0xFE0B0000, 0x10000},
        {"in the second of two lists", resourceList({ports}, 2), true, 0x300, 0x20, 0, 0},
        {"too few ports", resourceList({{1, 0, 0x300, 0x10, {}}}), true, 0, 0, 0, 0},
        {"ports beyond 0xFFFF", resourceList({{1, 0, 0xFFF0, 0x20, {}}}), true, 0, 0, 0, 0},
        {"a window too small", resourceList({{3, 0, 0xFEF00000, 0x4005, {}}}), true, 0, 0, 0, 0},
        {"a window at address 0", resourceList({{3, 0, 0, 0x10000, {}}}), true, 0, 0, 0, 0},
        {"empty", {}, false, 0, 0, 0, 0},
        {"cut inside a descriptor",
         [&] {
             auto l = resourceList({ports, window});
             l.resize(l.size() - 3);
             return l;
         }(),
         false, 0, 0, 0, 0},
        {"device data running past the end",
         [&] {
             auto l = resourceList({{5, 0, 0, 0, {1, 2, 3}}});
             l.resize(l.size() - 1);
             return l;
         }(),
         false, 0, 0, 0, 0},
        {"a count far beyond the bytes",
         [&] {
             auto l = resourceList({ports});
             l[16] = 0xFF;
             l[17] = 0xFF;
             l[18] = 0xFF;
             l[19] = 0x7F;
             return l;
         }(),
         false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SmcResources r{1, 1, 1, 1};
        EXPECT_EQ(smcParseResourceList(c.list.empty() ? nullptr : c.list.data(),
                                       static_cast<std::uint32_t>(c.list.size()), &r) != 0,
                  c.wellFormed)
            << c.what;
        EXPECT_EQ(r.portBase, c.portBase) << c.what;
        EXPECT_EQ(r.portSpan, c.portSpan) << c.what;
        EXPECT_EQ(r.windowBase, c.windowBase) << c.what;
        EXPECT_EQ(r.windowSpan, c.windowSpan) << c.what;
    }
}

TEST(SmcDriverResources, OnlyApplesFirmwareCountsAsAnAppleMachine) {
    const struct {
        std::u16string maker;
        bool apple;
    } cases[] = {{u"Apple Inc.", true},
                 {u"Apple Computer, Inc.", true},
                 {std::u16string(u"Apple\0", 6), true},
                 {u"Apple", true},
                 {u"Applewood", false},
                 {u"apple inc.", false},
                 {u"ASUSTeK COMPUTER INC.", false},
                 {u"", false},
                 {u"Appl", false}};
    for (const auto& c : cases)
        EXPECT_EQ(smcIsAppleMaker(reinterpret_cast<const std::uint16_t*>(c.maker.data()),
                                  static_cast<std::uint32_t>(c.maker.size())) != 0,
                  c.apple);
}

// The exact bytes the driver puts on its device: SYSTEM and Administrators, nobody else.
TEST(SmcDriverSecurity, TheDeviceIsOpenOnlyToSystemAndAdministrators) {
    alignas(4) std::uint8_t acl[64] = {};
    EXPECT_EQ(smcDeviceAcl(acl, SMC_DEVICE_ACL_SIZE - 1), 0u);
    ASSERT_EQ(smcDeviceAcl(acl, sizeof acl), SMC_DEVICE_ACL_SIZE);
    EXPECT_EQ(acl[0], 2);                // revision
    EXPECT_EQ(acl[2] | acl[3] << 8, 52); // size
    EXPECT_EQ(acl[4] | acl[5] << 8, 2);  // two entries
    const std::vector<std::vector<std::uint8_t>> sids = {
        {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0},                // S-1-5-18
        {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0}, // S-1-5-32-544
    };
    std::size_t at = 8;
    for (const auto& sid : sids) {
        EXPECT_EQ(acl[at], 0);                                     // access allowed
        EXPECT_EQ(acl[at + 2] | acl[at + 3] << 8, 8 + sid.size()); // entry size
        std::uint32_t mask;
        std::memcpy(&mask, acl + at + 4, 4);
        EXPECT_EQ(mask, 0x001F01FFu);
        EXPECT_EQ(std::vector<std::uint8_t>(acl + at + 8, acl + at + 8 + sid.size()), sid);
        at += 8 + sid.size();
    }
    EXPECT_EQ(at, SMC_DEVICE_ACL_SIZE);
}
