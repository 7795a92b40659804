#include "regulation/reading_ages.h"

#include "app/app_state.h"

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

void mergeRows(const std::vector<SensorReading>& fresh) {
    std::vector<SensorReading>& rows = appState.sensorList;
    std::vector<bool> seen(rows.size(), false);
    for (const SensorReading& reading : fresh) {
        bool found = false;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].key != reading.key)
                continue;
            rows[i] = reading;
            rows[i].staleTicks = 0;
            rows[i].lost = false;
            seen[i] = true;
            found = true;
            break;
        }
        if (!found) {
            rows.push_back(reading);
            rows.back().staleTicks = 0;
            rows.back().lost = false;
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i])
            continue;
        ++rows[i].staleTicks;
        rows[i].lost = rows[i].staleTicks >= READING_LOST_TICKS;
    }
}

} // namespace

void refreshReadings(double cpu, double gpu, double power,
                     const std::vector<SensorReading>& fresh) {
    FanSafetyState& s = appState.safety;
    appState.cpuTempLost = age(cpu, &appState.cpuTemp, &s.cpuAge);
    appState.gpuTempLost = age(gpu, &appState.gpuTemp, &s.gpuAge);
    appState.powerLost = age(power, &appState.powerWatts, &s.powerAge);
    mergeRows(fresh);
}
