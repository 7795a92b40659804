#pragma once

#include "platform/thermal_counter_query.h"

#include <atomic>
#include <string>
#include <vector>

// The thermal-zone performance counters in memory: instances a test chooses, a counter set that
// may be missing, collections that may fail, and a record of what was opened and closed.
class FakeThermalCounterQuery final : public ThermalCounterQuery {
public:
    bool counterMissing = false;
    bool collectFails = false;
    std::vector<ThermalCounterRow> rows;
    std::atomic<bool> hang{false}; // a collection waits while set, as a hung counter would
    std::atomic<bool> hanging{false};

    int opens = 0;
    int liveSessions = 0;

    std::unique_ptr<ThermalCounterSession> open() override;

    static ThermalCounterRow row(std::int64_t tenthsKelvin, const std::wstring& instance) {
        return {instance, true, tenthsKelvin};
    }
};
