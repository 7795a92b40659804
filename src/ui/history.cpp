#include "ui/history.h"

#include "app/app_state.h"

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

void recordHistorySample() {
    const auto value = [](double v, bool valid) {
        return valid && std::isfinite(v) ? static_cast<float>(v) : NAN;
    };
    const ReadingQuality& q = appState.readingQuality;
    HistorySample s;
    s.cpu = value(appState.cpuTemp, !appState.cpuTempLost && !q.cpuTempFallback);
    s.gpu = value(appState.gpuTemp, !appState.gpuTempLost && !q.gpuTempFallback);
    for (std::size_t i = 0; i < 2; ++i) {
        const bool has = i < appState.fanList.size();
        s.fan[i] = has ? value(appState.fanList[i].currentRpm, appState.fanList[i].measured) : NAN;
    }
    appState.history.push(s);
}
