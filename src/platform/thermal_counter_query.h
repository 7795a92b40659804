#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The ACPI thermal zones as Windows' performance counters show them: the counter set
// "Thermal Zone Information", counter "High Precision Temperature", one instance per zone.
inline constexpr const wchar_t* THERMAL_ZONE_COUNTER_PATH =
    L"\\Thermal Zone Information(*)\\High Precision Temperature";

// One instance of one collection, moved over as it came.
struct ThermalCounterRow {
    std::wstring instance;         // the zone's instance name, e.g. "\_TZ.CPUZ"
    bool valid = false;            // the counter's status for this instance reported data
    std::int64_t tenthsKelvin = 0; // its value when valid, else 0
};

// An open query with the thermal-zone counter added. Destroying it closes the query.
class ThermalCounterSession {
public:
    virtual ~ThermalCounterSession() = default;
    // Collects once and appends every instance; false when the collection or the read fails.
    virtual bool collect(std::vector<ThermalCounterRow>* rows) = 0;
};

class ThermalCounterQuery {
public:
    virtual ~ThermalCounterQuery() = default;
    // Opens a query and adds the counter; nothing (with everything made so far closed) when the
    // counter library or the counter set is missing.
    virtual std::unique_ptr<ThermalCounterSession> open() = 0;
};
