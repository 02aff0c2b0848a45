// Fitting speed on 320,000 points: one Levenberg–Marquardt iteration of a 3-parameter user
// function (evaluator path, numeric derivatives) and of the same model in C++, a whole fit,
// and the degree-5 polynomial least squares. The solver is the extension module's when it can
// be loaded, else a plain Gauss-Jordan here (the systems have at most 6 unknowns).
#include "analysis/expression_model.h"
#include "analysis/least_squares.h"
#include "analysis/marquardt.h"
#include "document/model.h"
#include "expr/evaluator.h"
#include "extension/bindings.h"
#include "extension/module.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

using namespace plox;

constexpr size_t POINTS = 320000;

struct Data {
    std::vector<double> x, y;
};

const Data& decay_data() {
    static const Data data = [] {
        Data d;
        std::mt19937_64 random(7);
        std::normal_distribution<double> noise(0, 0.01);
        for (size_t i = 0; i < POINTS; ++i) {
            const double x = 10.0 * static_cast<double>(i) / POINTS;
            d.x.push_back(x);
            d.y.push_back(1.5 * std::exp(-0.8 * x) + 0.2 + noise(random));
        }
        return d;
    }();
    return data;
}

class LocalSolver : public LinearSolver {
public:
    bool solve(std::span<const double> matrix, std::span<const double> rhs,
               std::span<double> solution) override {
        const size_t n = rhs.size();
        std::vector<double> a(matrix.begin(), matrix.end()), b(rhs.begin(), rhs.end());
        for (size_t c = 0; c < n; ++c) {
            size_t p = c;
            for (size_t r = c + 1; r < n; ++r)
                if (std::fabs(a[c + n * r]) > std::fabs(a[c + n * p])) p = r;
            if (std::fabs(a[c + n * p]) < 1e-100) return false;
            for (size_t k = 0; k < n; ++k)
                std::swap(a[k + n * c], a[k + n * p]);
            std::swap(b[c], b[p]);
            for (size_t r = 0; r < n; ++r) {
                if (r == c) continue;
                const double f = a[c + n * r] / a[c + n * c];
                for (size_t k = c; k < n; ++k)
                    a[k + n * r] -= f * a[k + n * c];
                b[r] -= f * b[c];
            }
        }
        for (size_t c = 0; c < n; ++c)
            solution[c] = b[c] / a[c + n * c];
        return true;
    }
};

LinearSolver& solver() {
    static LocalSolver local;
    static std::unique_ptr<ExtensionModule> module;
    static std::unique_ptr<ModuleLinearSolver> bound;
    if (!bound && !module) {
        const std::string path = find_module(EXTENSION_FILE);
        if (auto library = path.empty() ? nullptr : open_library(path)) {
            module = std::make_unique<ExtensionModule>(library, path);
            bound = std::make_unique<ModuleLinearSolver>(*module);
        }
    }
    return bound ? static_cast<LinearSolver&>(*bound) : local;
}

class DecayModel : public FitModel {
public:
    bool value(const FitParameters& p, std::span<const double> x, std::span<const double>,
               std::span<double> out) override {
        for (size_t j = 0; j < x.size(); ++j)
            out[j] = p[0] * std::exp(-p[1] * x[j]) + p[2];
        return true;
    }
    bool has_derivative(int) const override { return false; }
    bool derivative(int, const FitParameters&, std::span<const double>, std::span<const double>,
                    std::span<double>) override {
        return false;
    }
    std::array<bool, FIT_PARAMETERS> used_parameters() const override {
        return {true, true, true, false, false, false, false, false, false};
    }
};

const FitParameters start{1, 1, 1, 1, 1, 1, 1, 1, 1};
const std::array<bool, FIT_PARAMETERS> abc{true,  true,  true,  false, false,
                                           false, false, false, false};

// One step after the initialisation; a huge λ keeps the parameters where they are, so every
// round measures the same work: model and three numeric derivatives, sums and the solve.
void run_iterations(benchmark::State& state, FitModel& model) {
    const Data& d = decay_data();
    MarquardtWorkspace ws;
    FitParameters p = start;
    double lambda = -1, chi2 = 0;
    marquardt_step(model, p, abc, d.x, d.y, solver(), ws, lambda, chi2);
    for (auto _ : state) {
        lambda = 1e12;
        if (marquardt_step(model, p, abc, d.x, d.y, solver(), ws, lambda, chi2) != StepStatus::Ok)
            state.SkipWithError("step failed");
        benchmark::DoNotOptimize(chi2);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * POINTS));
}

void BM_MarquardtIterationUserFunction(benchmark::State& state) {
    FitFunction block;
    block.function = "a*exp(-b*x)+c";
    ExpressionFitModel model(block, nullptr, nullptr, 0);
    run_iterations(state, model);
}
BENCHMARK(BM_MarquardtIterationUserFunction)->Unit(benchmark::kMillisecond);

void BM_MarquardtIterationCppModel(benchmark::State& state) {
    DecayModel model;
    run_iterations(state, model);
}
BENCHMARK(BM_MarquardtIterationCppModel)->Unit(benchmark::kMillisecond);

void BM_MarquardtWholeFitUserFunction(benchmark::State& state) {
    const Data& d = decay_data();
    FitFunction block;
    block.function = "a*exp(-b*x)+c";
    ExpressionFitModel model(block, nullptr, nullptr, 0);
    MarquardtWorkspace ws;
    int iterations = 0;
    for (auto _ : state) {
        const auto r = fit_marquardt(model, start, abc, 0.01, d.x, d.y, solver(), ws, nullptr);
        if (!r.valid) state.SkipWithError("fit failed");
        iterations = r.iterations;
    }
    state.counters["lm_iterations"] = iterations;
}
BENCHMARK(BM_MarquardtWholeFitUserFunction)->Unit(benchmark::kMillisecond);

void BM_PolynomialDegree5(benchmark::State& state) {
    const Data& d = decay_data();
    LeastSquaresWorkspace ws;
    LeastSquaresResult result;
    for (auto _ : state) {
        if (fit_least_squares(kind::Polynomial, 5, std::nullopt, d.x, d.y, solver(), ws, result) !=
            FitStatus::Ok)
            state.SkipWithError("fit failed");
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * POINTS));
}
BENCHMARK(BM_PolynomialDegree5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
