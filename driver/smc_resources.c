#include "smc_resources.h"

#include "smc_bus.h"

static uint32_t le32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static uint64_t le64(const uint8_t* p) {
    return (uint64_t)le32(p) | (uint64_t)le32(p + 4) << 32;
}

static void takePorts(SmcResources* out, uint64_t start, uint64_t span) {
    if (out->portSpan || span < SMC_PORT_SPAN || start + span > 0x10000u)
        return;
    out->portBase = (uint16_t)start;
    out->portSpan = (uint32_t)span;
}

static void takeWindow(SmcResources* out, uint64_t start, uint64_t span) {
    if (out->windowSpan || span < SMC_WINDOW_MIN_SPAN || start == 0 || start + span < start)
        return;
    out->windowBase = start;
    out->windowSpan = span > SMC_WINDOW_MAP_SPAN ? SMC_WINDOW_MAP_SPAN : (uint32_t)span;
}

/* The length of a large memory range, scaled as its flags say. */
static uint64_t largeSpan(uint16_t flags, uint32_t raw) {
    if (flags & 0x0200u)
        return (uint64_t)raw << 8;
    if (flags & 0x0400u)
        return (uint64_t)raw << 16;
    if (flags & 0x0800u)
        return (uint64_t)raw << 32;
    return 0;
}

int smcParseResourceList(const uint8_t* bytes, uint32_t length, SmcResources* out) {
    uint32_t at = 4, lists;
    out->portBase = 0;
    out->portSpan = 0;
    out->windowBase = 0;
    out->windowSpan = 0;
    if (!bytes || length < 4)
        return 0;
    lists = le32(bytes);
    for (uint32_t l = 0; l < lists; ++l) {
        uint32_t partials;
        if (length - at < SMC_RESOURCE_FULL_HEADER)
            goto malformed;
        partials = le32(bytes + at + 12);
        at += SMC_RESOURCE_FULL_HEADER;
        for (uint32_t p = 0; p < partials; ++p) {
            const uint8_t* d;
            uint16_t flags;
            if (length - at < SMC_RESOURCE_PARTIAL_SIZE)
                goto malformed;
            d = bytes + at;
            at += SMC_RESOURCE_PARTIAL_SIZE;
            flags = (uint16_t)(d[2] | d[3] << 8);
            switch (d[0]) {
            case SMC_RESOURCE_PORT:
                takePorts(out, le64(d + 4), le32(d + 12));
                break;
            case SMC_RESOURCE_MEMORY:
                takeWindow(out, le64(d + 4), le32(d + 12));
                break;
            case SMC_RESOURCE_MEMORY_LARGE:
                takeWindow(out, le64(d + 4), largeSpan(flags, le32(d + 12)));
                break;
            case SMC_RESOURCE_DEVICE_SPECIFIC: {
                /* Its data follows the descriptor. */
                const uint32_t extra = le32(d + 4);
                if (length - at < extra)
                    goto malformed;
                at += extra;
                break;
            }
            default:
                break;
            }
        }
    }
    return 1;
malformed:
    out->portBase = 0;
    out->portSpan = 0;
    out->windowBase = 0;
    out->windowSpan = 0;
    return 0;
}

int smcIsAppleMaker(const uint16_t* text, uint32_t units) {
    static const char apple[] = "Apple";
    if (!text || units < 5)
        return 0;
    for (uint32_t i = 0; i < 5; ++i)
        if (text[i] != (uint16_t)apple[i])
            return 0;
    /* "Apple" alone, "Apple Inc." or "Apple Computer, Inc.", not "Applewood". */
    return units == 5 || text[5] == 0 || text[5] == ' ' || text[5] == ',';
}
