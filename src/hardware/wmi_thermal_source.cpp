#include "hardware/wmi_thermal_source.h"

#include "platform/platform.h"

bool decodeThermalZoneRow(const ThermalZoneRow& row, ThermalZoneReading* reading) {
    if (!row.temperatureRead ||
        (row.temperatureType != VARIANT_TYPE_I4 && row.temperatureType != VARIANT_TYPE_UI4))
        return false;
    const double celsius = static_cast<double>(row.temperatureBits) / 10.0 - 273.15;
    if (!(celsius > 0.0 && celsius < 130.0))
        return false;
    reading->name = row.nameIsString ? row.name : std::wstring(THERMAL_ZONE_DEFAULT_NAME);
    reading->temperature = celsius;
    return true;
}

WmiThermalSource::WmiThermalSource(ThermalZoneQuery* query)
    : query(query ? query : platform.thermalZones) {}

WmiThermalSource::~WmiThermalSource() {
    release();
}

bool WmiThermalSource::connect() {
    if (ready)
        return true;
    if (!query)
        return false;
    connection = query->connect();
    ready = connection != nullptr;
    return ready;
}

bool WmiThermalSource::queryThermalZones(std::vector<ThermalZoneReading>* list) {
    if (!ready && !connect())
        return false;
    std::vector<ThermalZoneRow> rows;
    if (!connection->query(&rows)) {
        // A query that failed or timed out may have left the connection broken: start over.
        release();
        return false;
    }
    for (const ThermalZoneRow& row : rows) {
        ThermalZoneReading reading;
        if (decodeThermalZoneRow(row, &reading))
            list->push_back(reading);
    }
    return !list->empty();
}

void WmiThermalSource::release() {
    connection.reset();
    ready = false;
}

void WmiThermalSource::leaveThread() {
    release();
    if (query)
        query->leaveThread();
}
