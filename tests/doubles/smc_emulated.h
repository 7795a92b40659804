/* An emulated Apple SMC behind the driver's access interface (driver/smc_access.h), speaking
 * both of the SMC's protocols: the port handshake (status bits, data and result ports) and the
 * memory window with its registers and result codes. It keeps its own virtual clock, advanced
 * only by the driver's stalls, so slow answers and timeouts cost no real time.
 *
 * Faults a test can inject: an interface that does not answer (ports and window read 0xFF), an
 * SMC that stops answering (at once or after a number of accesses, i.e. in the middle of a
 * request), slow answers, and a window that corrupts writes whose registers were stored at the
 * wrong width (the length, SMC id and command registers with anything but 8-bit stores, the key
 * with anything but one 32-bit store), as some real SMCs do. Portable C, also built into the
 * test build of the kernel driver. */
#ifndef SMC_EMULATED_H
#define SMC_EMULATED_H

#include "smc_access.h"
#include "smc_sim_protocol.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SMC_EMU_PORT_BASE 0x300u
#define SMC_EMU_WINDOW_SPAN 0x10000u

typedef struct SmcEmulated {
    /* The machine. */
    uint8_t portsAnswer;
    uint8_t windowAnswers;
    uint8_t generation; /* what "LDKN" reads: 2 and more on T2 SMCs */
    uint32_t latencyUs; /* how long the SMC takes for each step */
    uint8_t silent;     /* stopped answering */
    uint32_t stopAfter; /* when nonzero: accesses until it stops answering */
    /* Its keys, beside "#KEY" and "LDKN", which it makes up itself. */
    SmcSimKey keys[SMC_SIM_MAX_KEYS];
    uint32_t keyCount;
    /* What it saw. */
    uint64_t now;              /* virtual microseconds */
    uint32_t wrongWidthStores; /* window stores of the wrong width */
    uint32_t corruptedWrites;  /* writes it stored garbled because of them */
    uint32_t accesses;
    /* Port interface. */
    uint8_t portPhase;
    uint8_t portCommand;
    uint8_t portArg[4];
    uint8_t portArgCount;
    uint8_t portLength;
    uint8_t portBuffer[32];
    uint8_t portCount;
    uint8_t portPosition;
    uint8_t portResult;
    uint64_t portReadyAt;
    /* Window interface. */
    uint8_t registers[0x80];
    uint8_t windowStatus;
    uint8_t windowPending;
    uint8_t windowCorrupt;
    uint64_t windowDoneAt;
    /* The reply of the command under way, shown once it is done. */
    uint8_t windowReply[0x78];
    uint8_t windowReplyResult;
    uint8_t windowReplyLength;
    uint8_t windowReplyBytes;
} SmcEmulated;

/* A Mac before the T2 chip with the T2 key table: ports answer, the window answers as an older
 * SMC ("LDKN" 1), every step takes 10 us. */
void smcEmuInit(SmcEmulated* smc);
/* SMC_SIM_MACHINE_*: which interfaces answer and which generation the window reports. */
void smcEmuSetMachine(SmcEmulated* smc, uint8_t machine);
/* SMC_SIM_TABLE_*; 0 for an unknown table. */
int smcEmuLoadTable(SmcEmulated* smc, uint8_t table);
/* Defines or replaces a key; size 0 removes it. 0 when the size is not 1, 2 or 4 or the table
 * is full. */
int smcEmuSetKey(SmcEmulated* smc, const SmcSimKey* key);
SmcSimKey* smcEmuFind(SmcEmulated* smc, const uint8_t key[4]);
/* The access interface bound to this SMC: ports at SMC_EMU_PORT_BASE, the window of
 * SMC_EMU_WINDOW_SPAN bytes. */
void smcEmuAccess(SmcEmulated* smc, SmcAccess* access);

#ifdef __cplusplus
}
#endif

#endif
