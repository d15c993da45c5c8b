// Layout and drawing of the chart panel on the recording canvas: what the
// panel itself costs per paint, without GDI.
#include <benchmark/benchmark.h>

#include "chart_scenes.h"
#include "controls/recording_canvas.h"

namespace norvalt {
namespace {

void paintRepeatedly(benchmark::State& state, CAutoPanel& chart)
{
    RecordingCanvas canvas;
    canvas.calls.reserve(1 << 16);
    std::size_t calls = 0;
    for (auto _ : state) {
        canvas.calls.clear();
        chart.paint(canvas, {0, 0, 800, 600});
        calls = canvas.calls.size();
        benchmark::DoNotOptimize(canvas.calls.data());
    }
    state.counters["calls"] = static_cast<double>(calls);
}

void BM_ChartGraduation(benchmark::State& state)
{
    bench::GraduationScene scene;
    CAutoPanel chart;
    scene.configure(chart);
    paintRepeatedly(state, chart);
}
BENCHMARK(BM_ChartGraduation)->Unit(benchmark::kMicrosecond);

// Arguments: line mode (1 straight, 2 smooth), column-run merging.
void BM_Chart100k(benchmark::State& state)
{
    static const bench::DenseScene scene;
    CAutoPanel chart;
    scene.configure(chart, static_cast<int>(state.range(0)));
    chart.mergeColumnRuns = state.range(1) != 0;
    paintRepeatedly(state, chart);
}
BENCHMARK(BM_Chart100k)->ArgNames({"mode", "merge"})->Args({1, 1})->Args({2, 1})->Args({2, 0})->Unit(benchmark::kMillisecond);

} // namespace
} // namespace norvalt
