/* A stand-in for AMD's display library (fake_atiadlxx.c): its state, shared by the unit tests,
 * which link the stand-in in and set the state directly, and the Windows tests, which load it
 * as atiadlxx.dll and steer it through FAKE_ADL_* variables (read again at every call):
 *   FAKE_ADL_VERSION       Overdrive version ADL2_Overdrive_Caps reports       (default 8)
 *   FAKE_ADL_EDGE, FAKE_ADL_HOTSPOT, FAKE_ADL_MEMORY   temperatures in degrees C
 *                          (default 63, 81, 72; FAKE_ADL_NONE leaves one out)
 *   FAKE_ADL_RPM           fan speed                                           (default 1320)
 *   FAKE_ADL_PERCENT       fan speed in percent                                (default 34)
 *   FAKE_ADL_FAIL          letters of the calls that fail: C create, N adapter count,
 *                          I adapter info, A active, O Overdrive caps, P PM log,
 *                          T OverdriveN temperature, F OverdriveN fan, 5 Overdrive 5
 *                          temperature, 6 Overdrive 5 fan
 *   FAKE_ADL_STATUS        what a failing call returns                         (default -8)
 * Its adapter list (unless a unit test sets its own): a foreign adapter on bus 1, a virtual AMD
 * entry on bus -1, an inactive AMD entry on bus 3, then two active outputs of the same AMD GPU
 * on bus 3 (indices 3 and 4). Every call checks the context and the structure sizes it is given
 * and answers as the library does: 0 ADL_OK, -3 invalid parameter, -4 wrong size, -5 unknown
 * adapter, -8 not supported, -11 no allocation callback. */
#ifndef FAKE_ADL_H
#define FAKE_ADL_H

#ifdef __cplusplus
extern "C" {
#endif

#define FAKE_ADL_NONE (-999)
#define FAKE_ADL_MAX_ADAPTERS 8

typedef struct FakeAdlAdapter {
    int index, bus, vendor, active;
    char name[64];
} FakeAdlAdapter;

typedef struct FakeAdlState {
    /* behaviour */
    int version;
    int adapterCount;
    FakeAdlAdapter adapters[FAKE_ADL_MAX_ADAPTERS];
    int edge, hotspot, memory; /* degrees C */
    int rpm, percent;
    int odnFanMode; /* the unit OverdriveN names for its speed: 2 RPM, 1 percent */
    int od5Rpm;     /* Overdrive 5 answers a request in RPM (else only in percent) */
    char fail[16];
    int failStatus;
    /* record */
    int creates, destroys, live; /* contexts made, destroyed, still open */
    int readings;                /* calls that read a GPU */
    int lastAdapter;             /* adapter index of the last of them */
} FakeAdlState;

/* The one state. */
FakeAdlState* fakeAdlState(void);
/* Back to the defaults above, records emptied. */
void fakeAdlReset(void);

typedef struct FakeAdlExport {
    const char* name;
    void (*address)(void);
} FakeAdlExport;
/* The library's functions by their names; the list ends with a null name. */
const FakeAdlExport* fakeAdlExports(void);

#ifdef __cplusplus
}
#endif

#endif
