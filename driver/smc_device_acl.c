#include "smc_device_acl.h"

static uint32_t put16(uint8_t* p, uint32_t at, uint32_t v) {
    p[at] = (uint8_t)v;
    p[at + 1] = (uint8_t)(v >> 8);
    return at + 2;
}

static uint32_t put32(uint8_t* p, uint32_t at, uint32_t v) {
    return put16(p, put16(p, at, v & 0xFFFFu), v >> 16);
}

/* An access-allowed entry for the NT authority (5) SID with the given sub-authorities. */
static uint32_t putAllowed(uint8_t* p, uint32_t at, const uint32_t* subs, uint8_t count) {
    const uint32_t size = 8u + 8u + 4u * count;
    p[at] = 0; /* ACCESS_ALLOWED_ACE_TYPE */
    p[at + 1] = 0;
    at = put16(p, at + 2, size);
    at = put32(p, at, SMC_DEVICE_FULL_ACCESS);
    p[at++] = 1; /* SID revision */
    p[at++] = count;
    for (int i = 0; i < 5; ++i)
        p[at++] = 0;
    p[at++] = 5;
    for (uint8_t i = 0; i < count; ++i)
        at = put32(p, at, subs[i]);
    return at;
}

uint32_t smcDeviceAcl(uint8_t* out, uint32_t capacity) {
    static const uint32_t system[] = {18};
    static const uint32_t administrators[] = {32, 544};
    uint32_t at;
    if (!out || capacity < SMC_DEVICE_ACL_SIZE)
        return 0;
    out[0] = 2; /* ACL_REVISION */
    out[1] = 0;
    at = put16(out, 2, SMC_DEVICE_ACL_SIZE);
    at = put16(out, at, 2);
    at = put16(out, at, 0);
    at = putAllowed(out, at, system, 1);
    return putAllowed(out, at, administrators, 2);
}
