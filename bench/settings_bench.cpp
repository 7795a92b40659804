#include "bench_state.h"

#include "settings/registry_settings.h"

#include <benchmark/benchmark.h>

namespace {

// The in-memory registry keeps a log of every write; it is emptied each round so the
// benchmark does not grow it without end.

void BM_LoadSettings(benchmark::State& state) {
    BenchState s;
    for (auto _ : state) {
        const bool ok = loadSettings(s.app.settings);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_LoadSettings);

void BM_SaveSettings(benchmark::State& state) {
    BenchState s;
    for (auto _ : state) {
        const bool ok = saveSettings(s.app.settings);
        benchmark::DoNotOptimize(ok);
        s.registry.writes.clear();
    }
}
BENCHMARK(BM_SaveSettings);

// What a settings change costs end to end: all eight values written, then read back.
void BM_SaveAndLoadSettings(benchmark::State& state) {
    BenchState s;
    for (auto _ : state) {
        const bool saved = saveSettings(s.app.settings);
        const bool loaded = loadSettings(s.app.settings);
        benchmark::DoNotOptimize(saved && loaded);
        s.registry.writes.clear();
    }
}
BENCHMARK(BM_SaveAndLoadSettings);

} // namespace
