#include "app/tray.h"
#include "base/bounded_format.h"

#include <benchmark/benchmark.h>

namespace {

// The bounded formatter on the tray tooltip's own format and buffer: four numbers and two
// non-ASCII characters into 128 characters.
void BM_FormatBoundedTrayTip(benchmark::State& state) {
    wchar_t tip[TRAY_TIP_CAPACITY];
    double rpm = 1834.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rpm);
        const std::size_t n = formatBounded(
            tip, TRAY_TIP_CAPACITY, L"Ventrasol — %.0f RPM · CPU %.0f°C · GPU %.0f°C (%.1f W)", rpm,
            61.0, 52.0, 48.5);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FormatBoundedTrayTip);

// The same through the program's function, which also builds the string the icon keeps.
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
