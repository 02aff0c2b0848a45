// The extension module's heavier calls as the program makes them: the fits' linear solver,
// multi-peak fitting, smoothing at the largest curve size and a vectorised extra function.
#include "extension/module.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const plox::ExtensionExports& exports() {
    static plox::ExtensionModule* module = [] {
        const std::string path = plox::find_module(plox::EXTENSION_FILE);
        plox::LibraryHandle library = plox::open_library(path);
        if (!library) {
            std::fprintf(stderr, "libploxex32.so not found\n");
            std::exit(1);
        }
        return new plox::ExtensionModule(std::move(library), path);
    }();
    return module->exports();
}

void GaussJordan9(benchmark::State& state) {
    constexpr int n = 9;
    std::vector<double> a(n * n), b(n), x(n);
    for (int r = 0; r < n; ++r) {
        b[r] = r + 1;
        for (int c = 0; c < n; ++c)
            a[c + n * r] = 1.0 / (r + c + 1) + (r == c ? 1 : 0);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(exports().gauss_jordan(n, a.data(), b.data(), x.data()));
}
BENCHMARK(GaussJordan9);

// Three Gaussians on an offset, 2000 points, all 10 parameters free.
void GaussianFit3Peaks(benchmark::State& state) {
    std::vector<double> x(2000), y(2000);
    for (int i = 0; i < 2000; ++i) {
        x[i] = -10 + 0.01 * i;
        y[i] = 0.2 + 3 * std::exp(-std::pow((x[i] + 4) / 1.0, 2)) +
               2 * std::exp(-std::pow(x[i] / 0.7, 2)) + std::exp(-std::pow((x[i] - 5) / 1.5, 2)) +
               1e-3 * std::sin(37.0 * i);
    }
    const char* state_lines[] = {"0.1", "1 0", "1 2.5 1 -3.8 1 1.8", "1 1.5 1 0.2 1 1.0",
                                 "1 1.2 1 4.8 1 2.2"};
    for (auto _ : state) {
        char name[PLOXEX_KEY_SIZE] = "GAUSSF2";
        PloxexBlock* block = nullptr;
        exports().init(nullptr, name, &block, 1, nullptr, nullptr);
        for (int i = 0; i < 5; ++i)
            exports().load(0, state_lines[i], i, name, block);
        const int32_t highest = exports().first(name, block, 2000, x.data(), y.data());
        exports().free_block(block);
        if (highest != 5) {
            state.SkipWithError("the fit did not converge");
            break;
        }
    }
}
BENCHMARK(GaussianFit3Peaks)->Unit(benchmark::kMillisecond);

void Smooth3999(benchmark::State& state) {
    std::vector<double> x(3999), y(3999), cx(3999), cy(3999);
    for (int i = 0; i < 3999; ++i) {
        x[i] = i;
        y[i] = std::sin(i * 0.01) + 0.1 * std::sin(i * 2.1);
    }
    char name[] = "SMOOTH";
    for (auto _ : state)
        benchmark::DoNotOptimize(exports().second(name, nullptr, 0, 3999, cx.data(), cy.data(),
                                                  3999, x.data(), y.data()));
}
BENCHMARK(Smooth3999)->Unit(benchmark::kMicrosecond);

void GammaOf100k(benchmark::State& state) {
    std::vector<double> v(100000), out(100000);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = 0.001 + 56.0 * static_cast<double>(i) / v.size();
    const int32_t index = exports().function_number("gamma");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            exports().function_set(index, v.data(), nullptr, nullptr, out.data(), 100000));
}
BENCHMARK(GammaOf100k)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
