/* AMD's display library as far as the program uses it, built from the SDK's published x64
 * layouts (see fake_adl.h for how it is steered). */
#include "fake_adl.h"

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#define EXPORT __declspec(dllexport)
#else
#define EXPORT
#endif

typedef struct AdapterInfo {
    int iSize, iAdapterIndex;
    char strUDID[256];
    int iBusNumber, iDeviceNumber, iFunctionNumber, iVendorID;
    char strAdapterName[256], strDisplayName[256];
    int iPresent, iExist;
    char strDriverPath[256], strDriverPathExt[256], strPNPString[256];
    int iOSDisplayIndex;
} AdapterInfo;
_Static_assert(sizeof(AdapterInfo) == 1572, "AdapterInfo is 1572 bytes on x64");
typedef struct ADLPMLogDataOutput {
    int size;
    struct {
        int supported, value;
    } sensors[256];
} ADLPMLogDataOutput;
_Static_assert(sizeof(ADLPMLogDataOutput) == 2052, "ADLPMLogDataOutput is 2052 bytes");
typedef struct ADLODNFanControl {
    int iMode, iFanControlMode, iCurrentFanSpeedMode, iCurrentFanSpeed, iTargetFanSpeed,
        iTargetTemperature, iMinPerformanceClock, iMinFanLimit;
} ADLODNFanControl;
_Static_assert(sizeof(ADLODNFanControl) == 32, "ADLODNFanControl is 32 bytes");
typedef struct ADLTemperature {
    int iSize, iTemperature;
} ADLTemperature;
_Static_assert(sizeof(ADLTemperature) == 8, "ADLTemperature is 8 bytes");
typedef struct ADLFanSpeedValue {
    int iSize, iSpeedType, iFanSpeed, iFlags;
} ADLFanSpeedValue;
_Static_assert(sizeof(ADLFanSpeedValue) == 16, "ADLFanSpeedValue is 16 bytes");

typedef void* (*AllocateFn)(int);

static FakeAdlState state;
static int initialised;
static char contexts[64]; /* context handles are addresses in here */

static void defaults(void) {
    static const FakeAdlAdapter list[] = {{0, 1, 4318, 1, "Fremder Adapter"},
                                          {1, -1, 1002, 1, "AMD virtuell"},
                                          {2, 3, 1002, 0, "AMD Radeon RX 6800 XT"},
                                          {3, 3, 1002, 1, "AMD Radeon RX 6800 XT"},
                                          {4, 3, 1002, 1, "AMD Radeon RX 6800 XT"}};
    state.version = 8;
    state.adapterCount = 5;
    memcpy(state.adapters, list, sizeof list);
    state.edge = 63;
    state.hotspot = 81;
    state.memory = 72;
    state.rpm = 1320;
    state.percent = 34;
    state.odnFanMode = 2;
    state.od5Rpm = 1;
    state.fail[0] = '\0';
    state.failStatus = -8;
}

void fakeAdlReset(void) {
    memset(&state, 0, sizeof state);
    defaults();
    initialised = 1;
}

FakeAdlState* fakeAdlState(void) {
    if (!initialised)
        fakeAdlReset();
    return &state;
}

#ifdef FAKE_ADL_FROM_ENVIRONMENT
static int environmentInt(const char* name, int fallback) {
    char text[32];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text)
        return fallback;
    return atoi(text);
}
#endif

/* The behaviour for this call: the unit tests' own, or the environment's. */
static FakeAdlState* now(void) {
    FakeAdlState* s = fakeAdlState();
#ifdef FAKE_ADL_FROM_ENVIRONMENT
    defaults();
    s->version = environmentInt("FAKE_ADL_VERSION", s->version);
    s->edge = environmentInt("FAKE_ADL_EDGE", s->edge);
    s->hotspot = environmentInt("FAKE_ADL_HOTSPOT", s->hotspot);
    s->memory = environmentInt("FAKE_ADL_MEMORY", s->memory);
    s->rpm = environmentInt("FAKE_ADL_RPM", s->rpm);
    s->percent = environmentInt("FAKE_ADL_PERCENT", s->percent);
    s->failStatus = environmentInt("FAKE_ADL_STATUS", s->failStatus);
    DWORD n = GetEnvironmentVariableA("FAKE_ADL_FAIL", s->fail, sizeof s->fail);
    if (n >= sizeof s->fail)
        n = 0;
    s->fail[n] = '\0';
#endif
    return s;
}

static int fails(const FakeAdlState* s, char call) {
    return strchr(s->fail, call) != NULL;
}

static int validContext(void* context) {
    const char* c = (const char*)context;
    return c >= contexts && c < contexts + sizeof contexts;
}

static const FakeAdlAdapter* adapterAt(const FakeAdlState* s, int index) {
    for (int i = 0; i < s->adapterCount && i < FAKE_ADL_MAX_ADAPTERS; ++i)
        if (s->adapters[i].index == index)
            return &s->adapters[i];
    return NULL;
}

/* The common checks of a call on one adapter: 0 when it may answer. */
static int adapterCall(FakeAdlState* s, void* context, int index, char call) {
    if (!validContext(context))
        return -3;
    if (fails(s, call))
        return s->failStatus;
    if (!adapterAt(s, index))
        return -5;
    return 0;
}

static int reading(FakeAdlState* s, int index) {
    s->readings++;
    s->lastAdapter = index;
    return 0;
}

EXPORT int ADL2_Main_Control_Create(AllocateFn allocate, int connectedOnly, void** context) {
    FakeAdlState* s = now();
    (void)connectedOnly;
    if (fails(s, 'C'))
        return s->failStatus;
    if (!allocate)
        return -11;
    if (!context)
        return -9;
    *context = &contexts[s->creates % (int)sizeof contexts];
    s->creates++;
    s->live++;
    return 0;
}

EXPORT int ADL2_Main_Control_Destroy(void* context) {
    FakeAdlState* s = now();
    if (!validContext(context))
        return -3;
    s->destroys++;
    s->live--;
    return 0;
}

EXPORT int ADL2_Adapter_NumberOfAdapters_Get(void* context, int* count) {
    FakeAdlState* s = now();
    if (!validContext(context))
        return -3;
    if (fails(s, 'N'))
        return s->failStatus;
    *count = s->adapterCount;
    return 0;
}

EXPORT int ADL2_Adapter_AdapterInfo_Get(void* context, AdapterInfo* list, int bytes) {
    FakeAdlState* s = now();
    if (!validContext(context))
        return -3;
    if (fails(s, 'I'))
        return s->failStatus;
    if (bytes < (int)sizeof(AdapterInfo) || bytes % (int)sizeof(AdapterInfo) != 0)
        return -4;
    int n = bytes / (int)sizeof(AdapterInfo);
    for (int i = 0; i < n && i < s->adapterCount && i < FAKE_ADL_MAX_ADAPTERS; ++i) {
        memset(&list[i], 0, sizeof list[i]);
        list[i].iSize = sizeof(AdapterInfo);
        list[i].iAdapterIndex = s->adapters[i].index;
        list[i].iBusNumber = s->adapters[i].bus;
        list[i].iVendorID = s->adapters[i].vendor;
        list[i].iPresent = list[i].iExist = 1;
        strncpy(list[i].strAdapterName, s->adapters[i].name, sizeof list[i].strAdapterName - 1);
        strcpy(list[i].strDisplayName, "\\\\.\\DISPLAY1");
    }
    return 0;
}

EXPORT int ADL2_Adapter_Active_Get(void* context, int index, int* active) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, 'A');
    if (status == 0)
        *active = adapterAt(s, index)->active;
    return status;
}

EXPORT int ADL2_Overdrive_Caps(void* context, int index, int* supported, int* enabled,
                               int* version) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, 'O');
    if (status != 0)
        return status;
    *supported = *enabled = 1;
    *version = s->version;
    return 0;
}

static void putSensor(ADLPMLogDataOutput* log, int sensor, int value) {
    if (value == FAKE_ADL_NONE)
        return;
    log->sensors[sensor].supported = 1;
    log->sensors[sensor].value = value;
}

EXPORT int ADL2_New_QueryPMLogData_Get(void* context, int index, ADLPMLogDataOutput* log) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, 'P');
    if (status != 0)
        return status;
    if (s->version != 8)
        return -8;
    if (log->size != (int)sizeof *log)
        return -4;
    memset(log->sensors, 0, sizeof log->sensors);
    putSensor(log, 1, 2105); /* graphics clock, next to the ones asked for */
    putSensor(log, 8, s->edge);
    putSensor(log, 9, s->memory);
    putSensor(log, 14, s->rpm);
    putSensor(log, 15, s->percent);
    putSensor(log, 27, s->hotspot);
    return reading(s, index);
}

EXPORT int ADL2_OverdriveN_Temperature_Get(void* context, int index, int sensor,
                                           int* millidegrees) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, 'T');
    if (status != 0)
        return status;
    if (s->version != 7)
        return -8;
    int celsius = sensor == 1 ? s->edge : sensor == 2 ? s->memory : sensor == 7 ? s->hotspot : 0;
    if (sensor != 1 && sensor != 2 && sensor != 7)
        return -3;
    if (celsius == FAKE_ADL_NONE)
        return -8;
    *millidegrees = celsius * 1000;
    return reading(s, index);
}

EXPORT int ADL2_OverdriveN_FanControl_Get(void* context, int index, ADLODNFanControl* fan) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, 'F');
    if (status != 0)
        return status;
    if (s->version != 7)
        return -8;
    memset(fan, 0, sizeof *fan);
    fan->iCurrentFanSpeedMode = s->odnFanMode;
    fan->iCurrentFanSpeed = s->odnFanMode == 2 ? s->rpm : s->percent;
    fan->iTargetTemperature = 75;
    return reading(s, index);
}

EXPORT int ADL2_Overdrive5_Temperature_Get(void* context, int index, int controller,
                                           ADLTemperature* temperature) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, '5');
    if (status != 0)
        return status;
    if (s->version != 5 || s->edge == FAKE_ADL_NONE)
        return -8;
    if (temperature->iSize != (int)sizeof *temperature)
        return -4;
    if (controller != 0)
        return -6;
    temperature->iTemperature = s->edge * 1000;
    return reading(s, index);
}

EXPORT int ADL2_Overdrive5_FanSpeed_Get(void* context, int index, int controller,
                                        ADLFanSpeedValue* fan) {
    FakeAdlState* s = now();
    int status = adapterCall(s, context, index, '6');
    if (status != 0)
        return status;
    if (s->version != 5)
        return -8;
    if (fan->iSize != (int)sizeof *fan)
        return -4;
    if (controller != 0)
        return -6;
    if (fan->iSpeedType == 2 && s->od5Rpm)
        fan->iFanSpeed = s->rpm;
    else if (fan->iSpeedType == 1)
        fan->iFanSpeed = s->percent;
    else
        return -8;
    return reading(s, index);
}

#define ENTRY(f)                                                                                   \
    { #f, (void (*)(void))f }
const FakeAdlExport* fakeAdlExports(void) {
    static const FakeAdlExport table[] = {
        ENTRY(ADL2_Main_Control_Create),          ENTRY(ADL2_Main_Control_Destroy),
        ENTRY(ADL2_Adapter_NumberOfAdapters_Get), ENTRY(ADL2_Adapter_AdapterInfo_Get),
        ENTRY(ADL2_Adapter_Active_Get),           ENTRY(ADL2_Overdrive_Caps),
        ENTRY(ADL2_New_QueryPMLogData_Get),       ENTRY(ADL2_OverdriveN_Temperature_Get),
        ENTRY(ADL2_OverdriveN_FanControl_Get),    ENTRY(ADL2_Overdrive5_Temperature_Get),
        ENTRY(ADL2_Overdrive5_FanSpeed_Get),      {NULL, NULL}};
    return table;
}

#ifdef FAKE_ADL_FROM_ENVIRONMENT
/* The Windows tests read the records through this export, which the program never asks for. */
EXPORT FakeAdlState* fakeAdlRecords(void) {
    return fakeAdlState();
}
#endif
