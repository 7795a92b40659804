#include "platform/win32/win32_thermal_zone_query.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

namespace {

// Owns one BSTR for the length of a call.
class OwnedBstr {
public:
    explicit OwnedBstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~OwnedBstr() { SysFreeString(value); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR get() const { return value; }

private:
    BSTR value;
};

// Owns one VARIANT and clears it.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    VARIANT* get() { return &value; }

private:
    VARIANT value;
};

ThermalZoneRow readRow(IWbemClassObject* object) {
    ThermalZoneRow row;
    {
        OwnedVariant temperature;
        if (SUCCEEDED(object->Get(L"CurrentTemperature", 0, temperature.get(), nullptr, nullptr))) {
            row.temperatureRead = true;
            row.temperatureType = temperature.get()->vt;
            if (row.temperatureType == VT_I4 || row.temperatureType == VT_UI4)
                row.temperatureBits = temperature.get()->ulVal;
        }
    }
    OwnedVariant name;
    if (SUCCEEDED(object->Get(L"InstanceName", 0, name.get(), nullptr, nullptr)) &&
        name.get()->vt == VT_BSTR) {
        row.nameIsString = true;
        if (BSTR text = name.get()->bstrVal)
            row.name.assign(text, SysStringLen(text));
    }
    return row;
}

class Win32ThermalZoneConnection final : public ThermalZoneConnection {
public:
    Win32ThermalZoneConnection(IWbemLocator* locator, IWbemServices* services)
        : locator(locator), services(services) {}
    ~Win32ThermalZoneConnection() override {
        services->Release();
        locator->Release();
    }
    Win32ThermalZoneConnection(const Win32ThermalZoneConnection&) = delete;
    Win32ThermalZoneConnection& operator=(const Win32ThermalZoneConnection&) = delete;

    bool query(std::vector<ThermalZoneRow>* rows) override {
        IEnumWbemClassObject* enumerator = nullptr;
        HRESULT hr;
        {
            OwnedBstr language(L"WQL");
            OwnedBstr text(L"SELECT * FROM MSAcpi_ThermalZoneTemperature");
            hr = services->ExecQuery(language.get(), text.get(),
                                     WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                     &enumerator);
        }
        if (FAILED(hr) || !enumerator)
            return false;
        bool complete = true;
        for (;;) {
            IWbemClassObject* object = nullptr;
            ULONG count = 0;
            // A hung provider must not hold the querying thread: it could not be stopped.
            const HRESULT next = enumerator->Next(static_cast<LONG>(THERMAL_ZONE_NEXT_TIMEOUT_MS),
                                                  1, &object, &count);
            if (next == WBEM_S_TIMEDOUT || FAILED(next)) {
                if (object)
                    object->Release();
                complete = false;
                break;
            }
            if (count == 0 || !object)
                break;
            rows->push_back(readRow(object));
            object->Release();
        }
        enumerator->Release();
        return complete;
    }

private:
    IWbemLocator* locator;
    IWbemServices* services;
};

// Whether this thread has joined COM through connect: not yet, joined (to be left again), or
// already in another apartment (which is not ours to leave).
enum class ComJoin { None, Joined, Foreign };
thread_local ComJoin comJoin = ComJoin::None;

} // namespace

std::unique_ptr<ThermalZoneConnection> Win32ThermalZoneQuery::connect() {
    // Once per thread: every successful CoInitializeEx needs its own CoUninitialize. Already
    // joined in another model is fine, the calls below work in either apartment.
    if (comJoin == ComJoin::None)
        comJoin = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) ? ComJoin::Joined
                                                                           : ComJoin::Foreign;

    IWbemLocator* locator = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(&locator))) ||
        !locator)
        return nullptr;

    IWbemServices* services = nullptr;
    HRESULT hr;
    {
        // Without the flag a connection to a service that hangs (at logon, say) may wait for
        // ever; with it the call returns within WMI's own bound, answered or not.
        OwnedBstr ns(L"ROOT\\WMI");
        hr = locator->ConnectServer(ns.get(), nullptr, nullptr, nullptr,
                                    WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr, &services);
    }
    if (FAILED(hr) || !services) {
        locator->Release();
        return nullptr;
    }
    CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    return std::make_unique<Win32ThermalZoneConnection>(locator, services);
}

void Win32ThermalZoneQuery::leaveThread() {
    if (comJoin == ComJoin::Joined)
        CoUninitialize();
    comJoin = ComJoin::None;
}
