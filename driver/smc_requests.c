#include "smc_requests.h"

#include "smc_ioctl.h"

#define REQUEST_HEADER 5u

void smcDriverForgetKeys(SmcDriver* driver) {
    driver->cached = 0;
    driver->nextVictim = 0;
}

static int sameKey(const uint8_t a[4], const uint8_t b[4]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

static int isFanDigit(uint8_t c) {
    return c == '0' || c == '1';
}

int smcWriteAllowed(const uint8_t key[4], uint32_t size) {
    static const uint8_t force[4] = {'F', 'S', '!', ' '};
    if (sameKey(key, force))
        return size == 1 || size == 2;
    if (key[0] != 'F' || !isFanDigit(key[1]))
        return 0;
    if (key[2] == 'M' && key[3] == 'd')
        return size == 1;
    if (key[2] == 'T' && key[3] == 'g')
        return size == 2 || size == 4;
    return 0;
}

static int printableKey(const uint8_t key[4]) {
    for (int i = 0; i < 4; ++i)
        if (key[i] < 0x20 || key[i] > 0x7E)
            return 0;
    return 1;
}

static SmcRequestStatus statusOf(SmcResult r) {
    switch (r) {
    case SMC_OK:
        return SMC_REQ_OK;
    case SMC_NOT_FOUND:
        return SMC_REQ_NOT_FOUND;
    case SMC_NOT_WRITABLE:
        return SMC_REQ_DENIED;
    case SMC_SIZE_MISMATCH:
        return SMC_REQ_BAD_PARAMETER;
    case SMC_TIMEOUT:
        return SMC_REQ_TIMEOUT;
    case SMC_NO_PATH:
        return SMC_REQ_NOT_READY;
    default:
        return SMC_REQ_DEVICE_ERROR;
    }
}

static SmcResult keyInfo(SmcDriver* driver, const uint8_t key[4], SmcKeyInfo* info) {
    SmcResult r;
    for (uint32_t i = 0; i < driver->cached; ++i) {
        if (sameKey(driver->cache[i].key, key)) {
            *info = driver->cache[i].info;
            return SMC_OK;
        }
    }
    r = smcGetKeyInfo(&driver->bus, key, info);
    if (r == SMC_OK) {
        SmcCachedKey* slot;
        if (driver->cached < SMC_KEY_CACHE_SIZE) {
            slot = &driver->cache[driver->cached++];
        } else {
            slot = &driver->cache[driver->nextVictim];
            driver->nextVictim = (driver->nextVictim + 1) % SMC_KEY_CACHE_SIZE;
        }
        for (int i = 0; i < 4; ++i)
            slot->key[i] = key[i];
        slot->info = *info;
    }
    return r;
}

/* The key of a read or write request and its size byte, checked against the key's own size. */
static SmcRequestStatus checkKey(SmcDriver* driver, const uint8_t request[REQUEST_HEADER]) {
    SmcKeyInfo info;
    SmcResult r;
    if (!printableKey(request) || request[4] == 0 || request[4] > SMC_MAX_DATA)
        return SMC_REQ_BAD_PARAMETER;
    r = keyInfo(driver, request, &info);
    if (r != SMC_OK)
        return statusOf(r);
    return info.size == request[4] ? SMC_REQ_OK : SMC_REQ_BAD_PARAMETER;
}

static SmcRequestStatus readKey(SmcDriver* driver, uint8_t* buffer, uint32_t inputSize,
                                uint32_t outputSize, uint32_t* information) {
    uint8_t request[REQUEST_HEADER];
    uint8_t data[SMC_MAX_DATA];
    SmcRequestStatus status;
    SmcResult r;
    if (inputSize != REQUEST_HEADER)
        return SMC_REQ_BAD_PARAMETER;
    /* Input and output share the buffer: the request is copied before anything is written. */
    for (uint32_t i = 0; i < REQUEST_HEADER; ++i)
        request[i] = buffer[i];
    if (outputSize < request[4])
        return SMC_REQ_BUFFER_TOO_SMALL;
    status = checkKey(driver, request);
    if (status != SMC_REQ_OK)
        return status;
    r = smcReadKey(&driver->bus, request, data, request[4]);
    if (r != SMC_OK)
        return statusOf(r);
    for (uint32_t i = 0; i < request[4]; ++i)
        buffer[i] = data[i];
    *information = request[4];
    return SMC_REQ_OK;
}

static SmcRequestStatus writeKey(SmcDriver* driver, const uint8_t* buffer, uint32_t inputSize,
                                 uint32_t* information) {
    SmcRequestStatus status;
    if (inputSize < REQUEST_HEADER || inputSize != REQUEST_HEADER + buffer[4])
        return SMC_REQ_BAD_PARAMETER;
    if (!smcWriteAllowed(buffer, buffer[4]))
        return SMC_REQ_DENIED;
    status = checkKey(driver, buffer);
    if (status != SMC_REQ_OK)
        return status;
    status = statusOf(smcWriteKey(&driver->bus, buffer, buffer + REQUEST_HEADER, buffer[4]));
    if (status == SMC_REQ_OK)
        *information = 0;
    return status;
}

SmcRequestStatus smcHandleRequest(SmcDriver* driver, uint32_t code, uint8_t* buffer,
                                  uint32_t inputSize, uint32_t outputSize, uint32_t* information) {
    if (!buffer && (inputSize || outputSize))
        return SMC_REQ_BAD_PARAMETER;
    switch (code) {
    case SMC_IOCTL_QUERY_MODE:
        if (driver->bus.path == SMC_PATH_NONE)
            return SMC_REQ_NOT_READY;
        if (outputSize < 1)
            return SMC_REQ_BUFFER_TOO_SMALL;
        buffer[0] = driver->bus.path == SMC_PATH_WINDOW ? 1u : 0u;
        *information = 1;
        return SMC_REQ_OK;
    case SMC_IOCTL_READ_KEY:
        if (driver->bus.path == SMC_PATH_NONE)
            return SMC_REQ_NOT_READY;
        return readKey(driver, buffer, inputSize, outputSize, information);
    case SMC_IOCTL_WRITE_KEY:
        if (driver->bus.path == SMC_PATH_NONE)
            return SMC_REQ_NOT_READY;
        return writeKey(driver, buffer, inputSize, information);
    default:
        return SMC_REQ_UNKNOWN_REQUEST;
    }
}
