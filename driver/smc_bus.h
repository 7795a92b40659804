/* The SMC's two interfaces behind one set of transactions: port I/O (Macs before the T2 chip)
 * and the memory-mapped window (T2 Macs, where the ports do not answer). Every wait is bounded:
 * a request that gets no answer fails; nothing hangs. Portable C, no kernel calls. */
#ifndef SMC_BUS_H
#define SMC_BUS_H

#include "smc_access.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum SmcPath { SMC_PATH_NONE = 0, SMC_PATH_PORT = 1, SMC_PATH_WINDOW = 2 } SmcPath;

typedef enum SmcResult {
    SMC_OK = 0,
    SMC_TIMEOUT,       /* no answer within the wait schedule */
    SMC_NOT_FOUND,     /* the SMC has no such key (result 0x84) */
    SMC_NOT_WRITABLE,  /* result 0x86 */
    SMC_SIZE_MISMATCH, /* result 0x87, or a reply of another length than asked for */
    SMC_FAILED,        /* any other result code */
    SMC_NO_PATH        /* no interface answered */
} SmcResult;

/* The SMC's commands. */
#define SMC_CMD_READ 0x10u
#define SMC_CMD_WRITE 0x11u
#define SMC_CMD_KEY_AT_INDEX 0x12u
#define SMC_CMD_KEY_INFO 0x13u

/* Result codes as the SMC reports them. */
#define SMC_RESULT_NOT_FOUND 0x84u
#define SMC_RESULT_NOT_WRITABLE 0x86u
#define SMC_RESULT_SIZE_MISMATCH 0x87u

/* The port interface: data at the base, command (written) and status (read) at base + 4, the
 * result of the last command at base + 0x1E. */
#define SMC_PORT_DATA 0x00u
#define SMC_PORT_COMMAND 0x04u
#define SMC_PORT_RESULT 0x1Eu
#define SMC_PORT_SPAN 0x20u
#define SMC_STATUS_AWAITING_DATA 0x01u
#define SMC_STATUS_INPUT_FULL 0x02u
#define SMC_STATUS_BUSY 0x04u

/* The window's registers. 0x7D, 0x7E and 0x7F are written with 8-bit stores only: wider stores
 * corrupt writes on some models. */
#define SMC_WINDOW_DATA 0x00u
#define SMC_WINDOW_DATA_SPAN 0x78u
#define SMC_WINDOW_KEY 0x78u
#define SMC_WINDOW_LENGTH 0x7Du
#define SMC_WINDOW_SMC_ID 0x7Eu
#define SMC_WINDOW_COMMAND 0x7Fu /* command in, result out */
#define SMC_WINDOW_STATUS 0x4005u
#define SMC_WINDOW_DONE 0x20u
#define SMC_WINDOW_MIN_SPAN 0x4006u
/* Key info in the window's data area: type at 0..3, size at 5, attributes at 6. */
#define SMC_WINDOW_INFO_TYPE 0x00u
#define SMC_WINDOW_INFO_SIZE 0x05u
#define SMC_WINDOW_INFO_ATTRIBUTES 0x06u

/* The longest value a key holds. */
#define SMC_MAX_DATA 32u

/* The wait schedule: polls 8 us apart, from the eleventh on each wait twice the one before;
 * 24 polls in all (about 131 ms). After a timeout only 12 (about 0.1 ms) until the SMC answers
 * again, so an SMC that stopped answering costs little per request; every 32nd request then
 * waits the whole schedule, so an SMC that is merely slow is found answering again. */
#define SMC_FIRST_WAIT_US 8u
#define SMC_STEADY_POLLS 10u
#define SMC_POLLS 24u
#define SMC_QUICK_POLLS 12u
#define SMC_PATIENT_EVERY 32u

typedef struct SmcBus {
    const SmcAccess* access;
    SmcPath path;
    uint16_t portBase;
    uint32_t windowSpan; /* bytes of the window that can be reached; 0 without a window */
    uint8_t quick;       /* set by a timeout, cleared by the next answer */
    uint8_t patient;     /* this transaction waits the whole schedule */
    uint32_t quickRound; /* transactions since the timeout */
} SmcBus;

/* A key's description: its size in bytes, its type (e.g. "flt ") and attribute bits. */
typedef struct SmcKeyInfo {
    uint8_t size;
    uint8_t type[4];
    uint8_t attributes;
} SmcKeyInfo;

/* One transaction on the interface in use. For SMC_CMD_WRITE the data is sent; for the other
 * commands exactly length bytes of reply are read into data (key info: size, four type bytes,
 * attributes). arg holds the key's four characters, or the index big-endian. */
SmcResult smcTransact(SmcBus* bus, uint8_t command, const uint8_t arg[4], uint8_t* data,
                      uint8_t length);

SmcResult smcReadKey(SmcBus* bus, const uint8_t key[4], uint8_t* data, uint8_t size);
SmcResult smcWriteKey(SmcBus* bus, const uint8_t key[4], const uint8_t* data, uint8_t size);
SmcResult smcGetKeyInfo(SmcBus* bus, const uint8_t key[4], SmcKeyInfo* info);
SmcResult smcKeyAtIndex(SmcBus* bus, uint32_t index, uint8_t key[4]);

/* Chooses the interface by what answers. With a window of at least SMC_WINDOW_MIN_SPAN bytes
 * the window is tried first: it is used when its status does not read 0xFF and the key "LDKN"
 * reads 2 or more (a T2 SMC); nothing else is tried then. Otherwise, with the port range, the
 * ports are used when the key count "#KEY" reads back. When neither answers the result is
 * SMC_PATH_NONE and the bus stays unusable. A probe lasts well under a second. */
SmcPath smcChoosePath(SmcBus* bus, const SmcAccess* access, uint16_t portBase, uint32_t portSpan,
                      uint32_t windowSpan);

#ifdef __cplusplus
}
#endif

#endif
