// Reading and writing a document with fifty series and many objects, in memory.
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/qvp_format.h"

#include <benchmark/benchmark.h>

namespace plox {
namespace {

Graph full_graph() {
    Graph g;
    for (int i = 0; i < MAX_SERIES; ++i) {
        Series& s =
            g.series[add_series(g, "/home/user/data/run" + std::to_string(i) + ".dat", nullptr)];
        s.Xtrans = "x*1.5+0.25";
        s.IsXtrans = 1;
    }
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        GraphObject& o = g.objects[i];
        o.used = 1;
        o.Type = i % 2 ? object_type::Text : object_type::FilledArrow;
        o.Str = "%01E legend text " + std::to_string(i);
        o.position = {10.5, 20.25, 30, 40};
        o.Font1 = o.Font2 = o.Font3 = default_axis_label_font();
    }
    return g;
}

std::string write(const Graph& g) {
    IoContext ctx;
    WriteOptions o;
    o.document_path = "/home/user/doc.qvp";
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    return std::move(w.buffer());
}

void BM_WriteDocument(benchmark::State& state) {
    const Graph g = full_graph();
    for (auto _ : state)
        benchmark::DoNotOptimize(write(g));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * write(g).size()));
}
BENCHMARK(BM_WriteDocument);

void BM_ReadDocument(benchmark::State& state) {
    const std::string text = write(full_graph());
    auto g = std::make_unique<Graph>();
    for (auto _ : state) {
        *g = Graph{};
        IoContext ctx;
        ReadInfo info;
        LineReader r(text);
        r.line();
        benchmark::DoNotOptimize(read_graph_body(r, *g, version::V1_8, info, ctx));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadDocument);

} // namespace
} // namespace plox

BENCHMARK_MAIN();
