/* An in-process stand-in for the WMI locator class (CLSID_WbemLocator), so the program's real
 * COM path (locator, ConnectServer, proxy security, ExecQuery, Next, Get, the releases) runs
 * under Wine against thermal zones a test chooses. A test registers this DLL as the locator's
 * InprocServer32 under HKEY_LOCAL_MACHINE\Software\Classes of the prefix for the length of a
 * case and puts Wine's own registration back afterwards.
 *
 * Behaviour, read from the environment:
 *   FAKE_WMI_CONNECT   "fail": ConnectServer refuses (access denied)
 *   FAKE_WMI_ZONES     the objects the query yields, separated by ';', each "TYPE,VALUE,NAME":
 *                      TYPE I4, UI4, BSTR (the value as text) or MISSING (Get fails);
 *                      NAME a text, "!" (Get of InstanceName fails) or "~" (VT_NULL).
 *   FAKE_WMI_HANG_UNTIL  a GetTickCount64 value: until then the provider hangs, so Next waits
 *                      out its timeout (all of it when infinite) and answers WBEM_S_TIMEDOUT.
 * Only the namespace ROOT\WMI, connected with a bounded wait (security flag 0x80), the language
 * WQL, the exact thermal-zone query and the flags 0x30 are answered. fakeWmiStatistics reports
 * what was created and released, in order. */
#define COBJMACROS
#include <windows.h>

#include <oleauto.h>
#include <stddef.h>
#include <wbemcli.h>

#define MAX_ZONES 8

typedef struct FakeWmiStatistics {
    LONG locators, services, enumerators, objects; /* alive now */
    LONG connects, queries, gets;
    char releases[32]; /* 'L' locator, 'S' services, 'E' enumerator, 'O' object, in order */
} FakeWmiStatistics;

static FakeWmiStatistics statistics;

static void noteRelease(char kind) {
    size_t n = 0;
    while (n < sizeof statistics.releases - 1 && statistics.releases[n])
        ++n;
    if (n < sizeof statistics.releases - 1)
        statistics.releases[n] = kind;
}

typedef struct Zone {
    int type; /* 0 missing, VT_I4, VT_UI4, VT_BSTR */
    WCHAR value[32];
    int nameMode; /* 0 text, 1 failing, 2 VT_NULL */
    WCHAR name[64];
} Zone;

typedef struct Object {
    void** vtbl;
    LONG refs;
    char kind;
    /* enumerator */
    Zone zones[MAX_ZONES];
    int count, next;
    /* class object */
    Zone zone;
} Object;

static HRESULT STDMETHODCALLTYPE notImplemented(void* self) {
    (void)self;
    return WBEM_E_NOT_SUPPORTED;
}

static HRESULT STDMETHODCALLTYPE queryInterface(Object* self, REFIID riid, void** out) {
    (void)riid;
    /* Only the object's own interface and IUnknown are asked for by the program; proxy
     * security (IClientSecurity) is not offered, as for any in-process object. */
    if (IsEqualIID(riid, &IID_IClientSecurity) || IsEqualIID(riid, &IID_IMarshal)) {
        *out = NULL;
        return E_NOINTERFACE;
    }
    self->refs++;
    *out = self;
    return S_OK;
}

static ULONG STDMETHODCALLTYPE addRef(Object* self) {
    return (ULONG)++self->refs;
}

static ULONG STDMETHODCALLTYPE release(Object* self) {
    LONG left = --self->refs;
    if (left == 0) {
        switch (self->kind) {
        case 'L':
            statistics.locators--;
            break;
        case 'S':
            statistics.services--;
            break;
        case 'E':
            statistics.enumerators--;
            break;
        case 'O':
            statistics.objects--;
            break;
        }
        noteRelease(self->kind);
        HeapFree(GetProcessHeap(), 0, self);
    }
    return (ULONG)left;
}

static void* locatorVtbl[4];
static void* servicesVtbl[26];
static void* enumVtbl[8];
static void* objectVtbl[27];

static Object* newObject(void** vtbl, char kind) {
    Object* o = (Object*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Object));
    if (!o)
        return NULL;
    o->vtbl = vtbl;
    o->refs = 1;
    o->kind = kind;
    return o;
}

static int sameText(const WCHAR* a, const WCHAR* b) {
    return a && b && lstrcmpiW(a, b) == 0;
}

static int parseZones(Zone* zones) {
    static WCHAR text[1024];
    DWORD n = GetEnvironmentVariableW(L"FAKE_WMI_ZONES", text, 1024);
    int count = 0;
    WCHAR* p = text;
    if (n == 0 || n >= 1024)
        return 0;
    while (*p && count < MAX_ZONES) {
        Zone* z = &zones[count];
        WCHAR field[3][64];
        int f = 0, i = 0;
        ZeroMemory(z, sizeof *z);
        ZeroMemory(field, sizeof field);
        for (; *p && *p != L';'; ++p) {
            if (*p == L',' && f < 2) {
                ++f;
                i = 0;
            } else if (i < 63) {
                field[f][i++] = *p;
            }
        }
        if (*p == L';')
            ++p;
        z->type = lstrcmpW(field[0], L"I4") == 0     ? VT_I4
                  : lstrcmpW(field[0], L"UI4") == 0  ? VT_UI4
                  : lstrcmpW(field[0], L"BSTR") == 0 ? VT_BSTR
                                                     : 0;
        lstrcpynW(z->value, field[1], 32);
        if (lstrcmpW(field[2], L"!") == 0)
            z->nameMode = 1;
        else if (lstrcmpW(field[2], L"~") == 0)
            z->nameMode = 2;
        else
            lstrcpynW(z->name, field[2], 64);
        ++count;
    }
    return count;
}

static LONG numberOf(const WCHAR* text) {
    LONG sign = 1, v = 0;
    if (*text == L'-') {
        sign = -1;
        ++text;
    }
    for (; *text >= L'0' && *text <= L'9'; ++text)
        v = v * 10 + (*text - L'0');
    return sign * v;
}

static HRESULT STDMETHODCALLTYPE objectGet(Object* self, LPCWSTR name, LONG flags, VARIANT* value,
                                           CIMTYPE* type, LONG* flavor) {
    (void)flags;
    (void)type;
    (void)flavor;
    statistics.gets++;
    if (sameText(name, L"CurrentTemperature")) {
        if (!self->zone.type)
            return WBEM_E_NOT_FOUND;
        VariantInit(value);
        value->vt = (VARTYPE)self->zone.type;
        if (self->zone.type == VT_BSTR)
            value->bstrVal = SysAllocString(self->zone.value);
        else
            value->lVal = numberOf(self->zone.value);
        return S_OK;
    }
    if (sameText(name, L"InstanceName")) {
        if (self->zone.nameMode == 1)
            return WBEM_E_NOT_FOUND;
        VariantInit(value);
        if (self->zone.nameMode == 2) {
            value->vt = VT_NULL;
            return S_OK;
        }
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(self->zone.name);
        return S_OK;
    }
    return WBEM_E_NOT_FOUND;
}

/* Waits like a hung provider would; FALSE when it still hangs after the caller's timeout. */
static BOOL waitOutHang(LONG timeout) {
    WCHAR text[32];
    ULONGLONG until, now;
    if (!GetEnvironmentVariableW(L"FAKE_WMI_HANG_UNTIL", text, 32))
        return TRUE;
    until = 0;
    for (const WCHAR* c = text; *c >= L'0' && *c <= L'9'; ++c)
        until = until * 10 + (ULONGLONG)(*c - L'0');
    now = GetTickCount64();
    if (now >= until)
        return TRUE;
    if (timeout == (LONG)WBEM_INFINITE || (ULONGLONG)(ULONG)timeout >= until - now) {
        Sleep((DWORD)(until - now));
        return TRUE;
    }
    Sleep((DWORD)timeout);
    return FALSE;
}

static HRESULT STDMETHODCALLTYPE enumNext(Object* self, LONG timeout, ULONG count,
                                          IWbemClassObject** objects, ULONG* returned) {
    *returned = 0;
    if (count < 1)
        return WBEM_E_INVALID_PARAMETER;
    if (!waitOutHang(timeout))
        return WBEM_S_TIMEDOUT;
    if (self->next >= self->count)
        return WBEM_S_FALSE;
    Object* o = newObject(objectVtbl, 'O');
    if (!o)
        return WBEM_E_OUT_OF_MEMORY;
    statistics.objects++;
    o->zone = self->zones[self->next++];
    objects[0] = (IWbemClassObject*)o;
    *returned = 1;
    return WBEM_S_NO_ERROR;
}

static HRESULT STDMETHODCALLTYPE servicesExecQuery(Object* self, const BSTR language,
                                                   const BSTR query, LONG flags,
                                                   IWbemContext* context,
                                                   IEnumWbemClassObject** result) {
    (void)self;
    (void)context;
    statistics.queries++;
    *result = NULL;
    if (!sameText(language, L"WQL") ||
        lstrcmpW(query ? query : L"", L"SELECT * FROM MSAcpi_ThermalZoneTemperature") != 0 ||
        flags != 0x30)
        return WBEM_E_INVALID_QUERY;
    Object* e = newObject(enumVtbl, 'E');
    if (!e)
        return WBEM_E_OUT_OF_MEMORY;
    statistics.enumerators++;
    e->count = parseZones(e->zones);
    *result = (IEnumWbemClassObject*)e;
    return WBEM_S_NO_ERROR;
}

static HRESULT STDMETHODCALLTYPE locatorConnect(Object* self, const BSTR resource, const BSTR user,
                                                const BSTR password, const BSTR locale,
                                                LONG securityFlags, const BSTR authority,
                                                IWbemContext* context, IWbemServices** services) {
    WCHAR mode[16];
    (void)self;
    (void)user;
    (void)password;
    (void)locale;
    (void)authority;
    (void)context;
    statistics.connects++;
    *services = NULL;
    if (GetEnvironmentVariableW(L"FAKE_WMI_CONNECT", mode, 16) && lstrcmpW(mode, L"fail") == 0)
        return WBEM_E_ACCESS_DENIED;
    if (!sameText(resource, L"ROOT\\WMI"))
        return WBEM_E_INVALID_NAMESPACE;
    if (securityFlags != WBEM_FLAG_CONNECT_USE_MAX_WAIT)
        return WBEM_E_INVALID_PARAMETER;
    Object* s = newObject(servicesVtbl, 'S');
    if (!s)
        return WBEM_E_OUT_OF_MEMORY;
    statistics.services++;
    *services = (IWbemServices*)s;
    return WBEM_S_NO_ERROR;
}

/* The class factory: one static object. */
static void* factoryVtbl[5];
static struct { void** vtbl; } factory = {factoryVtbl};

static HRESULT STDMETHODCALLTYPE factoryQueryInterface(void* self, REFIID riid, void** out) {
    (void)riid;
    *out = self;
    return S_OK;
}
static ULONG STDMETHODCALLTYPE factoryRefs(void* self) {
    (void)self;
    return 1;
}
static HRESULT STDMETHODCALLTYPE factoryCreate(void* self, IUnknown* outer, REFIID riid,
                                               void** out) {
    (void)self;
    (void)riid;
    *out = NULL;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    Object* l = newObject(locatorVtbl, 'L');
    if (!l)
        return E_OUTOFMEMORY;
    statistics.locators++;
    *out = l;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE factoryLock(void* self, BOOL lock) {
    (void)self;
    (void)lock;
    return S_OK;
}

#define SLOT(vtblType, method) (offsetof(vtblType, method) / sizeof(void*))

static void fill(void** vtbl, size_t n) {
    for (size_t i = 0; i < n; ++i)
        vtbl[i] = (void*)notImplemented;
    vtbl[0] = (void*)queryInterface;
    vtbl[1] = (void*)addRef;
    vtbl[2] = (void*)release;
}

static void buildTables(void) {
    fill(locatorVtbl, 4);
    locatorVtbl[SLOT(IWbemLocatorVtbl, ConnectServer)] = (void*)locatorConnect;
    fill(servicesVtbl, 26);
    servicesVtbl[SLOT(IWbemServicesVtbl, ExecQuery)] = (void*)servicesExecQuery;
    fill(enumVtbl, 8);
    enumVtbl[SLOT(IEnumWbemClassObjectVtbl, Next)] = (void*)enumNext;
    fill(objectVtbl, 27);
    objectVtbl[SLOT(IWbemClassObjectVtbl, Get)] = (void*)objectGet;
    factoryVtbl[0] = (void*)factoryQueryInterface;
    factoryVtbl[1] = (void*)factoryRefs;
    factoryVtbl[2] = (void*)factoryRefs;
    factoryVtbl[3] = (void*)factoryCreate;
    factoryVtbl[4] = (void*)factoryLock;
}

_Static_assert(sizeof(IWbemServicesVtbl) / sizeof(void*) == 26, "IWbemServices slots");
_Static_assert(sizeof(IWbemClassObjectVtbl) / sizeof(void*) == 27, "IWbemClassObject slots");
_Static_assert(sizeof(IEnumWbemClassObjectVtbl) / sizeof(void*) == 8, "IEnumWbemClassObject slots");
_Static_assert(sizeof(IWbemLocatorVtbl) / sizeof(void*) == 4, "IWbemLocator slots");

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        buildTables();
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    (void)riid;
    if (!IsEqualCLSID(clsid, &CLSID_WbemLocator)) {
        *out = NULL;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    *out = &factory;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow(void) {
    return statistics.locators || statistics.services || statistics.enumerators ||
                   statistics.objects
               ? S_FALSE
               : S_OK;
}

__declspec(dllexport) void __cdecl fakeWmiStatistics(FakeWmiStatistics* out, int reset) {
    if (out)
        *out = statistics;
    if (reset) {
        FakeWmiStatistics empty = {0};
        statistics = empty;
    }
}
