/* Steers and reads the SMC simulator driver from a shell or a test script (it must run in the
 * Wine session that loaded the driver):
 *   smc_sim_ctl reset                 back to the start-up key table, empty request log
 *   smc_sim_ctl setf KEY VALUE [w]    KEY as a 4-byte float (writable with w), e.g. TC0P 71.5
 *   smc_sim_ctl setsp78 KEY VALUE     KEY as 2-byte sp78
 *   smc_sim_ctl remove KEY            the SMC no longer has KEY
 *   smc_sim_ctl get KEY               "KEY SIZE FLAGS HEXBYTES VALUE"
 *   smc_sim_ctl mode N                the emulated machine: 0 ports, 1 T2 (the window
 *                                     answers), 2 the window reads 0xFF, 3 nothing answers;
 *                                     the driver chooses its interface again
 *   smc_sim_ctl table N               the keys of table N: 0 = T2 (the start-up table),
 *                                     1 = the older generation (fpe2 fans, "FS! " mask)
 *   smc_sim_ctl log                   the program's requests since the reset, one a line:
 *                                     "CODE INPUTSIZE OK HEXBYTES" (the first 12 input bytes)
 * Exit status 0 on success, 1 when the device or the request fails, 2 on wrong usage. */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "smc_sim_protocol.h"

static HANDLE device;

static int request(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD count = 0;
    return DeviceIoControl(device, code, in, inSize, out, outSize, &count, NULL) ? 0 : 1;
}

static int keyArgument(const char* text, SmcSimKey* k) {
    memset(k, 0, sizeof *k);
    if (strlen(text) != 4)
        return 0;
    memcpy(k->key, text, 4);
    return 1;
}

static int setFloat(const char* key, double value, int writable) {
    SmcSimKey k;
    float f = (float)value;
    if (!keyArgument(key, &k))
        return 2;
    k.size = 4;
    k.flags = writable ? SMC_SIM_FLAG_WRITABLE : 0;
    memcpy(k.data, &f, 4); /* x86-64 is little-endian, as the SMC's flt */
    return request(SMC_SIM_IOCTL_SET_KEY, &k, sizeof k, NULL, 0);
}

static int setSp78(const char* key, double value) {
    SmcSimKey k;
    long raw = (long)(value * 256.0 + (value < 0 ? -0.5 : 0.5));
    if (!keyArgument(key, &k) || raw < -32768 || raw > 32767)
        return 2;
    k.size = 2;
    k.data[0] = (unsigned char)((raw >> 8) & 0xFF);
    k.data[1] = (unsigned char)(raw & 0xFF);
    return request(SMC_SIM_IOCTL_SET_KEY, &k, sizeof k, NULL, 0);
}

static int getKey(const char* key) {
    SmcSimKey k;
    double value = 0;
    if (!keyArgument(key, &k))
        return 2;
    if (request(SMC_SIM_IOCTL_GET_KEY, &k, sizeof k, &k, sizeof k))
        return 1;
    printf("%.4s %u %u", k.key, k.size, k.flags);
    for (unsigned i = 0; i < k.size && i < 4; ++i)
        printf(" %02X", k.data[i]);
    if (k.size == 4) {
        float f;
        memcpy(&f, k.data, 4);
        value = f;
    } else if (k.size == 2) {
        value = (short)((k.data[0] << 8) | k.data[1]) / 256.0;
    } else {
        value = k.data[0];
    }
    printf(" %g\n", value);
    return 0;
}

static int printLog(void) {
    static SmcSimLog log;
    if (request(SMC_SIM_IOCTL_GET_LOG, NULL, 0, &log, sizeof log))
        return 1;
    for (unsigned i = 0; i < log.stored; ++i) {
        const SmcSimLogEntry* e = &log.entries[i];
        printf("%06X %u %u", e->code, e->inputSize, e->succeeded);
        for (unsigned j = 0; j < e->inputSize && j < sizeof e->input; ++j)
            printf(" %02X", e->input[j]);
        printf("\n");
    }
    return 0;
}

int main(int argc, char** argv) {
    int status = 2;
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2)
        return 2;
    device = CreateFileW(L"\\\\.\\APPLESMC", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, NULL);
    if (device == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "smc_sim_ctl: \\\\.\\APPLESMC cannot be opened\n");
        return 1;
    }
    if (!strcmp(argv[1], "reset") && argc == 2) {
        status = request(SMC_SIM_IOCTL_RESET, NULL, 0, NULL, 0);
    } else if (!strcmp(argv[1], "setf") && (argc == 4 || argc == 5)) {
        status = setFloat(argv[2], atof(argv[3]), argc == 5 && !strcmp(argv[4], "w"));
    } else if (!strcmp(argv[1], "setsp78") && argc == 4) {
        status = setSp78(argv[2], atof(argv[3]));
    } else if (!strcmp(argv[1], "remove") && argc == 3) {
        SmcSimKey k;
        status =
            keyArgument(argv[2], &k) ? request(SMC_SIM_IOCTL_SET_KEY, &k, sizeof k, NULL, 0) : 2;
    } else if (!strcmp(argv[1], "get") && argc == 3) {
        status = getKey(argv[2]);
    } else if (!strcmp(argv[1], "mode") && argc == 3) {
        unsigned char mode = (unsigned char)atoi(argv[2]);
        status = request(SMC_SIM_IOCTL_SET_MODE, &mode, 1, NULL, 0);
    } else if (!strcmp(argv[1], "table") && argc == 3) {
        unsigned char table = (unsigned char)atoi(argv[2]);
        status = request(SMC_SIM_IOCTL_SET_TABLE, &table, 1, NULL, 0);
    } else if (!strcmp(argv[1], "log") && argc == 2) {
        status = printLog();
    }
    CloseHandle(device);
    return status;
}
