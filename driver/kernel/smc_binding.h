/* What the device's kernel part leaves to the build it is linked into: the real driver binds the
 * protocols to the hardware of the machine's SMC device; the test build binds them to an
 * emulated SMC and adds its own requests. */
#ifndef SMC_BINDING_H
#define SMC_BINDING_H

#include <ntifs.h>

#include "smc_requests.h"

/* Finds the SMC and chooses its interface; any failure status means that no SMC answered (or
 * that the machine has none), and the driver does not load. */
NTSTATUS smcBindingAttach(PUNICODE_STRING registryPath, SmcDriver* smc);
/* Called once the device and its name exist. */
void smcBindingDeviceReady(PDEVICE_OBJECT device);
/* Releases what attach took, before the device goes. */
void smcBindingDetach(SmcDriver* smc);
/* Every request of the device, one at a time under the device's lock. */
SmcRequestStatus smcBindingRequest(SmcDriver* smc, ULONG code, UCHAR* buffer, ULONG inputSize,
                                   ULONG outputSize, ULONG* information);

#endif
