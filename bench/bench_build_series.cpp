// build_series over 320,000 lines with both transforms, XAvr 2 and one mask.
#include <benchmark/benchmark.h>

#include "data/series_builder.h"
#include "data_files.h"
#include "document/model.h"

namespace {

void BM_BuildSeries(benchmark::State& state) {
    plox::Graph graph;
    plox::Series& s = graph.series[0];
    graph.series_count = 1;
    s.file_name = plox::bench::two_column_file(' ');
    s.IsXtrans = 1;
    s.Xtrans = "x*2+1";
    s.IsYtrans = 1;
    s.Ytrans = "log(abs(y)+1)";
    s.XAvr = 2;
    graph.mask_count = 1;
    graph.masks[0] = plox::Mask{0, {100, 200, -1, 10}};
    for (auto _ : state) {
        auto points = graph.series_count ? plox::build_series(graph, 0, 0) : std::nullopt;
        if (!points || points->size() != plox::bench::BENCH_LINES)
            state.SkipWithError("wrong point count");
        benchmark::DoNotOptimize(points);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * plox::bench::BENCH_LINES));
}

BENCHMARK(BM_BuildSeries)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
