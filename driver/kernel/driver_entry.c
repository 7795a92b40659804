/* The device \Device\APPLESMC (\\.\APPLESMC): created only once an SMC answered, opened only by
 * SYSTEM and Administrators, its requests buffered and handled one at a time. */
#include <ntifs.h>

#include "kernel/smc_binding.h"
#include "smc_device_acl.h"
#include "smc_ioctl.h"

static SmcDriver smc;
static FAST_MUTEX requestLock;

static NTSTATUS ntStatusOf(SmcRequestStatus status) {
    switch (status) {
    case SMC_REQ_OK:
        return STATUS_SUCCESS;
    case SMC_REQ_BAD_PARAMETER:
        return STATUS_INVALID_PARAMETER;
    case SMC_REQ_BUFFER_TOO_SMALL:
        return STATUS_BUFFER_TOO_SMALL;
    case SMC_REQ_NOT_FOUND:
        return STATUS_OBJECT_NAME_NOT_FOUND;
    case SMC_REQ_DENIED:
        return STATUS_ACCESS_DENIED;
    case SMC_REQ_TIMEOUT:
        return STATUS_IO_TIMEOUT;
    case SMC_REQ_UNKNOWN_REQUEST:
        return STATUS_INVALID_DEVICE_REQUEST;
    case SMC_REQ_NOT_READY:
        return STATUS_DEVICE_NOT_READY;
    case SMC_REQ_NO_MEMORY:
        return STATUS_INSUFFICIENT_RESOURCES;
    default:
        return STATUS_IO_DEVICE_ERROR;
    }
}

/* Replaces the device's default access list (which lets every user open it) before its name
 * becomes visible. */
static NTSTATUS protectDevice(PDEVICE_OBJECT device) {
    ULONG acl[(SMC_DEVICE_ACL_SIZE + 3) / 4];
    SECURITY_DESCRIPTOR descriptor;
    HANDLE handle;
    NTSTATUS status;
    if (smcDeviceAcl((uint8_t*)acl, sizeof acl) != SMC_DEVICE_ACL_SIZE)
        return STATUS_INTERNAL_ERROR;
    status = RtlCreateSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    if (NT_SUCCESS(status))
        status = RtlSetDaclSecurityDescriptor(&descriptor, TRUE, (PACL)acl, FALSE);
    if (!NT_SUCCESS(status))
        return status;
    status = ObOpenObjectByPointer(device, OBJ_KERNEL_HANDLE, NULL, WRITE_DAC, NULL, KernelMode,
                                   &handle);
    if (!NT_SUCCESS(status))
        return status;
    status = ZwSetSecurityObject(handle, DACL_SECURITY_INFORMATION, &descriptor);
    ZwClose(handle);
    return status;
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = NT_SUCCESS(status) ? information : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS dispatchCreateClose(PDEVICE_OBJECT device, PIRP irp) {
    (void)device;
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS dispatchControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR* buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
    ULONG information = 0;
    SmcRequestStatus status;
    (void)device;
    /* Only buffered requests: the system buffer holds max(input, output) bytes. */
    if ((code & 3u) != METHOD_BUFFERED)
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    if (!buffer && (inputSize || outputSize))
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    /* A transaction with the SMC is never interleaved with another one. */
    ExAcquireFastMutex(&requestLock);
    status = smcBindingRequest(&smc, code, buffer, inputSize, outputSize, &information);
    ExReleaseFastMutex(&requestLock);
    if (status == SMC_REQ_OK && information > outputSize)
        return complete(irp, STATUS_INTERNAL_ERROR, 0);
    return complete(irp, ntStatusOf(status), information);
}

static void driverUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, SMC_DEVICE_LINK);
    IoDeleteSymbolicLink(&link);
    smcBindingDetach(&smc);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name, link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    ExInitializeFastMutex(&requestLock);
    /* No SMC, no device: nothing is left that could reach the ports or the memory. */
    status = smcBindingAttach(registryPath, &smc);
    if (!NT_SUCCESS(status))
        return status;
    RtlInitUnicodeString(&name, SMC_DEVICE_NAME);
    RtlInitUnicodeString(&link, SMC_DEVICE_LINK);
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE,
                            &device);
    if (NT_SUCCESS(status)) {
        status = protectDevice(device);
        if (NT_SUCCESS(status))
            status = IoCreateSymbolicLink(&link, &name);
        if (!NT_SUCCESS(status))
            IoDeleteDevice(device);
    }
    if (!NT_SUCCESS(status)) {
        smcBindingDetach(&smc);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->DriverUnload = driverUnload;
    smcBindingDeviceReady(device);
    return STATUS_SUCCESS;
}
