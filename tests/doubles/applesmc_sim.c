/* SMC simulator: a kernel-mode stand-in for applesmc.sys, so the program's real service
 * installation and device I/O run end to end under Wine (or on a test machine).
 *
 * It creates \Device\APPLESMC with the link \DosDevices\APPLESMC and answers the program's three
 * buffered requests from its own key table (smc_sim_protocol.h): reads only in a key's own size,
 * writes only to writable keys (the fan mode and target keys, "FS! ") in their size, unknown
 * keys fail. QUERY_MODE answers 0 (port I/O) until a test sets another byte.
 *
 * Observing and steering it from a test program: open \\.\APPLESMC and send
 *   SMC_SIM_IOCTL_RESET                       back to the start-up table, empty request log;
 *   SMC_SIM_IOCTL_SET_KEY  (SmcSimKey)        set a temperature, a fan speed, or remove a key
 *                                             (size 0); e.g. TC0P as 4 bytes of float 71.0;
 *   SMC_SIM_IOCTL_GET_KEY  (4 chars -> SmcSimKey)  read a key as stored, e.g. F0Tg after a write;
 *   SMC_SIM_IOCTL_SET_MODE (1 byte)           the T2 flag QUERY_MODE reports;
 *   SMC_SIM_IOCTL_GET_LOG  (-> SmcSimLog)     every program request since the reset, its first
 *                                             12 input bytes and whether it succeeded;
 *   SMC_SIM_IOCTL_SET_FAULTS (2 bytes)        every product request fails / the device's name is
 *                                             gone (tools still reach it as \\.\APPLESMCSIM).
 *   SMC_SIM_IOCTL_SET_TABLE (1 byte)          the keys of the T2 table (0) or the older
 *                                             generation's (1); a reset goes back to T2.
 * The state lives as long as the driver, i.e. as long as the Wine session that loaded it.
 *
 * Built freestanding with MinGW (no C runtime): no library calls besides the kernel's. */
#include <ntddk.h>

#include "smc_sim_protocol.h"

static const SmcSimKey defaultKeys[] = SMC_SIM_DEFAULT_KEYS;
static const SmcSimKey olderKeys[] = SMC_SIM_OLDER_KEYS;
static SmcSimKey keys[SMC_SIM_MAX_KEYS];
static unsigned keyCount;
static unsigned char modeByte;
static SmcSimLog requestLog;
static unsigned char failRequests;
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

static void loadKeys(const SmcSimKey* table, unsigned count) {
    keyCount = 0;
    for (unsigned i = 0; i < count && i < SMC_SIM_MAX_KEYS; ++i)
        copyBytes(&keys[keyCount++], &table[i], sizeof(SmcSimKey));
}

static void resetState(void) {
    loadKeys(defaultKeys, sizeof defaultKeys / sizeof defaultKeys[0]);
    modeByte = 0;
    failRequests = 0;
    zeroBytes(&requestLog, sizeof requestLog);
}

/* Never more than the four data bytes a key holds, whatever a size byte says. */
static ULONG dataSize(const SmcSimKey* k) {
    return k->size > 4 ? 4 : k->size;
}

static SmcSimKey* findKey(const unsigned char* name) {
    for (unsigned i = 0; i < keyCount; ++i) {
        const unsigned char* k = (const unsigned char*)keys[i].key;
        if (k[0] == name[0] && k[1] == name[1] && k[2] == name[2] && k[3] == name[3])
            return &keys[i];
    }
    return 0;
}

static void removeKey(const unsigned char* name) {
    SmcSimKey* k = findKey(name);
    if (!k)
        return;
    const unsigned last = keyCount - 1;
    if (k != &keys[last])
        copyBytes(k, &keys[last], sizeof(SmcSimKey));
    keyCount = last;
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

/* The device's public name, the one the program opens. Without it new opens fail as if the
 * driver were gone, while open handles and the test tools' own name keep working. */
static void setPublicName(int present) {
    UNICODE_STRING name, link;
    if (present == !publicNameRemoved)
        return;
    RtlInitUnicodeString(&name, L"\\Device\\APPLESMC");
    RtlInitUnicodeString(&link, L"\\DosDevices\\APPLESMC");
    if (present) {
        if (NT_SUCCESS(IoCreateSymbolicLink(&link, &name)))
            publicNameRemoved = 0;
    } else if (NT_SUCCESS(IoDeleteSymbolicLink(&link))) {
        publicNameRemoved = 1;
    }
}

/* The program's three requests. */
static NTSTATUS productRequest(ULONG code, unsigned char* buffer, ULONG inputSize, ULONG outputSize,
                               ULONG_PTR* information) {
    unsigned char request[12];
    SmcSimKey* k;
    /* The system buffer is shared by input and output: take the input first. */
    zeroBytes(request, sizeof request);
    copyBytes(request, buffer, inputSize < sizeof request ? inputSize : sizeof request);
    if (failRequests)
        return STATUS_IO_DEVICE_ERROR;
    switch (code) {
    case SMC_IOCTL_QUERY_MODE:
        if (outputSize < 1)
            return STATUS_BUFFER_TOO_SMALL;
        buffer[0] = modeByte;
        *information = 1;
        return STATUS_SUCCESS;
    case SMC_IOCTL_READ_KEY:
        if (inputSize < 5)
            return STATUS_INVALID_PARAMETER;
        k = findKey(request);
        if (!k)
            return STATUS_OBJECT_NAME_NOT_FOUND;
        if (request[4] != k->size)
            return STATUS_INVALID_PARAMETER;
        if (outputSize < k->size)
            return STATUS_BUFFER_TOO_SMALL;
        copyBytes(buffer, k->data, dataSize(k));
        *information = k->size;
        return STATUS_SUCCESS;
    case SMC_IOCTL_WRITE_KEY:
        if (inputSize < 5)
            return STATUS_INVALID_PARAMETER;
        k = findKey(request);
        if (!k)
            return STATUS_OBJECT_NAME_NOT_FOUND;
        if (!(k->flags & SMC_SIM_FLAG_WRITABLE))
            return STATUS_ACCESS_DENIED;
        if (request[4] != k->size || inputSize < 5u + k->size)
            return STATUS_INVALID_PARAMETER;
        copyBytes(k->data, request + 5, dataSize(k));
        return STATUS_SUCCESS;
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

/* The test-only requests. */
static NTSTATUS simulatorRequest(ULONG code, unsigned char* buffer, ULONG inputSize,
                                 ULONG outputSize, ULONG_PTR* information) {
    SmcSimKey given;
    SmcSimKey* k;
    switch (code) {
    case SMC_SIM_IOCTL_RESET:
        resetState();
        setPublicName(1);
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_SET_KEY:
        if (inputSize < sizeof(SmcSimKey))
            return STATUS_INVALID_PARAMETER;
        copyBytes(&given, buffer, sizeof given);
        if (given.size == 0) {
            removeKey((const unsigned char*)given.key);
            return STATUS_SUCCESS;
        }
        if (given.size != 1 && given.size != 2 && given.size != 4)
            return STATUS_INVALID_PARAMETER;
        k = findKey((const unsigned char*)given.key);
        if (!k) {
            if (keyCount >= SMC_SIM_MAX_KEYS)
                return STATUS_INSUFFICIENT_RESOURCES;
            k = &keys[keyCount++];
        }
        copyBytes(k, &given, sizeof given);
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_GET_KEY:
        if (inputSize < 4 || outputSize < sizeof(SmcSimKey))
            return STATUS_INVALID_PARAMETER;
        k = findKey(buffer);
        if (!k)
            return STATUS_OBJECT_NAME_NOT_FOUND;
        copyBytes(buffer, k, sizeof(SmcSimKey));
        *information = sizeof(SmcSimKey);
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_SET_MODE:
        if (inputSize < 1)
            return STATUS_INVALID_PARAMETER;
        modeByte = buffer[0];
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_SET_FAULTS:
        if (inputSize < 2)
            return STATUS_INVALID_PARAMETER;
        failRequests = buffer[0];
        setPublicName(!buffer[1]);
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_SET_TABLE:
        if (inputSize < 1 || buffer[0] > SMC_SIM_TABLE_OLDER)
            return STATUS_INVALID_PARAMETER;
        if (buffer[0] == SMC_SIM_TABLE_OLDER)
            loadKeys(olderKeys, sizeof olderKeys / sizeof olderKeys[0]);
        else
            loadKeys(defaultKeys, sizeof defaultKeys / sizeof defaultKeys[0]);
        return STATUS_SUCCESS;
    case SMC_SIM_IOCTL_GET_LOG:
        if (outputSize < sizeof requestLog)
            return STATUS_BUFFER_TOO_SMALL;
        copyBytes(buffer, &requestLog, sizeof requestLog);
        *information = sizeof requestLog;
        return STATUS_SUCCESS;
    default:
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

static NTSTATUS dispatchCreateClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    irp->IoStatus.Status = STATUS_SUCCESS;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_SUCCESS;
}

static NTSTATUS dispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    unsigned char* buffer = (unsigned char*)irp->AssociatedIrp.SystemBuffer;
    unsigned char logged[12];
    ULONG_PTR information = 0;
    NTSTATUS status;
    (void)device;

    if (!buffer && (inputSize || outputSize)) {
        status = STATUS_INVALID_PARAMETER;
    } else if (code == SMC_IOCTL_READ_KEY || code == SMC_IOCTL_WRITE_KEY ||
               code == SMC_IOCTL_QUERY_MODE) {
        zeroBytes(logged, sizeof logged);
        if (buffer)
            copyBytes(logged, buffer, inputSize < sizeof logged ? inputSize : sizeof logged);
        status = productRequest(code, buffer, inputSize, outputSize, &information);
        logRequest(code, logged, inputSize, NT_SUCCESS(status));
    } else {
        status = simulatorRequest(code, buffer, inputSize, outputSize, &information);
    }
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static void driverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    setPublicName(0);
    RtlInitUnicodeString(&link, L"\\DosDevices\\APPLESMCSIM");
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = 0;
    NTSTATUS status;
    (void)registryPath;

    resetState();
    RtlInitUnicodeString(&name, L"\\Device\\APPLESMC");
    RtlInitUnicodeString(&link, L"\\DosDevices\\APPLESMC");
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    /* The test tools' own name, which a simulated loss of the device leaves in place. */
    RtlInitUnicodeString(&link, L"\\DosDevices\\APPLESMCSIM");
    IoCreateSymbolicLink(&link, &name);
    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->DriverUnload = driverUnload;
    return STATUS_SUCCESS;
}
