#include "app/tray.h"

#include <benchmark/benchmark.h>

namespace {

// The tooltip as every tick builds it: the readings and two fans' speeds, non-ASCII characters
// and all, through the bounded formatter, then the string the icon keeps.
void BM_FormatTrayTooltip(benchmark::State& state) {
    Readings readings;
    readings.cpuTemp = 61.0;
    readings.gpuTemp = 52.0;
    readings.powerWatts = 48.5;
    readings.fanList.resize(2);
    readings.fanList[0].currentRpm = 1834.0;
    readings.fanList[1].currentRpm = 2010.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readings.fanList[0].currentRpm);
        std::wstring tip = formatTrayTooltip(readings);
        benchmark::DoNotOptimize(tip.data());
    }
}
BENCHMARK(BM_FormatTrayTooltip);

} // namespace
