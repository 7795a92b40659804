/* Who may open the device: SYSTEM (S-1-5-18) and the Administrators group (S-1-5-32-544), with
 * full access; nobody else. The access list as Windows stores it, built without kernel calls so
 * that the tests can check the very bytes the driver puts on its device. */
#ifndef SMC_DEVICE_ACL_H
#define SMC_DEVICE_ACL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SMC_DEVICE_ACL_SIZE 52u
#define SMC_DEVICE_FULL_ACCESS 0x001F01FFu /* FILE_ALL_ACCESS */

/* Writes the ACL into out (4-byte aligned); returns its size, or 0 when capacity is short. */
uint32_t smcDeviceAcl(uint8_t* out, uint32_t capacity);

#ifdef __cplusplus
}
#endif

#endif
