/* A stand-in for NVIDIA's nvapi64.dll: exports only nvapi_QueryInterface, like the real one,
 * and answers the four calls the program uses. Its behaviour is read from the environment at
 * every call, so a test (or a script starting the program) picks it:
 *   FAKE_NVAPI_HIDE      letters whose functions QueryInterface does not hand out:
 *                        I initialise, E enumerate, T thermal settings, R tachometer
 *   FAKE_NVAPI_INIT      status of NvAPI_Initialize                         (default 0)
 *   FAKE_NVAPI_ENUM      status of NvAPI_EnumPhysicalGPUs                   (default 0)
 *   FAKE_NVAPI_GPUS      number of GPUs it reports                          (default 1)
 *   FAKE_NVAPI_THERMAL   status of NvAPI_GPU_GetThermalSettings             (default 0)
 *   FAKE_NVAPI_SENSORS   sensor count it reports                            (default 1)
 *   FAKE_NVAPI_TEMP      first sensor's current temperature in degrees C    (default 57)
 *   FAKE_NVAPI_TACH      status of NvAPI_GPU_GetTachReading                 (default 0)
 *   FAKE_NVAPI_RPM       the speed it reports                               (default 1450)
 * The thermal call refuses any structure whose version word is not 0x10044 (68 bytes, v1)
 * with -9, and any GPU handle it did not hand out with -5.
 * fakeNvapiStatistics (an extra export the program never asks for) reports what was called. */
#include <windows.h>

typedef struct FakeNvapiStatistics {
    unsigned int queries;      /* nvapi_QueryInterface calls */
    unsigned int ids[8];       /* the first eight ids asked for */
    unsigned int initialises;  /* NvAPI_Initialize calls */
    unsigned int enumerations; /* NvAPI_EnumPhysicalGPUs calls */
    unsigned int thermals;     /* NvAPI_GPU_GetThermalSettings calls */
    unsigned int tachs;        /* NvAPI_GPU_GetTachReading calls */
    unsigned int lastVersion;  /* version word of the last thermal structure */
    unsigned int lastSensorIndex;
} FakeNvapiStatistics;

static FakeNvapiStatistics statistics;

#define GPU_HANDLE_BASE ((ULONG_PTR)0x5A000)

static int environmentInt(const char* name, int fallback) {
    char text[32];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text)
        return fallback;
    int sign = 1, value = 0, i = 0;
    if (text[0] == '-') {
        sign = -1;
        i = 1;
    }
    for (; text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return sign * value;
}

static int hidden(char letter) {
    char text[16];
    DWORD n = GetEnvironmentVariableA("FAKE_NVAPI_HIDE", text, sizeof text);
    if (n == 0 || n >= sizeof text)
        return 0;
    for (DWORD i = 0; i < n; ++i)
        if (text[i] == letter)
            return 1;
    return 0;
}

static void put32(unsigned char* at, unsigned int value) {
    at[0] = (unsigned char)value;
    at[1] = (unsigned char)(value >> 8);
    at[2] = (unsigned char)(value >> 16);
    at[3] = (unsigned char)(value >> 24);
}

static int validGpu(void* gpu) {
    ULONG_PTR h = (ULONG_PTR)gpu;
    return h >= GPU_HANDLE_BASE && h < GPU_HANDLE_BASE + 64;
}

static int __cdecl fakeInitialize(void) {
    statistics.initialises++;
    return environmentInt("FAKE_NVAPI_INIT", 0);
}

static int __cdecl fakeEnumPhysicalGpus(void** handles, unsigned int* count) {
    statistics.enumerations++;
    int status = environmentInt("FAKE_NVAPI_ENUM", 0);
    if (status != 0)
        return status;
    int gpus = environmentInt("FAKE_NVAPI_GPUS", 1);
    if (gpus < 0 || gpus > 64)
        gpus = 64;
    for (int i = 0; i < gpus; ++i)
        handles[i] = (void*)(GPU_HANDLE_BASE + (ULONG_PTR)i);
    *count = (unsigned int)gpus;
    return 0;
}

static int __cdecl fakeGetThermalSettings(void* gpu, unsigned int sensorIndex, void* settings) {
    unsigned char* s = (unsigned char*)settings;
    statistics.thermals++;
    statistics.lastSensorIndex = sensorIndex;
    statistics.lastVersion = (unsigned int)s[0] | (unsigned int)s[1] << 8 |
                             (unsigned int)s[2] << 16 | (unsigned int)s[3] << 24;
    if (statistics.lastVersion != 0x10044)
        return -9; /* incompatible structure version */
    if (!validGpu(gpu))
        return -5; /* invalid handle */
    int status = environmentInt("FAKE_NVAPI_THERMAL", 0);
    if (status != 0)
        return status;
    int sensors = environmentInt("FAKE_NVAPI_SENSORS", 1);
    put32(s + 4, (unsigned int)sensors);
    for (int i = 0; i < 3; ++i) {
        unsigned char* sensor = s + 8 + 20 * i;
        put32(sensor + 0, i < sensors ? 1u : 0u); /* controller: GPU internal */
        put32(sensor + 4, 0);                     /* default minimum */
        put32(sensor + 8, 127);                   /* default maximum */
        put32(sensor + 12, i < sensors ? (unsigned int)environmentInt("FAKE_NVAPI_TEMP", 57) : 0u);
        put32(sensor + 16, i < sensors ? 1u : 0u); /* target: GPU */
    }
    return 0;
}

static int __cdecl fakeGetTachReading(void* gpu, unsigned int* rpm) {
    statistics.tachs++;
    if (!validGpu(gpu))
        return -5;
    int status = environmentInt("FAKE_NVAPI_TACH", 0);
    if (status != 0)
        return status;
    *rpm = (unsigned int)environmentInt("FAKE_NVAPI_RPM", 1450);
    return 0;
}

__declspec(dllexport) void* __cdecl nvapi_QueryInterface(unsigned int id) {
    if (statistics.queries < 8)
        statistics.ids[statistics.queries] = id;
    statistics.queries++;
    switch (id) {
    case 0x0150E828u:
        return hidden('I') ? 0 : (void*)fakeInitialize;
    case 0xE5AC921Fu:
        return hidden('E') ? 0 : (void*)fakeEnumPhysicalGpus;
    case 0xE3640A56u:
        return hidden('T') ? 0 : (void*)fakeGetThermalSettings;
    case 0x5F608315u:
        return hidden('R') ? 0 : (void*)fakeGetTachReading;
    default:
        return 0;
    }
}

__declspec(dllexport) void __cdecl fakeNvapiStatistics(FakeNvapiStatistics* out, int reset) {
    if (out)
        *out = statistics;
    if (reset) {
        FakeNvapiStatistics empty = {0};
        statistics = empty;
    }
}
