#pragma once

#include "base/rect.h"
#include "platform/canvas.h"
#include "regulation/regulation_state.h"

#include <array>
#include <cstddef>
#include <cstdint>

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
    std::size_t count = 0;    // filled samples, up to the capacity
    std::size_t next = 0;     // where the next sample goes
    std::uint64_t pushes = 0; // samples ever pushed: tells a drawing of the lines is current

    void push(const HistorySample& sample);
    // age 0 is the newest sample; age must be below count.
    const HistorySample& byAge(std::size_t age) const;
};

// The chart's lines as polylines in plot pixels, one series after the other, made once per
// sample and plot and reused by every paint until the next sample: a tick paints twice (the
// comparison with the shown picture, then the changed part), and both place the same 1,200
// samples.
inline constexpr std::size_t HISTORY_SERIES = 4;
struct HistoryLines {
    // What they were made from: none yet.
    std::uint64_t pushes = ~std::uint64_t{0};
    Rect plot;
    double rpmTop = 0.0;
    std::size_t fans = 0;
    // The points of series s, and where each of its runs ends (a gap ends a run).
    std::array<std::array<Point, HISTORY_CAPACITY + 1>, HISTORY_SERIES> points{};
    std::array<std::array<std::uint16_t, HISTORY_CAPACITY + 1>, HISTORY_SERIES> runEnds{};
    std::array<std::size_t, HISTORY_SERIES> runs{};
};

// Appends the current readings to history: temperatures that are lost or stand-ins and fan
// speeds that were not measured become gaps.
void recordHistorySample(History& history, const Readings& readings);
