#pragma once

#include "platform/thermal_zone_query.h"

#include <memory>
#include <string>
#include <vector>

// One plausible thermal zone.
struct ThermalZoneReading {
    std::wstring name;
    double temperature = 0.0; // °C
    bool unchanging = false;  // the same value for ten minutes and more (see UnchangingWatch)
};

inline constexpr const wchar_t* THERMAL_ZONE_DEFAULT_NAME = L"ACPI Thermal Zone";

// A row as WMI delivered it, turned into a reading: only 32-bit integers (signed or unsigned)
// count, taken as unsigned tenths of a kelvin, and only 0 < °C < 130 is kept.
bool decodeThermalZoneRow(const ThermalZoneRow& row, ThermalZoneReading* reading);

// The ACPI thermal zones over WMI. Keeps its connection between queries; after a failed
// connection, or a failed query (which drops the connection), the next query connects anew.
// All calls but release belong on one thread, the one that queries.
class WmiThermalSource {
public:
    // Reaches WMI through query (platform.thermalZones when not given).
    explicit WmiThermalSource(ThermalZoneQuery* query = nullptr);
    ~WmiThermalSource();
    WmiThermalSource(const WmiThermalSource&) = delete;
    WmiThermalSource& operator=(const WmiThermalSource&) = delete;

    bool isReady() const { return ready; }
    // The connection step; true when ready afterwards.
    bool connect();
    // Appends the plausible zones of one query in WMI's order; true when list is not empty.
    bool queryThermalZones(std::vector<ThermalZoneReading>* list);
    // Services, then locator; not ready afterwards.
    void release();
    // Releases, then lets the querying thread leave COM; the last call on that thread.
    void leaveThread();

private:
    ThermalZoneQuery* query;
    bool ready = false;
    std::unique_ptr<ThermalZoneConnection> connection;
};
