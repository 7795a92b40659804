#pragma once

#include <array>
#include <cstddef>

// The last five minutes of readings for the dashboard's chart, one sample per tick, kept in a
// fixed ring so that recording a tick never allocates. A value that is not a current reading
// is stored as NaN and drawn as a gap.
inline constexpr std::size_t HISTORY_CAPACITY = 300;

struct HistorySample {
    float cpu = 0.0f;
    float gpu = 0.0f;
    std::array<float, 2> fan = {0.0f, 0.0f};
};

struct History {
    std::array<HistorySample, HISTORY_CAPACITY> samples{};
    std::size_t count = 0; // filled samples, up to the capacity
    std::size_t next = 0;  // where the next sample goes

    void push(const HistorySample& sample);
    // age 0 is the newest sample; age must be below count.
    const HistorySample& byAge(std::size_t age) const;
};

// Appends the current readings of appState to appState.history: temperatures that are lost or
// stand-ins and fan speeds that were not measured become gaps.
void recordHistorySample();
