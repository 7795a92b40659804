/* The test build of the driver (applesmc_sim.c: the driver with an emulated SMC) and its
 * requests for tests, shared with the in-memory fake (tests/fakes/fake_smc_device.*), which runs
 * the same request handling natively, and with the emulated SMC's start-up key tables.
 *
 * The three product requests are the driver's own (driver/smc_ioctl.h). Test-only requests
 * (never sent by the program, answered only by the test build) make the SMC observable and
 * settable:
 *   SMC_SIM_IOCTL_RESET     no data: the start-up table on a port-I/O Mac, answers at once, no
 *                           faults, empty log; the driver chooses its interface again.
 *   SMC_SIM_IOCTL_SET_KEY   input SmcSimKey: define or overwrite a key (size 0 removes it).
 *   SMC_SIM_IOCTL_GET_KEY   input 4 key characters, output SmcSimKey: a key as stored.
 *   SMC_SIM_IOCTL_SET_MODE  input 1 byte, one of SMC_SIM_MACHINE_*: which of the SMC's two
 *                           interfaces answer; the driver then chooses its interface again, as at
 *                           its start, so QUERY_MODE reports what it chose.
 *   SMC_SIM_IOCTL_GET_LOG   output SmcSimLog: the product requests since the last reset.
 *   SMC_SIM_IOCTL_SET_FAULTS input 2 or 3 bytes: [0] nonzero makes the SMC stop answering (every
 *                           request then fails after its bounded waits), [1] nonzero removes the
 *                           name \\.\APPLESMC, so new opens fail as for a device that is gone
 *                           (open handles keep working; test tools reach the driver as
 *                           \\.\APPLESMCSIM), [2] when given: milliseconds the SMC takes for
 *                           each step (slow answers). A reset clears all three.
 *   SMC_SIM_IOCTL_SET_TABLE input 1 byte: replaces the keys with a start-up table,
 *                           SMC_SIM_TABLE_T2 (the default) or SMC_SIM_TABLE_OLDER; the machine
 *                           and the log stay as they are. */
#ifndef SMC_SIM_PROTOCOL_H
#define SMC_SIM_PROTOCOL_H

#include "smc_ioctl.h"

/* Device type 0x22, functions 0x900.., buffered, any access. */
#define SMC_SIM_IOCTL_RESET 0x222400u
#define SMC_SIM_IOCTL_SET_KEY 0x222404u
#define SMC_SIM_IOCTL_GET_KEY 0x222408u
#define SMC_SIM_IOCTL_SET_MODE 0x22240Cu
#define SMC_SIM_IOCTL_GET_LOG 0x222410u
#define SMC_SIM_IOCTL_SET_FAULTS 0x222424u
#define SMC_SIM_IOCTL_SET_TABLE 0x222420u

#define SMC_SIM_TABLE_T2 0u
#define SMC_SIM_TABLE_OLDER 1u

/* SMC_SIM_IOCTL_SET_MODE: the emulated machine. */
#define SMC_SIM_MACHINE_PORTS 0u       /* before the T2 chip: ports answer, the window is older */
#define SMC_SIM_MACHINE_T2 1u          /* the window answers as a T2 SMC; the ports do not */
#define SMC_SIM_MACHINE_DEAD_WINDOW 2u /* the window reads 0xFF; ports answer */
#define SMC_SIM_MACHINE_NONE 3u        /* nothing answers */

#define SMC_SIM_FLAG_WRITABLE 0x01u

#define SMC_SIM_MAX_KEYS 48
#define SMC_SIM_LOG_CAPACITY 64

/* One key: 12 bytes, no padding. */
typedef struct SmcSimKey {
    char key[4];
    unsigned char size; /* 1, 2 or 4; 0 in SET_KEY removes the key */
    unsigned char flags;
    unsigned char reserved[2];
    unsigned char data[4];
} SmcSimKey;

/* One product request as it arrived: 24 bytes. */
typedef struct SmcSimLogEntry {
    unsigned int code;
    unsigned int inputSize;
    unsigned char input[12]; /* the first 12 input bytes */
    unsigned int succeeded;
} SmcSimLogEntry;

typedef struct SmcSimLog {
    unsigned int total;  /* requests since the reset, also those beyond the capacity */
    unsigned int stored; /* entries filled, the first ones since the reset */
    SmcSimLogEntry entries[SMC_SIM_LOG_CAPACITY];
} SmcSimLog;

/* Realistic start-up values: fan speeds and sensors as 4-byte little-endian floats (flt) or
 * 2-byte big-endian fixed point (sp78). TC5C is deliberately absent. */
#define SMC_SIM_DEFAULT_KEYS                                                                       \
    {                                                                                              \
        {{'F', '0', 'A', 'c'}, 4, 0, {0, 0}, {0x00, 0x00, 0x07, 0x45}},     /* 2160 */             \
            {{'F', '0', 'M', 'n'}, 4, 0, {0, 0}, {0x00, 0x00, 0x96, 0x44}}, /* 1200 */             \
            {{'F', '0', 'M', 'x'}, 4, 0, {0, 0}, {0x00, 0x60, 0xC0, 0x45}}, /* 6156 */             \
            {{'F', '0', 'T', 'g'}, 4, 1, {0, 0}, {0x00, 0x00, 0xFA, 0x44}}, /* 2000 */             \
            {{'F', '0', 'M', 'd'}, 1, 1, {0, 0}, {0x00, 0, 0, 0}},                                 \
            {{'F', '1', 'A', 'c'}, 4, 0, {0, 0}, {0x00, 0x60, 0xFA, 0x44}}, /* 2003 */             \
            {{'F', '1', 'M', 'n'}, 4, 0, {0, 0}, {0x00, 0x00, 0x96, 0x44}}, /* 1200 */             \
            {{'F', '1', 'M', 'x'}, 4, 0, {0, 0}, {0x00, 0x20, 0xB2, 0x45}}, /* 5700 */             \
            {{'F', '1', 'T', 'g'}, 4, 1, {0, 0}, {0x00, 0x00, 0xFA, 0x44}}, /* 2000 */             \
            {{'F', '1', 'M', 'd'}, 1, 1, {0, 0}, {0x00, 0, 0, 0}},                                 \
            {{'F', 'S', '!', ' '}, 1, 1, {0, 0}, {0x00, 0, 0, 0}},                                 \
            {{'T', 'C', 'X', 'C'}, 4, 0, {0, 0}, {0x00, 0x00, 0x69, 0x42}}, /* 58.25 */            \
            {{'T', 'C', '0', 'F'}, 2, 0, {0, 0}, {0x37, 0x80, 0, 0}},       /* 55.5 */             \
            {{'T', 'C', '0', 'P'}, 4, 0, {0, 0}, {0x00, 0x00, 0x50, 0x42}}, /* 52 */               \
            {{'T', 'C', '1', 'C'}, 2, 0, {0, 0}, {0x3C, 0x00, 0, 0}},       /* 60 */               \
            {{'T', 'C', '2', 'C'}, 4, 0, {0, 0}, {0x00, 0x00, 0x76, 0x42}}, /* 61.5 */             \
            {{'T', 'C', '3', 'C'}, 2, 0, {0, 0}, {0x3B, 0x00, 0, 0}},       /* 59 */               \
            {{'T', 'C', '4', 'C'}, 4, 0, {0, 0}, {0x00, 0x00, 0x78, 0x42}}, /* 62 */               \
            {{'T', 'G', 'D', 'D'}, 4, 0, {0, 0}, {0x00, 0x00, 0x40, 0x42}}, /* 48 */               \
            {{'T', 'G', '0', 'P'}, 2, 0, {0, 0}, {0x2D, 0x40, 0, 0}},       /* 45.25 */            \
            {{'T', 'h', '1', 'H'}, 4, 0, {0, 0}, {0x00, 0x00, 0x20, 0x42}}, /* 40 */               \
            {{'T', 'h', '2', 'H'}, 2, 0, {0, 0}, {0x29, 0x00, 0, 0}},       /* 41 */               \
            {{'T', 'm', '0', 'P'}, 4, 0, {0, 0}, {0x00, 0x00, 0x30, 0x42}}, /* 44 */               \
            {{'T', 'M', '0', 'P'}, 4, 0, {0, 0}, {0x00, 0x00, 0x2E, 0x42}}, /* 43.5 */             \
            {{'P', 'D', 'T', 'R'}, 4, 0, {0, 0}, {0x00, 0x00, 0x0E, 0x42}}, /* 35.5 W */           \
    }

/* The SMC generation before T2: fan speeds as 2-byte big-endian fpe2 (raw / 4), no F%dMd, the
 * fans forced through the 2-byte bit mask "FS! ", sensors as sp78. Fans 1200..6200 and
 * 1300..6500 RPM; TCXC, TC0F, TC3C, TC4C, TC5C and TGDD are absent. */
#define SMC_SIM_OLDER_KEYS                                                                         \
    {                                                                                              \
        {{'F', '0', 'A', 'c'}, 2, 0, {0, 0}, {0x1C, 0x20, 0, 0}},     /* 1800 */                   \
            {{'F', '0', 'M', 'n'}, 2, 0, {0, 0}, {0x12, 0xC0, 0, 0}}, /* 1200 */                   \
            {{'F', '0', 'M', 'x'}, 2, 0, {0, 0}, {0x60, 0xE0, 0, 0}}, /* 6200 */                   \
            {{'F', '0', 'T', 'g'}, 2, 1, {0, 0}, {0x1C, 0x20, 0, 0}}, /* 1800 */                   \
            {{'F', '1', 'A', 'c'}, 2, 0, {0, 0}, {0x1D, 0xB0, 0, 0}}, /* 1900 */                   \
            {{'F', '1', 'M', 'n'}, 2, 0, {0, 0}, {0x14, 0x50, 0, 0}}, /* 1300 */                   \
            {{'F', '1', 'M', 'x'}, 2, 0, {0, 0}, {0x65, 0x90, 0, 0}}, /* 6500 */                   \
            {{'F', '1', 'T', 'g'}, 2, 1, {0, 0}, {0x1D, 0xB0, 0, 0}}, /* 1900 */                   \
            {{'F', 'S', '!', ' '}, 2, 1, {0, 0}, {0x00, 0x00, 0, 0}},                              \
            {{'T', 'C', '0', 'P'}, 2, 0, {0, 0}, {0x34, 0x80, 0, 0}}, /* 52.5 */                   \
            {{'T', 'C', '1', 'C'}, 2, 0, {0, 0}, {0x37, 0x00, 0, 0}}, /* 55 */                     \
            {{'T', 'C', '2', 'C'}, 2, 0, {0, 0}, {0x36, 0x40, 0, 0}}, /* 54.25 */                  \
            {{'T', 'G', '0', 'P'}, 2, 0, {0, 0}, {0x2F, 0x40, 0, 0}}, /* 47.25 */                  \
            {{'T', 'h', '1', 'H'}, 2, 0, {0, 0}, {0x29, 0x00, 0, 0}}, /* 41 */                     \
            {{'T', 'h', '2', 'H'}, 2, 0, {0, 0}, {0x2A, 0x00, 0, 0}}, /* 42 */                     \
            {{'T', 'm', '0', 'P'}, 2, 0, {0, 0}, {0x2C, 0x80, 0, 0}}, /* 44.5 */                   \
            {{'T', 'M', '0', 'P'}, 2, 0, {0, 0}, {0x2A, 0x80, 0, 0}}, /* 42.5 */                   \
            {{'P', 'D', 'T', 'R'}, 2, 0, {0, 0}, {0x1B, 0x80, 0, 0}}, /* 27.5 W */                 \
    }

#endif
