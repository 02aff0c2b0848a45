// The evaluator over 320,000 elements against hand-written loops computing the same.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "expr/evaluator.h"

namespace {

constexpr size_t N = 320000;

struct Inputs {
    std::vector<double> x = std::vector<double>(N), y = std::vector<double>(N),
                        out = std::vector<double>(N);
    Inputs() {
        for (size_t i = 0; i < N; ++i) {
            x[i] = -50.0 + 100.0 * static_cast<double>(i) / N;
            y[i] = std::cos(0.001 * static_cast<double>(i)) * 3.0;
        }
    }
};

const char* const TEXTS[] = {"sin(x)*exp(-x/10)+y^2", "log(abs(x)+1)/sqrt(y*y+1)"};

// Parse and evaluate per call, as every transform does.
void BM_Evaluate(benchmark::State& state) {
    Inputs in;
    const char* text = TEXTS[state.range(0)];
    const plox::EvalEnvironment env;
    for (auto _ : state) {
        const bool ok = plox::evaluate(env, static_cast<int32_t>(N), in.x.data(), in.y.data(),
                                       in.out.data(), text, true, false, 0);
        if (!ok) state.SkipWithError("evaluation failed");
        benchmark::DoNotOptimize(in.out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * N));
    state.SetLabel(text);
}

void BM_HandLoop(benchmark::State& state) {
    Inputs in;
    const int which = static_cast<int>(state.range(0));
    for (auto _ : state) {
        if (which == 0) {
            for (size_t i = 0; i < N; ++i)
                in.out[i] = std::sin(in.x[i]) * std::exp(-in.x[i] / 10) + in.y[i] * in.y[i];
        } else {
            for (size_t i = 0; i < N; ++i)
                in.out[i] = std::log10(std::fabs(in.x[i]) + 1) / std::sqrt(in.y[i] * in.y[i] + 1);
        }
        benchmark::DoNotOptimize(in.out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * N));
    state.SetLabel(TEXTS[which]);
}

BENCHMARK(BM_Evaluate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
