/* The device's request handling, free of kernel calls: every buffer size is checked before the
 * buffer is used, keys are read only in the size the SMC gives them, and writes reach only the
 * fan keys the program drives. */
#ifndef SMC_REQUESTS_H
#define SMC_REQUESTS_H

#include "smc_bus.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum SmcRequestStatus {
    SMC_REQ_OK = 0,
    SMC_REQ_BAD_PARAMETER,    /* sizes or key characters not as the request needs them */
    SMC_REQ_BUFFER_TOO_SMALL, /* no room for the reply */
    SMC_REQ_NOT_FOUND,        /* the SMC has no such key */
    SMC_REQ_DENIED,           /* a write outside the list, or to a key the SMC keeps read-only */
    SMC_REQ_DEVICE_ERROR,     /* the SMC failed the command */
    SMC_REQ_TIMEOUT,          /* the SMC did not answer in time */
    SMC_REQ_UNKNOWN_REQUEST,  /* not a request of this device */
    SMC_REQ_NOT_READY,        /* no interface to the SMC */
    SMC_REQ_NO_MEMORY         /* only the test build's requests: no room left */
} SmcRequestStatus;

#define SMC_KEY_CACHE_SIZE 48u

typedef struct SmcCachedKey {
    uint8_t key[4];
    SmcKeyInfo info;
} SmcCachedKey;

typedef struct SmcDriver {
    SmcBus bus;
    /* What the SMC said of the keys asked for so far: keys do not change size while it runs. */
    SmcCachedKey cache[SMC_KEY_CACHE_SIZE];
    uint32_t cached;
    uint32_t nextVictim;
} SmcDriver;

/* Forgets every key description (the emulated SMC of the tests can change its keys). */
void smcDriverForgetKeys(SmcDriver* driver);

/* Whether a write of size bytes to key is on the list: a fan's mode "F0Md"/"F1Md" (1 byte), its
 * target speed "F0Tg"/"F1Tg" (4 bytes flt, or 2 bytes fpe2 before the T2 chip), the force mask
 * "FS! " (1 byte, or 2 before the T2 chip). */
int smcWriteAllowed(const uint8_t key[4], uint32_t size);

/* One request. buffer is the shared input and output buffer (NULL only with both sizes 0);
 * *information is the number of reply bytes, set only on success. */
SmcRequestStatus smcHandleRequest(SmcDriver* driver, uint32_t code, uint8_t* buffer,
                                  uint32_t inputSize, uint32_t outputSize, uint32_t* information);

#ifdef __cplusplus
}
#endif

#endif
