#include "bench_state.h"

#include "app/app_tick.h"
#include "regulation/fan_curve.h"

#include <benchmark/benchmark.h>

namespace {

// One poll in curve mode with the tray icon shown: fans and twenty readings from the backend,
// the curve (its temperature moves a degree per tick, so it writes now and then) and the
// tooltip. The repaint that follows in the program is measured on its own.
void BM_RunTick(benchmark::State& state) {
    BenchState s;
    for (auto _ : state) {
        tickApp(s.app);
        benchmark::DoNotOptimize(s.app.regulation.readings.sensorList.data());
    }
    state.counters["readings"] = static_cast<double>(s.app.regulation.readings.sensorList.size());
}
BENCHMARK(BM_RunTick);

// The common case between ticks: the temperature has not moved past the hysteresis, so the
// curve is evaluated for both fans and nothing is written.
void BM_ApplyCurveSteady(benchmark::State& state) {
    BenchState s;
    applyCurve(s.app.regulation, s.app.settings, true);
    for (auto _ : state) {
        applyCurve(s.app.regulation, s.app.settings, false);
        benchmark::DoNotOptimize(s.app.regulation.lastCurveRpm.data());
    }
}
BENCHMARK(BM_ApplyCurveSteady);

// Every evaluation passes the hysteresis: both fans get a new speed from the backend.
void BM_ApplyCurveWriting(benchmark::State& state) {
    BenchState s;
    bool warm = false;
    for (auto _ : state) {
        s.app.regulation.readings.cpuTemp = warm ? 66.0 : 62.0;
        warm = !warm;
        applyCurve(s.app.regulation, s.app.settings, false);
        benchmark::DoNotOptimize(s.app.regulation.lastCurveRpm.data());
    }
}
BENCHMARK(BM_ApplyCurveWriting);

} // namespace
