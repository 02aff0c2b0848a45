// load_columns kind 0 over 320,000 lines, against the parse floor: reading the same file and
// summing its numbers with std::from_chars alone.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <vector>

#include "data/reader.h"
#include "data_files.h"
#include "document/model.h"

namespace {

void load(benchmark::State& state, char separator) {
    plox::Series series;
    series.file_name = plox::bench::two_column_file(separator);
    const auto bytes = std::filesystem::file_size(series.file_name);
    for (auto _ : state) {
        auto x = plox::load_columns(series, plox::load_kind::XY);
        if (!x || x->size() != plox::bench::BENCH_LINES) state.SkipWithError("wrong point count");
        benchmark::DoNotOptimize(x);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_LoadColumnsSpaces(benchmark::State& state) {
    load(state, ' ');
}
void BM_LoadColumnsCsv(benchmark::State& state) {
    load(state, ',');
}

// The floor: one read of the whole file, then from_chars over every number, summed.
void BM_FromCharsFloor(benchmark::State& state) {
    const std::string path = plox::bench::two_column_file(' ');
    const auto bytes = std::filesystem::file_size(path);
    std::vector<char> buffer(bytes);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
        std::fclose(f);
        const char* p = buffer.data();
        const char* end = p + got;
        double sum = 0;
        while (p < end) {
            double v = 0;
            const auto r = std::from_chars(p, end, v);
            if (r.ptr == p) {
                ++p;
                continue;
            }
            sum += v;
            p = r.ptr;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_FromCharsFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadColumnsSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadColumnsCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
