/* What the SMC protocols need from the machine, and nothing more: a byte of an I/O port, a
 * register of the SMC's memory window at a given width, and a busy wait. The kernel part binds
 * these to the hardware; the tests bind them to an emulated SMC. Portable C, no kernel calls. */
#ifndef SMC_ACCESS_H
#define SMC_ACCESS_H

#include <stdint.h>

typedef struct SmcAccess {
    void* context;
    uint8_t (*portRead)(void* context, uint16_t port);
    void (*portWrite)(void* context, uint16_t port, uint8_t value);
    /* offset from the window's start; width 1, 2 or 4 bytes, little-endian */
    uint32_t (*windowRead)(void* context, uint32_t offset, uint8_t width);
    void (*windowWrite)(void* context, uint32_t offset, uint8_t width, uint32_t value);
    void (*stall)(void* context, uint32_t microseconds);
} SmcAccess;

#endif
