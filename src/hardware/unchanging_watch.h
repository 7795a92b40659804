#pragma once

#include "hardware/retry_backoff.h"
#include "hardware/wmi_thermal_source.h"

#include <chrono>
#include <string>
#include <vector>

// Notes which thermal zones keep the very same value: many firmwares report a fixed number for a
// zone instead of a measured one, and a user should not take it for a reading.
class UnchangingWatch {
public:
    static constexpr std::chrono::minutes UNCHANGED_FOR{10};

    // Marks each zone of this round that has shown the same value in every round of the last
    // ten minutes. Zones are told apart by source and name (and order among equal names); a zone missing from a round
    // starts over.
    void mark(std::vector<ThermalZoneReading>* zones, const wchar_t* source,
              RetryBackoff::Clock::time_point now);

private:
    struct Seen {
        std::wstring key;
        double value;
        RetryBackoff::Clock::time_point since;
    };
    std::vector<Seen> seen;
};
