/* The real SMC: found through the firmware's maker and the ACPI device APP0001's resources in the
 * registry, reached through READ_PORT_UCHAR/WRITE_PORT_UCHAR and an uncached mapping of its
 * memory window, waited for with KeStallExecutionProcessor (short waits) or by sleeping (the
 * long back-off waits of an SMC that is slow to answer).
 *
 * Why the registry and not a PnP binding: the program installs and starts this driver as a
 * plain kernel service (no INF), and the SMC's ACPI device may already have a driver of its
 * own; the resource list that Windows keeps for the device tells where its ports and window are
 * without taking the device over. */
#include <ntifs.h>

#include "kernel/smc_binding.h"
#include "smc_resources.h"

_Static_assert(sizeof(CM_PARTIAL_RESOURCE_DESCRIPTOR) == SMC_RESOURCE_PARTIAL_SIZE,
               "partial descriptor layout");
_Static_assert(FIELD_OFFSET(CM_RESOURCE_LIST, List) == 4, "resource list layout");
_Static_assert(FIELD_OFFSET(CM_FULL_RESOURCE_DESCRIPTOR, PartialResourceList.PartialDescriptors) ==
                   SMC_RESOURCE_FULL_HEADER,
               "full descriptor layout");

#define POOL_TAG 0x636D7356u /* "Vsmc" */
#define VALUE_BUFFER 2048u
#define MAX_INSTANCES 8u

static PUCHAR window;
static ULONG windowSpan;
static SmcAccess access;

static uint8_t hwPortRead(void* context, uint16_t port) {
    (void)context;
    return READ_PORT_UCHAR((PUCHAR)(ULONG_PTR)port);
}

static void hwPortWrite(void* context, uint16_t port, uint8_t value) {
    (void)context;
    WRITE_PORT_UCHAR((PUCHAR)(ULONG_PTR)port, value);
}

static uint32_t hwWindowRead(void* context, uint32_t offset, uint8_t width) {
    (void)context;
    if (!window || offset > windowSpan || windowSpan - offset < width)
        return 0xFFFFFFFFu;
    switch (width) {
    case 1:
        return READ_REGISTER_UCHAR(window + offset);
    case 2:
        return READ_REGISTER_USHORT((volatile USHORT*)(window + offset));
    case 4:
        return READ_REGISTER_ULONG((volatile ULONG*)(window + offset));
    default:
        return 0xFFFFFFFFu;
    }
}

static void hwWindowWrite(void* context, uint32_t offset, uint8_t width, uint32_t value) {
    (void)context;
    if (!window || offset > windowSpan || windowSpan - offset < width)
        return;
    switch (width) {
    case 1:
        WRITE_REGISTER_UCHAR(window + offset, (UCHAR)value);
        break;
    case 2:
        WRITE_REGISTER_USHORT((volatile USHORT*)(window + offset), (USHORT)value);
        break;
    case 4:
        WRITE_REGISTER_ULONG((volatile ULONG*)(window + offset), value);
        break;
    default:
        break;
    }
}

static void hwStall(void* context, uint32_t microseconds) {
    (void)context;
    if (microseconds <= 50) {
        KeStallExecutionProcessor(microseconds);
    } else {
        LARGE_INTEGER interval;
        interval.QuadPart = -(LONGLONG)microseconds * 10;
        KeDelayExecutionThread(KernelMode, FALSE, &interval);
    }
}

static HANDLE openKey(HANDLE parent, const WCHAR* path) {
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    HANDLE key = NULL;
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, parent,
                               NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes)))
        return NULL;
    return key;
}

/* A value's data of the given type into the buffer; its length, 0 when absent or of another
 * type. */
static ULONG readValue(HANDLE key, const WCHAR* valueName, ULONG type, PUCHAR buffer) {
    UNICODE_STRING name;
    PKEY_VALUE_PARTIAL_INFORMATION info = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG returned = 0;
    RtlInitUnicodeString(&name, valueName);
    if (!NT_SUCCESS(ZwQueryValueKey(key, &name, KeyValuePartialInformation, info, VALUE_BUFFER,
                                    &returned)) ||
        info->Type != type ||
        info->DataLength > VALUE_BUFFER - FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data))
        return 0;
    return info->DataLength;
}

static int isAppleMachine(PUCHAR buffer) {
    HANDLE key = openKey(NULL, L"\\Registry\\Machine\\HARDWARE\\DESCRIPTION\\System\\BIOS");
    ULONG length;
    int apple = 0;
    if (!key)
        return 0;
    length = readValue(key, L"SystemManufacturer", REG_SZ, buffer);
    if (length)
        apple = smcIsAppleMaker((const uint16_t*)((PKEY_VALUE_PARTIAL_INFORMATION)buffer)->Data,
                                length / 2);
    ZwClose(key);
    return apple;
}

/* The resources of one instance of the device: those assigned at its start, else those the
 * firmware gave it at boot. */
static int instanceResources(HANDLE instance, PUCHAR buffer, SmcResources* out) {
    static const WCHAR* const places[2][2] = {{L"Control", L"AllocConfig"},
                                              {L"LogConf", L"BootConfig"}};
    for (int i = 0; i < 2; ++i) {
        HANDLE key = openKey(instance, places[i][0]);
        ULONG length;
        int found;
        if (!key)
            continue;
        length = readValue(key, places[i][1], REG_RESOURCE_LIST, buffer);
        found = length &&
                smcParseResourceList(((PKEY_VALUE_PARTIAL_INFORMATION)buffer)->Data, length, out) &&
                (out->portSpan || out->windowSpan);
        ZwClose(key);
        if (found)
            return 1;
    }
    return 0;
}

static int findResources(PUCHAR buffer, SmcResources* out) {
    HANDLE device =
        openKey(NULL, L"\\Registry\\Machine\\SYSTEM\\CurrentControlSet\\Enum\\ACPI\\APP0001");
    int found = 0;
    if (!device)
        return 0;
    for (ULONG i = 0; i < MAX_INSTANCES && !found; ++i) {
        PKEY_BASIC_INFORMATION info = (PKEY_BASIC_INFORMATION)buffer;
        ULONG returned = 0;
        WCHAR name[64];
        ULONG units;
        HANDLE instance;
        if (!NT_SUCCESS(
                ZwEnumerateKey(device, i, KeyBasicInformation, info, VALUE_BUFFER, &returned)))
            break;
        units = info->NameLength / sizeof(WCHAR);
        if (units == 0 || units >= 64)
            continue;
        for (ULONG c = 0; c < units; ++c)
            name[c] = info->Name[c];
        name[units] = 0;
        instance = openKey(device, name);
        if (instance) {
            found = instanceResources(instance, buffer, out);
            ZwClose(instance);
        }
    }
    ZwClose(device);
    return found;
}

NTSTATUS smcBindingAttach(PUNICODE_STRING registryPath, SmcDriver* smc) {
    SmcResources resources;
    PUCHAR buffer;
    int found;
    (void)registryPath;
    buffer = (PUCHAR)ExAllocatePoolWithTag(PagedPool, VALUE_BUFFER, POOL_TAG);
    if (!buffer)
        return STATUS_INSUFFICIENT_RESOURCES;
    /* A driver installed on any other machine stops here, before touching a port. */
    found = isAppleMachine(buffer) && findResources(buffer, &resources);
    ExFreePoolWithTag(buffer, POOL_TAG);
    if (!found)
        return STATUS_DEVICE_DOES_NOT_EXIST;

    access.context = NULL;
    access.portRead = hwPortRead;
    access.portWrite = hwPortWrite;
    access.windowRead = hwWindowRead;
    access.windowWrite = hwWindowWrite;
    access.stall = hwStall;
    if (resources.windowSpan) {
        PHYSICAL_ADDRESS start;
        start.QuadPart = (LONGLONG)resources.windowBase;
        window = (PUCHAR)MmMapIoSpace(start, resources.windowSpan, MmNonCached);
        windowSpan = window ? resources.windowSpan : 0;
    }
    smcDriverForgetKeys(smc);
    if (smcChoosePath(&smc->bus, &access, resources.portBase, resources.portSpan, windowSpan) ==
        SMC_PATH_NONE) {
        smcBindingDetach(smc);
        return STATUS_DEVICE_DOES_NOT_EXIST;
    }
    /* The window stays mapped only while it is the way to the SMC. */
    if (smc->bus.path != SMC_PATH_WINDOW && window) {
        MmUnmapIoSpace(window, windowSpan);
        window = NULL;
        windowSpan = 0;
        smc->bus.windowSpan = 0;
    }
    return STATUS_SUCCESS;
}

void smcBindingDeviceReady(PDEVICE_OBJECT device) {
    (void)device;
}

void smcBindingDetach(SmcDriver* smc) {
    smc->bus.path = SMC_PATH_NONE;
    if (window)
        MmUnmapIoSpace(window, windowSpan);
    window = NULL;
    windowSpan = 0;
}

SmcRequestStatus smcBindingRequest(SmcDriver* smc, ULONG code, UCHAR* buffer, ULONG inputSize,
                                   ULONG outputSize, ULONG* information) {
    uint32_t count = 0;
    const SmcRequestStatus status =
        smcHandleRequest(smc, code, buffer, inputSize, outputSize, &count);
    if (status == SMC_REQ_OK)
        *information = count;
    return status;
}
