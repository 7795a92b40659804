#include "bench_state.h"

#include "app/app_state.h"
#include "regulation/fan_curve.h"
#include "regulation/periodic_tick.h"

#include <benchmark/benchmark.h>

namespace {

// One poll in curve mode with the tray icon shown: fans and twenty readings from the backend,
// the curve (its temperature moves a degree per tick, so it writes now and then) and the
// tooltip. The repaint that follows in the program is measured on its own.
void BM_RunTick(benchmark::State& state) {
    BenchState s;
    for (auto _ : state) {
        runTick();
        benchmark::DoNotOptimize(appState.sensorList.data());
    }
    state.counters["readings"] = static_cast<double>(appState.sensorList.size());
}
BENCHMARK(BM_RunTick);

// The common case between ticks: the temperature has not moved past the hysteresis, so the
// curve is evaluated for both fans and nothing is written.
void BM_ApplyCurveSteady(benchmark::State& state) {
    BenchState s;
    applyCurve(true);
    for (auto _ : state) {
        applyCurve(false);
        benchmark::DoNotOptimize(appState.lastCurveRpm.data());
    }
}
BENCHMARK(BM_ApplyCurveSteady);

// Every evaluation passes the hysteresis: both fans get a new speed from the backend.
void BM_ApplyCurveWriting(benchmark::State& state) {
    BenchState s;
    bool warm = false;
    for (auto _ : state) {
        appState.cpuTemp = warm ? 66.0 : 62.0;
        warm = !warm;
        applyCurve(false);
        benchmark::DoNotOptimize(appState.lastCurveRpm.data());
    }
}
BENCHMARK(BM_ApplyCurveWriting);

} // namespace
