#include "platform/win32/win32_thermal_counter_query.h"

#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <vector>

namespace {

// The counter library is loaded only when asked for, from the system folder: on most machines
// WMI answers and the program never needs it.
struct PdhFunctions {
    HMODULE module = nullptr;
    decltype(&PdhOpenQueryW) openQuery = nullptr;
    decltype(&PdhAddEnglishCounterW) addCounter = nullptr;
    decltype(&PdhCollectQueryData) collect = nullptr;
    decltype(&PdhGetFormattedCounterArrayW) formattedArray = nullptr;
    decltype(&PdhCloseQuery) closeQuery = nullptr;

    bool load() {
        module = LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module)
            return false;
        openQuery = find<decltype(openQuery)>("PdhOpenQueryW");
        addCounter = find<decltype(addCounter)>("PdhAddEnglishCounterW");
        collect = find<decltype(collect)>("PdhCollectQueryData");
        formattedArray = find<decltype(formattedArray)>("PdhGetFormattedCounterArrayW");
        closeQuery = find<decltype(closeQuery)>("PdhCloseQuery");
        return openQuery && addCounter && collect && formattedArray && closeQuery;
    }
    void unload() {
        if (module)
            FreeLibrary(module);
        module = nullptr;
    }

private:
    template <typename Fn> Fn find(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
};

class Win32ThermalCounterSession final : public ThermalCounterSession {
public:
    Win32ThermalCounterSession(PdhFunctions pdh, PDH_HQUERY query, PDH_HCOUNTER counter)
        : pdh(pdh), query(query), counter(counter) {}
    ~Win32ThermalCounterSession() override {
        pdh.closeQuery(query);
        pdh.unload();
    }
    Win32ThermalCounterSession(const Win32ThermalCounterSession&) = delete;
    Win32ThermalCounterSession& operator=(const Win32ThermalCounterSession&) = delete;

    bool collect(std::vector<ThermalCounterRow>* rows) override {
        if (pdh.collect(query) != ERROR_SUCCESS)
            return false;
        // The instance names follow the items in the same buffer; a zone that appears between
        // the two calls makes it too small once more.
        for (int attempt = 0; attempt < 3; ++attempt) {
            DWORD bytes = 0, count = 0;
            PDH_STATUS status = pdh.formattedArray(counter, PDH_FMT_LARGE | PDH_FMT_NOSCALE, &bytes,
                                                   &count, nullptr);
            if (status == ERROR_SUCCESS)
                return true; // no instance at all
            if (status != static_cast<PDH_STATUS>(PDH_MORE_DATA) || bytes == 0)
                return false;
            std::vector<PDH_FMT_COUNTERVALUE_ITEM_W> items(
                (bytes + sizeof(PDH_FMT_COUNTERVALUE_ITEM_W) - 1) /
                sizeof(PDH_FMT_COUNTERVALUE_ITEM_W));
            status = pdh.formattedArray(counter, PDH_FMT_LARGE | PDH_FMT_NOSCALE, &bytes, &count,
                                        items.data());
            if (status == static_cast<PDH_STATUS>(PDH_MORE_DATA))
                continue;
            if (status != ERROR_SUCCESS || count > items.size())
                return false;
            for (DWORD i = 0; i < count; ++i) {
                const PDH_FMT_COUNTERVALUE_ITEM_W& item = items[i];
                ThermalCounterRow row;
                if (item.szName)
                    row.instance = item.szName;
                row.valid = item.FmtValue.CStatus == PDH_CSTATUS_VALID_DATA ||
                            item.FmtValue.CStatus == PDH_CSTATUS_NEW_DATA;
                if (row.valid)
                    row.tenthsKelvin = item.FmtValue.largeValue;
                rows->push_back(row);
            }
            return true;
        }
        return false;
    }

private:
    PdhFunctions pdh;
    PDH_HQUERY query;
    PDH_HCOUNTER counter;
};

} // namespace

std::unique_ptr<ThermalCounterSession> Win32ThermalCounterQuery::open() {
    PdhFunctions pdh;
    if (!pdh.load()) {
        pdh.unload();
        return nullptr;
    }
    PDH_HQUERY query = nullptr;
    if (pdh.openQuery(nullptr, 0, &query) != ERROR_SUCCESS) {
        pdh.unload();
        return nullptr;
    }
    // The English name works whatever the system's language.
    PDH_HCOUNTER counter = nullptr;
    if (pdh.addCounter(query, THERMAL_ZONE_COUNTER_PATH, 0, &counter) != ERROR_SUCCESS) {
        pdh.closeQuery(query);
        pdh.unload();
        return nullptr;
    }
    return std::make_unique<Win32ThermalCounterSession>(pdh, query, counter);
}
