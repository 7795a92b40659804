#include "hardware/thermal_counter_source.h"

#include "platform/platform.h"

bool decodeThermalCounterRow(const ThermalCounterRow& row, ThermalZoneReading* reading) {
    if (!row.valid)
        return false;
    const double celsius = static_cast<double>(row.tenthsKelvin) / 10.0 - 273.15;
    if (!(celsius > 0.0 && celsius < 130.0))
        return false;
    reading->name = row.instance.empty() ? std::wstring(THERMAL_ZONE_DEFAULT_NAME) : row.instance;
    reading->temperature = celsius;
    return true;
}

ThermalCounterSource::ThermalCounterSource(ThermalCounterQuery* query)
    : query(query ? query : platform.thermalCounters) {}

bool ThermalCounterSource::queryThermalZones(std::vector<ThermalZoneReading>* list) {
    if (!session && query)
        session = query->open();
    if (!session)
        return false;
    std::vector<ThermalCounterRow> rows;
    if (!session->collect(&rows)) {
        release();
        return false;
    }
    for (const ThermalCounterRow& row : rows) {
        ThermalZoneReading reading;
        if (decodeThermalCounterRow(row, &reading))
            list->push_back(reading);
    }
    return !list->empty();
}
