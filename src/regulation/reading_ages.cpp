#include "regulation/reading_ages.h"

#include <algorithm>
#include <cmath>

namespace {

// Returns whether the value is lost after this tick.
bool age(double fresh, double* shown, std::int32_t* ticks) {
    if (!std::isnan(fresh)) {
        *shown = fresh;
        *ticks = 0;
    } else if (*ticks >= 0) {
        ++*ticks;
    }
    return *ticks >= READING_LOST_TICKS;
}

// The rows come in the backend's order; a row it did not answer for stays, aged, after them
// until it is answered again.
void mergeRows(std::vector<SensorReading>& shown, const std::vector<SensorReading>& fresh) {
    std::vector<SensorReading> rows;
    rows.reserve(fresh.size() + shown.size());
    for (const SensorReading& reading : fresh) {
        rows.push_back(reading);
        rows.back().staleTicks = 0;
        rows.back().lost = false;
    }
    for (SensorReading& old : shown) {
        const bool answered = std::any_of(fresh.begin(), fresh.end(),
                                          [&](const SensorReading& r) { return r.key == old.key; });
        if (answered)
            continue;
        ++old.staleTicks;
        old.lost = old.staleTicks >= READING_LOST_TICKS;
        rows.push_back(std::move(old));
    }
    shown.swap(rows);
}

} // namespace

void refreshReadings(RegulationState& regulation, double cpu, double gpu, double power,
                     const std::vector<SensorReading>& fresh) {
    FanSafetyState& s = regulation.safety;
    Readings& r = regulation.readings;
    r.cpuTempLost = age(cpu, &r.cpuTemp, &s.cpuAge);
    r.gpuTempLost = age(gpu, &r.gpuTemp, &s.gpuAge);
    r.powerLost = age(power, &r.powerWatts, &s.powerAge);
    mergeRows(r.sensorList, fresh);
}
