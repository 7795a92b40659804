#pragma once

#include "hardware/wmi_thermal_source.h"
#include "platform/thermal_counter_query.h"

#include <memory>
#include <vector>

// An instance as the counters gave it, turned into a reading: only valid data counts, taken as
// tenths of a kelvin, and only 0 < °C < 130 is kept, as for WMI's zones.
bool decodeThermalCounterRow(const ThermalCounterRow& row, ThermalZoneReading* reading);

// The ACPI thermal zones through the performance counters: the second way to them, for machines
// where WMI's class answers nothing. Keeps its query open between collections; a failed
// collection closes it and the next call opens anew. All calls belong on the reading thread.
class ThermalCounterSource {
public:
    // Reaches the counters through query (platform.thermalCounters when not given).
    explicit ThermalCounterSource(ThermalCounterQuery* query = nullptr);

    // Appends the plausible zones of one collection in the counters' order; true when list is
    // not empty.
    bool queryThermalZones(std::vector<ThermalZoneReading>* list);
    void release() { session.reset(); }
    bool isOpen() const { return session != nullptr; }

private:
    ThermalCounterQuery* query;
    std::unique_ptr<ThermalCounterSession> session;
};
