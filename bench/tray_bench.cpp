#include "app/tray.h"

#include <benchmark/benchmark.h>

namespace {

// The tooltip as every tick builds it: four numbers and non-ASCII characters through the bounded
// formatter into 128 characters, then the string the icon keeps.
void BM_FormatTrayTooltip(benchmark::State& state) {
    double rpm = 1834.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rpm);
        std::wstring tip = formatTrayTooltip(rpm, 61.0, 52.0, 48.5);
        benchmark::DoNotOptimize(tip.data());
    }
}
BENCHMARK(BM_FormatTrayTooltip);

} // namespace
