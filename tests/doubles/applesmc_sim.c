/* The test build of the driver: the real device, request handling and protocols
 * (driver/kernel/driver_entry.c and the portable core), with the emulated SMC of smc_emulated.c
 * behind the access interface instead of the hardware, so the program's driver installation and
 * every request it sends run end to end under Wine.
 *
 * Besides the program's three requests it answers the test requests of smc_sim_protocol.h
 * (reset, set and get a key, the emulated machine, the request log, faults, the key table); the
 * real driver has none of them. Its state lives as long as the driver, i.e. as long as the Wine
 * session that loaded it. Built freestanding with MinGW (no C runtime). */
#include <ntifs.h>

#include "kernel/smc_binding.h"
#include "smc_emulated.h"

#define SIM_LINK L"\\DosDevices\\APPLESMCSIM"

static SmcEmulated model;
static SmcAccess access;
static SmcSimLog requestLog;
static uint8_t machine;
static int publicNameRemoved;

static void copyBytes(void* to, const void* from, ULONG n) {
    unsigned char* d = (unsigned char*)to;
    const unsigned char* s = (const unsigned char*)from;
    for (ULONG i = 0; i < n; ++i)
        d[i] = s[i];
}

static void zeroBytes(void* to, ULONG n) {
    volatile unsigned char* d = (volatile unsigned char*)to;
    for (ULONG i = 0; i < n; ++i)
        d[i] = 0;
}

/* The driver chooses its interface again, as it does when it loads. */
static void probe(SmcDriver* smc) {
    smcDriverForgetKeys(smc);
    smcChoosePath(&smc->bus, &access, SMC_EMU_PORT_BASE, SMC_PORT_SPAN, SMC_EMU_WINDOW_SPAN);
}

/* The device's public name, the one the program opens. Without it new opens fail as if the
 * driver were gone, while open handles and the test tools' own name keep working. */
static void setPublicName(int present) {
    UNICODE_STRING name, link;
    if (present == !publicNameRemoved)
        return;
    RtlInitUnicodeString(&name, SMC_DEVICE_NAME);
    RtlInitUnicodeString(&link, SMC_DEVICE_LINK);
    if (present) {
        if (NT_SUCCESS(IoCreateSymbolicLink(&link, &name)))
            publicNameRemoved = 0;
    } else if (NT_SUCCESS(IoDeleteSymbolicLink(&link))) {
        publicNameRemoved = 1;
    }
}

static void reset(SmcDriver* smc) {
    smcEmuInit(&model);
    smcEmuAccess(&model, &access);
    machine = SMC_SIM_MACHINE_PORTS;
    zeroBytes(&requestLog, sizeof requestLog);
    probe(smc);
}

static void logRequest(ULONG code, const unsigned char* input, ULONG inputSize, int succeeded) {
    if (requestLog.stored < SMC_SIM_LOG_CAPACITY) {
        SmcSimLogEntry* e = &requestLog.entries[requestLog.stored++];
        e->code = code;
        e->inputSize = inputSize;
        zeroBytes(e->input, sizeof e->input);
        copyBytes(e->input, input, inputSize < sizeof e->input ? inputSize : sizeof e->input);
        e->succeeded = succeeded ? 1u : 0u;
    }
    requestLog.total++;
}

static SmcRequestStatus testRequest(SmcDriver* smc, ULONG code, UCHAR* buffer, ULONG inputSize,
                                    ULONG outputSize, ULONG* information) {
    SmcSimKey given;
    SmcSimKey* k;
    switch (code) {
    case SMC_SIM_IOCTL_RESET:
        reset(smc);
        setPublicName(1);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_SET_KEY:
        if (inputSize < sizeof(SmcSimKey))
            return SMC_REQ_BAD_PARAMETER;
        copyBytes(&given, buffer, sizeof given);
        if (given.size != 0 && given.size != 1 && given.size != 2 && given.size != 4)
            return SMC_REQ_BAD_PARAMETER;
        if (!smcEmuSetKey(&model, &given))
            return SMC_REQ_NO_MEMORY;
        smcDriverForgetKeys(smc);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_GET_KEY:
        if (inputSize < 4 || outputSize < sizeof(SmcSimKey))
            return SMC_REQ_BAD_PARAMETER;
        k = smcEmuFind(&model, buffer);
        if (!k)
            return SMC_REQ_NOT_FOUND;
        copyBytes(buffer, k, sizeof(SmcSimKey));
        *information = sizeof(SmcSimKey);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_SET_MODE:
        if (inputSize < 1 || buffer[0] > SMC_SIM_MACHINE_NONE)
            return SMC_REQ_BAD_PARAMETER;
        machine = buffer[0];
        smcEmuSetMachine(&model, machine);
        probe(smc);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_SET_FAULTS:
        if (inputSize < 2)
            return SMC_REQ_BAD_PARAMETER;
        model.silent = buffer[0] != 0;
        model.stopAfter = 0;
        if (inputSize >= 3)
            model.latencyUs = 1000u * buffer[2];
        setPublicName(!buffer[1]);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_SET_TABLE:
        if (inputSize < 1 || !smcEmuLoadTable(&model, buffer[0]))
            return SMC_REQ_BAD_PARAMETER;
        smcDriverForgetKeys(smc);
        return SMC_REQ_OK;
    case SMC_SIM_IOCTL_GET_LOG:
        if (outputSize < sizeof requestLog)
            return SMC_REQ_BUFFER_TOO_SMALL;
        copyBytes(buffer, &requestLog, sizeof requestLog);
        *information = sizeof requestLog;
        return SMC_REQ_OK;
    default:
        return SMC_REQ_UNKNOWN_REQUEST;
    }
}

NTSTATUS smcBindingAttach(PUNICODE_STRING registryPath, SmcDriver* smc) {
    (void)registryPath;
    reset(smc);
    return smc->bus.path == SMC_PATH_NONE ? STATUS_DEVICE_DOES_NOT_EXIST : STATUS_SUCCESS;
}

void smcBindingDeviceReady(PDEVICE_OBJECT device) {
    UNICODE_STRING name, link;
    (void)device;
    /* The test tools' own name, which a simulated loss of the device leaves in place. */
    RtlInitUnicodeString(&name, SMC_DEVICE_NAME);
    RtlInitUnicodeString(&link, SIM_LINK);
    IoCreateSymbolicLink(&link, &name);
}

void smcBindingDetach(SmcDriver* smc) {
    UNICODE_STRING link;
    smc->bus.path = SMC_PATH_NONE;
    RtlInitUnicodeString(&link, SIM_LINK);
    IoDeleteSymbolicLink(&link);
}

SmcRequestStatus smcBindingRequest(SmcDriver* smc, ULONG code, UCHAR* buffer, ULONG inputSize,
                                   ULONG outputSize, ULONG* information) {
    unsigned char logged[12];
    uint32_t count = 0;
    SmcRequestStatus status;
    if (code != SMC_IOCTL_READ_KEY && code != SMC_IOCTL_WRITE_KEY && code != SMC_IOCTL_QUERY_MODE)
        return testRequest(smc, code, buffer, inputSize, outputSize, information);
    zeroBytes(logged, sizeof logged);
    if (buffer)
        copyBytes(logged, buffer, inputSize < sizeof logged ? inputSize : sizeof logged);
    status = smcHandleRequest(smc, code, buffer, inputSize, outputSize, &count);
    logRequest(code, logged, inputSize, status == SMC_REQ_OK);
    if (status == SMC_REQ_OK)
        *information = count;
    return status;
}
