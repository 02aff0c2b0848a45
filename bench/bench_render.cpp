// Rendering costs without a device: the axis half of a graph body in each frame type, long
// patterned lines, and replaying a recorded body (what every screen repaint does).
#include "render/axes.h"
#include "render/graph_drawing.h"
#include "render/primitives.h"

#include <benchmark/benchmark.h>

namespace plox {
namespace {

Graph axes_graph(int frame) {
    Graph g;
    g.scales_valid = 1;
    g.FrameType = frame;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 10;
    g.axes[AxisY].scale_type = 1;
    g.axes[AxisY].from = 1e-3;
    g.axes[AxisY].to = 1e3;
    g.axes[AxisY].auto_step = 0;
    g.axes[AxisY].increment = 1;
    g.axes[AxisY].division = 10;
    g.axes[AxisX].minor_line_type = 3;
    return g;
}

void BM_GraphBodyAxes(benchmark::State& state) {
    FixedTextMeasurer measurer;
    RenderContext ctx;
    ctx.measurer = &measurer;
    ctx.metafile = true;
    size_t calls = 0;
    for (auto _ : state) {
        Graph g = axes_graph(static_cast<int>(state.range(0)));
        RecordingSurface rec;
        draw_graph_body(rec, g, ctx);
        calls = rec.commands().size();
        benchmark::DoNotOptimize(calls);
    }
    state.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_GraphBodyAxes)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_PatternedPolyline(benchmark::State& state) {
    const DashPattern pattern = make_dash_pattern(line_type::DashDotDot, 40, 300);
    for (auto _ : state) {
        RecordingSurface rec;
        int32_t phase = 0;
        for (int i = 0; i < 10000; ++i)
            phase = draw_patterned_segment(pattern, rec, i * 14, (i * 37) % 10000, i * 14 + 14,
                                           ((i + 1) * 37) % 10000, phase);
        benchmark::DoNotOptimize(rec.commands().data());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_PatternedPolyline)->Unit(benchmark::kMillisecond);

void BM_ReplayBody(benchmark::State& state) {
    FixedTextMeasurer measurer;
    RenderContext ctx;
    ctx.measurer = &measurer;
    Graph g = axes_graph(0);
    const RecordingSurface& body = cached_body(g, ctx);
    for (auto _ : state) {
        RecordingSurface copy;
        body.replay(copy);
        benchmark::DoNotOptimize(copy.commands().data());
    }
    state.counters["calls"] = static_cast<double>(body.commands().size());
}
BENCHMARK(BM_ReplayBody)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plox
BENCHMARK_MAIN();
