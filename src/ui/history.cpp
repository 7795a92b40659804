#include "ui/history.h"

#include <cmath>

void History::push(const HistorySample& sample) {
    samples[next] = sample;
    next = (next + 1) % HISTORY_CAPACITY;
    if (count < HISTORY_CAPACITY)
        ++count;
    ++pushes;
}

const HistorySample& History::byAge(std::size_t age) const {
    return samples[(next + HISTORY_CAPACITY - 1 - age % HISTORY_CAPACITY) % HISTORY_CAPACITY];
}

void recordHistorySample(History& history, const Readings& r) {
    const auto value = [](double v, bool valid) {
        return valid && std::isfinite(v) ? static_cast<float>(v) : NAN;
    };
    const ReadingQuality& q = r.quality;
    HistorySample s;
    s.cpu = value(r.cpuTemp, !r.cpuTempLost && !q.cpuTempFallback);
    s.gpu = value(r.gpuTemp, !r.gpuTempLost && !q.gpuTempFallback);
    for (std::size_t i = 0; i < 2; ++i) {
        const bool has = i < r.fanList.size();
        s.fan[i] = has ? value(r.fanList[i].currentRpm, r.fanList[i].measured) : NAN;
    }
    history.push(s);
}
