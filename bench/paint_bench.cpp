#include "bench_state.h"

#include "app/app_state.h"
#include "fakes/recording_canvas.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

#include <benchmark/benchmark.h>

namespace {

constexpr const char* TAB_NAMES[] = {"dashboard", "curve",  "sensors",
                                     "hardware",  "driver", "about"};

// One full paint of a tab at the design size. With the pixel model (second argument 1) the
// recording canvas also fills its 740x1080 colour model, which costs far more than the layout;
// without it only the drawing calls are recorded, which is closer to what the layout itself
// costs. Neither includes GDI.
void BM_PaintWindow(benchmark::State& state) {
    BenchState s;
    const auto tab = static_cast<std::int32_t>(state.range(0));
    const bool pixels = state.range(1) != 0;
    s.app.ui.activeTab = tab;
    const Rect client{0, 0, 740, 1080};
    RecordingCanvas canvas =
        pixels ? RecordingCanvas(740, 1080, palette::Background) : RecordingCanvas();
    std::size_t drawCalls = 0;
    for (auto _ : state) {
        canvas.calls.clear();
        paintWindow(canvas, client, s.app.ui, s.model());
        drawCalls = canvas.calls.size();
        benchmark::DoNotOptimize(canvas.calls.data());
    }
    state.SetLabel(TAB_NAMES[tab]);
    state.counters["draw_calls"] = static_cast<double>(drawCalls);
    state.counters["hit_regions"] = static_cast<double>(s.app.ui.hitRegions.size());
}
BENCHMARK(BM_PaintWindow)->ArgNames({"tab", "pixels"})->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1, 0}});

} // namespace
