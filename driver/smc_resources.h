/* Where the SMC's device (ACPI "APP0001") was given its I/O ports and memory window, read from
 * the resource list Windows keeps for it in the registry (REG_RESOURCE_LIST). Portable C. */
#ifndef SMC_RESOURCES_H
#define SMC_RESOURCES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SmcResources {
    uint16_t portBase;
    uint32_t portSpan; /* 0: no usable port range */
    uint64_t windowBase;
    uint32_t windowSpan; /* 0: no usable window */
} SmcResources;

/* Layout of a CM_RESOURCE_LIST on x64: a count of full descriptors, each an interface type, a
 * bus number, a version, a revision and a count of 20-byte partial descriptors (type, share,
 * flags, then start and length; the largest variant, an interrupt with its 8-byte affinity,
 * gives the size). */
#define SMC_RESOURCE_FULL_HEADER 16u
#define SMC_RESOURCE_PARTIAL_SIZE 20u
#define SMC_RESOURCE_PORT 1u
#define SMC_RESOURCE_MEMORY 3u
#define SMC_RESOURCE_DEVICE_SPECIFIC 5u
#define SMC_RESOURCE_MEMORY_LARGE 7u

/* The SMC's window is 0x10000 bytes; a longer range is used only that far. */
#define SMC_WINDOW_MAP_SPAN 0x10000u

/* Takes the first port range of at least 0x20 ports below 0x10000 and the first memory range of
 * at least 0x4006 bytes from the list. Returns 0 (and an empty *out) when the bytes are not a
 * well-formed list; never reads outside bytes[0, length). */
int smcParseResourceList(const uint8_t* bytes, uint32_t length, SmcResources* out);

/* Whether the firmware's maker name (UTF-16, without or with its terminator) is Apple's. */
int smcIsAppleMaker(const uint16_t* text, uint32_t units);

#ifdef __cplusplus
}
#endif

#endif
