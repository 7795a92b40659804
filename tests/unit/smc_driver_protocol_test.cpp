// The driver's SMC protocols (driver/smc_bus.h) against the emulated SMC: both interfaces, the
// choice between them, the handshakes and access widths, result codes and bounded waits.
#include "doubles/smc_emulated.h"
#include "smc_bus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::uint8_t* key(const char* text) {
    return reinterpret_cast<const std::uint8_t*>(text);
}

// The emulated SMC behind an access interface that also counts port accesses and can widen the
// window's 8-bit stores to the length, id and command registers into one 32-bit store.
struct Rig {
    explicit Rig(std::uint8_t machine = SMC_SIM_MACHINE_PORTS) {
        smcEmuInit(&smc);
        smcEmuSetMachine(&smc, machine);
        smcEmuAccess(&smc, &inner);
        access = inner;
        access.context = this;
        access.portRead = [](void* c, std::uint16_t port) {
            Rig* r = static_cast<Rig*>(c);
            r->portAccesses++;
            return r->inner.portRead(r->inner.context, port);
        };
        access.portWrite = [](void* c, std::uint16_t port, std::uint8_t v) {
            Rig* r = static_cast<Rig*>(c);
            r->portAccesses++;
            r->inner.portWrite(r->inner.context, port, v);
        };
        access.windowRead = [](void* c, std::uint32_t o, std::uint8_t w) {
            Rig* r = static_cast<Rig*>(c);
            return r->inner.windowRead(r->inner.context, o, w);
        };
        access.windowWrite = [](void* c, std::uint32_t o, std::uint8_t w, std::uint32_t v) {
            Rig* r = static_cast<Rig*>(c);
            if (r->widenStores && w == 1 && o >= SMC_WINDOW_LENGTH && o <= SMC_WINDOW_COMMAND) {
                // What a careless 32-bit store would do: the neighbours written as read.
                std::uint32_t word = r->inner.windowRead(r->inner.context, 0x7C, 4);
                const unsigned shift = 8 * (o - 0x7C);
                word = (word & ~(0xFFu << shift)) | (v & 0xFFu) << shift;
                r->inner.windowWrite(r->inner.context, 0x7C, 4, word);
                return;
            }
            r->inner.windowWrite(r->inner.context, o, w, v);
        };
        access.stall = [](void* c, std::uint32_t us) {
            Rig* r = static_cast<Rig*>(c);
            r->inner.stall(r->inner.context, us);
        };
    }
    SmcPath choose(std::uint32_t windowSpan = SMC_EMU_WINDOW_SPAN,
                   std::uint32_t portSpan = SMC_PORT_SPAN) {
        return smcChoosePath(&bus, &access, SMC_EMU_PORT_BASE, portSpan, windowSpan);
    }
    SmcEmulated smc;
    SmcAccess inner{};
    SmcAccess access{};
    SmcBus bus{};
    int portAccesses = 0;
    bool widenStores = false;
};

struct Machine {
    const char* name;
    std::uint8_t machine;
};
const Machine BOTH_PATHS[] = {{"ports", SMC_SIM_MACHINE_PORTS}, {"window", SMC_SIM_MACHINE_T2}};

} // namespace

TEST(SmcDriverProtocol, ThePathIsChosenByWhatAnswersAndAProbeEndsWithinASecond) {
    struct Case {
        const char* what;
        std::uint8_t machine;
        std::uint8_t generation; // 0: as the machine has it
        std::uint32_t windowSpan;
        std::uint32_t portSpan;
        bool silent;
        SmcPath expected;
    } cases[] = {
        {"T2: the window answers", SMC_SIM_MACHINE_T2, 0, 0x10000, 0x20, false, SMC_PATH_WINDOW},
        {"T2 without a port range", SMC_SIM_MACHINE_T2, 0, 0x10000, 0, false, SMC_PATH_WINDOW},
        {"older SMC behind the window", SMC_SIM_MACHINE_PORTS, 0, 0x10000, 0x20, false,
         SMC_PATH_PORT},
        {"window reads 0xFF", SMC_SIM_MACHINE_DEAD_WINDOW, 0, 0x10000, 0x20, false, SMC_PATH_PORT},
        {"no window", SMC_SIM_MACHINE_PORTS, 2, 0, 0x20, false, SMC_PATH_PORT},
        {"window too short", SMC_SIM_MACHINE_PORTS, 2, 0x4005, 0x20, false, SMC_PATH_PORT},
        {"port range too short", SMC_SIM_MACHINE_PORTS, 0, 0, 0x1F, false, SMC_PATH_NONE},
        {"T2 whose window is not given", SMC_SIM_MACHINE_T2, 0, 0, 0x20, false, SMC_PATH_NONE},
        {"nothing answers", SMC_SIM_MACHINE_NONE, 0, 0x10000, 0x20, false, SMC_PATH_NONE},
        {"an SMC that never finishes", SMC_SIM_MACHINE_PORTS, 2, 0x10000, 0x20, true,
         SMC_PATH_NONE},
    };
    for (const Case& c : cases) {
        Rig rig(c.machine);
        if (c.generation)
            rig.smc.generation = c.generation;
        rig.smc.silent = c.silent;
        EXPECT_EQ(rig.choose(c.windowSpan, c.portSpan), c.expected) << c.what;
        EXPECT_EQ(rig.bus.path, c.expected) << c.what;
        EXPECT_LT(rig.smc.now, 1000000u) << c.what;
        // A window that answers as a T2 SMC is the only way: the ports are never touched.
        if (c.expected == SMC_PATH_WINDOW) {
            EXPECT_EQ(rig.portAccesses, 0) << c.what;
        }
        if (c.expected == SMC_PATH_NONE) {
            std::uint8_t data[4];
            EXPECT_EQ(smcReadKey(&rig.bus, key("TC0P"), data, 4), SMC_NO_PATH) << c.what;
        }
    }
}

TEST(SmcDriverProtocol, EveryCommandWorksTheSameOnBothPaths) {
    for (const Machine& m : BOTH_PATHS) {
        Rig rig(m.machine);
        ASSERT_NE(rig.choose(), SMC_PATH_NONE) << m.name;
        std::uint8_t data[8] = {};
        EXPECT_EQ(smcReadKey(&rig.bus, key("F0Ac"), data, 4), SMC_OK) << m.name;
        EXPECT_EQ(std::memcmp(data, "\x00\x00\x07\x45", 4), 0) << m.name;
        EXPECT_EQ(smcReadKey(&rig.bus, key("TC0F"), data, 2), SMC_OK) << m.name;
        EXPECT_EQ(std::memcmp(data, "\x37\x80", 2), 0) << m.name;

        SmcKeyInfo info{};
        ASSERT_EQ(smcGetKeyInfo(&rig.bus, key("F0Tg"), &info), SMC_OK) << m.name;
        EXPECT_EQ(info.size, 4) << m.name;
        EXPECT_EQ(std::memcmp(info.type, "flt ", 4), 0) << m.name;
        EXPECT_EQ(info.attributes, 0xC0) << m.name;
        std::uint8_t name[4] = {};
        ASSERT_EQ(smcKeyAtIndex(&rig.bus, 1, name), SMC_OK) << m.name;
        EXPECT_EQ(std::memcmp(name, "F0Mn", 4), 0) << m.name;

        const std::uint8_t target[4] = {0x00, 0x40, 0x1C, 0x45};
        EXPECT_EQ(smcWriteKey(&rig.bus, key("F0Tg"), target, 4), SMC_OK) << m.name;
        EXPECT_EQ(std::memcmp(smcEmuFind(&rig.smc, key("F0Tg"))->data, target, 4), 0) << m.name;

        // Result codes.
        EXPECT_EQ(smcReadKey(&rig.bus, key("ZZZZ"), data, 4), SMC_NOT_FOUND) << m.name;
        EXPECT_EQ(smcGetKeyInfo(&rig.bus, key("TC5C"), &info), SMC_NOT_FOUND) << m.name;
        EXPECT_EQ(smcWriteKey(&rig.bus, key("F0Ac"), target, 4), SMC_NOT_WRITABLE) << m.name;
        EXPECT_EQ(smcWriteKey(&rig.bus, key("F0Md"), target, 2), SMC_SIZE_MISMATCH) << m.name;
        EXPECT_EQ(smcReadKey(&rig.bus, key("F0Ac"), data, 2), SMC_SIZE_MISMATCH) << m.name;
        EXPECT_EQ(smcKeyAtIndex(&rig.bus, 999, name), SMC_FAILED) << m.name;
        // None of it left the SMC unable to answer.
        EXPECT_EQ(smcReadKey(&rig.bus, key("F0Tg"), data, 4), SMC_OK) << m.name;
        EXPECT_EQ(rig.smc.wrongWidthStores, 0u) << m.name;
    }
}

// The port handshake waits for the input buffer before each byte (a byte written into a full
// buffer is lost), the window only 8-bit stores to its length, id and command registers.
TEST(SmcDriverProtocol, HandshakesAndWidthsAreKeptAndAreNeeded) {
    struct Case {
        const char* what;
        std::uint8_t machine;
        std::uint32_t latencyUs;
        bool widen;
        bool written; // the value arrives unchanged
    } cases[] = {
        {"ports, quick SMC", SMC_SIM_MACHINE_PORTS, 10, false, true},
        {"ports, slow SMC", SMC_SIM_MACHINE_PORTS, 5000, false, true},
        {"window, quick SMC", SMC_SIM_MACHINE_T2, 10, false, true},
        {"window, slow SMC", SMC_SIM_MACHINE_T2, 5000, false, true},
        {"window, 32-bit command stores", SMC_SIM_MACHINE_T2, 10, true, false},
    };
    for (const Case& c : cases) {
        Rig rig(c.machine);
        ASSERT_NE(rig.choose(), SMC_PATH_NONE) << c.what;
        rig.smc.latencyUs = c.latencyUs;
        rig.widenStores = c.widen;
        const std::uint8_t target[4] = {0x00, 0x80, 0xBB, 0x44}; // 1500.0f
        EXPECT_EQ(smcWriteKey(&rig.bus, key("F1Tg"), target, 4), SMC_OK) << c.what;
        EXPECT_EQ(std::memcmp(smcEmuFind(&rig.smc, key("F1Tg"))->data, target, 4) == 0, c.written)
            << c.what;
        EXPECT_EQ(rig.smc.corruptedWrites == 0, c.written) << c.what;
        std::uint8_t data[4] = {};
        EXPECT_EQ(smcReadKey(&rig.bus, key("F1Ac"), data, 4), SMC_OK) << c.what;
    }
}

// However the SMC stops answering, in the middle of a request or before it, the request fails
// within its bounded waits; the one after it gives up within a fraction of a millisecond, and
// an SMC that answers again is used again.
TEST(SmcDriverProtocol, AnSmcThatStopsAnsweringFailsTheRequestWithinItsLimit) {
    for (const Machine& m : BOTH_PATHS) {
        int stalled = 0;
        for (std::uint32_t stopAfter = 1; stopAfter < 120; ++stopAfter) {
            const std::string what =
                std::string(m.name) + ", silent after access " + std::to_string(stopAfter);
            Rig rig(m.machine);
            ASSERT_NE(rig.choose(), SMC_PATH_NONE);
            const std::uint8_t target[4] = {0x00, 0x80, 0xBB, 0x44};
            rig.smc.stopAfter = stopAfter;
            const std::uint64_t start = rig.smc.now;
            SmcKeyInfo info{};
            const SmcResult r = stopAfter % 2 ? smcWriteKey(&rig.bus, key("F0Tg"), target, 4)
                                              : smcGetKeyInfo(&rig.bus, key("F0Tg"), &info);
            if (!rig.smc.silent || r == SMC_OK)
                continue; // the reply was complete before the SMC went quiet
            ++stalled;
            EXPECT_EQ(r, SMC_TIMEOUT) << what;
            EXPECT_LT(rig.smc.now - start, 200000u) << what;

            const std::uint64_t second = rig.smc.now;
            std::uint8_t data[4];
            EXPECT_EQ(smcReadKey(&rig.bus, key("F0Ac"), data, 4), SMC_TIMEOUT) << what;
            EXPECT_LT(rig.smc.now - second, 1000u) << what;

            rig.smc.silent = 0;
            EXPECT_TRUE(smcReadKey(&rig.bus, key("F0Ac"), data, 4) == SMC_OK ||
                        smcReadKey(&rig.bus, key("F0Ac"), data, 4) == SMC_OK)
                << what;
            EXPECT_EQ(rig.bus.quick, 0) << what;
        }
        EXPECT_GT(stalled, 10) << m.name;

        // An SMC that is only slow after a timeout is found answering again.
        Rig rig(m.machine);
        ASSERT_NE(rig.choose(), SMC_PATH_NONE);
        rig.smc.silent = 1;
        std::uint8_t data[4];
        EXPECT_EQ(smcReadKey(&rig.bus, key("F0Ac"), data, 4), SMC_TIMEOUT);
        rig.smc.silent = 0;
        rig.smc.latencyUs = 2000;
        int tries = 1;
        while (smcReadKey(&rig.bus, key("F0Ac"), data, 4) != SMC_OK && tries < 40)
            ++tries;
        EXPECT_LE(tries, int(SMC_PATIENT_EVERY)) << m.name;
        EXPECT_GT(tries, 1) << m.name;
    }
}
