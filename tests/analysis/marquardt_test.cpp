// Levenberg–Marquardt on models written in C++: convergence, held and unused parameters, the
// numeric derivative's step, failure modes, and a certified NIST reference problem.
#include "analysis/marquardt.h"
#include "document/model.h"
#include "test_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace plox {
namespace {

using test::TestSolver;
using Function = std::function<double(const FitParameters&, double)>;

class LambdaModel : public FitModel {
public:
    LambdaModel(Function f, std::array<bool, 9> used) : f_(std::move(f)), used_(used) {}
    bool value(const FitParameters& p, std::span<const double> x, std::span<const double>,
               std::span<double> out) override {
        evaluated_at.push_back(p);
        if (fail_after >= 0 && static_cast<int>(evaluated_at.size()) > fail_after) return false;
        for (size_t j = 0; j < x.size(); ++j)
            out[j] = f_(p, x[j]);
        return true;
    }
    bool has_derivative(int k) const override {
        return static_cast<bool>(derivatives[static_cast<size_t>(k)]);
    }
    bool derivative(int k, const FitParameters& p, std::span<const double> x,
                    std::span<const double>, std::span<double> out) override {
        for (size_t j = 0; j < x.size(); ++j)
            out[j] = derivatives[static_cast<size_t>(k)](p, x[j]);
        return true;
    }
    std::array<bool, 9> used_parameters() const override { return used_; }

    std::array<Function, 9> derivatives;
    std::vector<FitParameters> evaluated_at;
    int fail_after = -1;

private:
    Function f_;
    std::array<bool, 9> used_;
};

class Lines : public FitProgress {
public:
    void show_status(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

constexpr std::array<bool, 9> all{true, true, true, true, true, true, true, true, true};
constexpr std::array<bool, 9> ab{true, true, false, false, false, false, false, false, false};
const FitParameters ones{1, 1, 1, 1, 1, 1, 1, 1, 1};

MarquardtResult run(FitModel& model, const std::vector<double>& x, const std::vector<double>& y,
                    FitParameters start = ones, std::array<bool, 9> free = all,
                    double tolerance = 0.1, FitProgress* progress = nullptr) {
    TestSolver solver;
    MarquardtWorkspace ws;
    auto r = fit_marquardt(model, start, free, tolerance, x, y, solver, ws, progress);
    EXPECT_TRUE(ws.model.empty()); // storage released by the final call
    return r;
}

TEST(Marquardt, LineConvergesAndOnlyUsedParametersMove) {
    LambdaModel line([](const FitParameters& p, double x) { return p[0] * x + p[1]; }, ab);
    std::vector<double> x, y;
    for (int i = 0; i < 20; ++i) {
        x.push_back(i * 0.5);
        y.push_back(2 * x.back() + 3);
    }
    Lines progress;
    const auto r = run(line, x, y, ones, all, 0.1, &progress);
    ASSERT_TRUE(r.valid);
    EXPECT_NEAR(r.parameters[0], 2, 1e-6);
    EXPECT_NEAR(r.parameters[1], 3, 1e-6);
    for (size_t k = 2; k < 9; ++k)
        EXPECT_EQ(r.parameters[k], 1.0);
    EXPECT_EQ(r.used, ab);
    ASSERT_EQ(progress.lines.size(), static_cast<size_t>(r.iterations));
    EXPECT_EQ(progress.lines[0].rfind("1: chi^2= ", 0), 0u);
}

TEST(Marquardt, HeldParameterKeepsItsValue) {
    LambdaModel line([](const FitParameters& p, double x) { return p[0] * x + p[1]; }, ab);
    const std::vector<double> x{0, 1, 2, 3}, y{3, 5, 7, 9};
    FitParameters start = ones;
    start[1] = 4;
    const auto r =
        run(line, x, y, start, {true, false, false, false, false, false, false, false, false});
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.parameters[1], 4);
    // Least squares of y - 4 = a·x: a = Σx(y-4)/Σx² = (1 + 6 + 15)/14.
    EXPECT_NEAR(r.parameters[0], 22.0 / 14, 1e-3);
}

TEST(Marquardt, NoFreeParameterIsValidAtOnce) {
    LambdaModel line([](const FitParameters& p, double x) { return p[0] * x; }, ab);
    const auto r = run(line, {1, 2}, {5, 6}, ones, {});
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.parameters, ones);
    EXPECT_EQ(line.evaluated_at.size(), 1u);
}

TEST(Marquardt, NumericDerivativeStep) {
    // The model is evaluated at p + h for each free parameter: h = 0.001·p, or ±0.1 when tiny.
    LambdaModel model(
        [](const FitParameters& p, double x) { return p[0] + p[1] * x + p[2] * x * x; },
        {true, true, true, false, false, false, false, false, false});
    MarquardtWorkspace ws;
    ws.free_count = 3;
    ws.order = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::array<double, 81> alpha{};
    FitParameters beta{}, p{0, 5, -1e-9, 0, 0, 0, 0, 0, 0};
    double chi2 = 0;
    const std::vector<double> x{1, 2, 3}, y{1, 2, 3};
    ASSERT_TRUE(model_derivatives(model, p, x, y, ws, alpha, beta, chi2));
    ASSERT_EQ(model.evaluated_at.size(), 4u);
    EXPECT_DOUBLE_EQ(model.evaluated_at[1][0], 0.1);
    EXPECT_DOUBLE_EQ(model.evaluated_at[2][1], 5.005);
    EXPECT_DOUBLE_EQ(model.evaluated_at[3][2], -1e-9 - 0.1);
    // Derivatives of a linear model are exact: ∂f/∂p0 = 1, so α[0][0] = N.
    EXPECT_NEAR(alpha[0], 3, 1e-9);
    EXPECT_NEAR(alpha[1 * 3 + 1], 1 + 4 + 9, 1e-6);
}

TEST(Marquardt, AnalyticDerivativesReplaceTheNumericOnes) {
    LambdaModel model([](const FitParameters& p, double x) { return p[0] * std::exp(p[1] * x); },
                      ab);
    model.derivatives[0] = [](const FitParameters& p, double x) { return std::exp(p[1] * x); };
    model.derivatives[1] = [](const FitParameters& p, double x) {
        return p[0] * x * std::exp(p[1] * x);
    };
    std::vector<double> x, y;
    for (int i = 0; i < 10; ++i) {
        x.push_back(i * 0.2);
        y.push_back(3 * std::exp(-0.7 * x.back()));
    }
    const auto r = run(model, x, y, {1, 0, 0, 0, 0, 0, 0, 0, 0}, all, 0.01);
    ASSERT_TRUE(r.valid);
    EXPECT_NEAR(r.parameters[0], 3, 1e-4);
    EXPECT_NEAR(r.parameters[1], -0.7, 1e-4);
    // Only value() calls: one per step plus the first, none for numeric derivatives.
    EXPECT_EQ(model.evaluated_at.size(), static_cast<size_t>(r.iterations) + 2);
}

TEST(Marquardt, ModelThatCannotImproveFailsAfter500Iterations) {
    // f = a² + 1 against y = 0 starting at the minimum a = 0: every trial is worse.
    LambdaModel model([](const FitParameters& p, double) { return p[0] * p[0] + 1; },
                      {true, false, false, false, false, false, false, false, false});
    const auto r = run(model, {1, 2, 3}, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.iterations, MAX_FIT_ITERATIONS);
    EXPECT_EQ(r.parameters[0], 0);
}

TEST(Marquardt, FailuresEndTheFit) {
    LambdaModel line([](const FitParameters& p, double x) { return p[0] * x + p[1]; }, ab);
    line.fail_after = 0; // the very first evaluation fails
    EXPECT_FALSE(run(line, {1, 2, 3}, {1, 2, 3}).valid);

    line.fail_after = 4; // an evaluation inside a later step fails
    line.evaluated_at.clear();
    EXPECT_FALSE(run(line, {1, 2, 3}, {1, 2, 4}).valid);

    // A parameter that changes nothing makes the curvature matrix singular.
    LambdaModel flat([](const FitParameters& p, double x) { return p[0] * x; }, ab);
    EXPECT_FALSE(run(flat, {1, 2, 3}, {1, 2, 4}).valid);

    // Invalid points are skipped; with none left nothing can be fitted.
    LambdaModel one([](const FitParameters& p, double) { return p[0]; },
                    {true, false, false, false, false, false, false, false, false});
    EXPECT_FALSE(run(one, {ERROR_VALUE, 1}, {1, MASKED_VALUE}).valid);
    const auto skipped = run(one, {ERROR_VALUE, 1, 2}, {100, 4, 6}, ones, all, 0.01);
    ASSERT_TRUE(skipped.valid);
    EXPECT_NEAR(skipped.parameters[0], 5, 1e-3);
}

TEST(Marquardt, ToleranceClamp) {
    EXPECT_EQ(clamp_tolerance(0), 0.01);
    EXPECT_EQ(clamp_tolerance(-0.001), 0.01);
    EXPECT_EQ(clamp_tolerance(-5), 5);
    EXPECT_EQ(clamp_tolerance(0.5), 0.5);
    EXPECT_EQ(clamp_tolerance(NAN), 0.01);
}

// NIST StRD "Misra1a" (lower difficulty): y = b1·(1 - exp(-b2·x)). Certified values
// b1 = 2.3894212918E+02, b2 = 5.5015643181E-04, residual sum of squares 1.2455138894E-01.
TEST(Marquardt, NistMisra1aFromTheSecondStart) {
    const std::vector<double> x{77.6,  114.9, 141.1, 190.8, 239.9, 289.0, 332.8,
                                378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0};
    const std::vector<double> y{10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02,
                                44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78};
    LambdaModel model(
        [](const FitParameters& p, double v) { return p[0] * (1 - std::exp(-p[1] * v)); }, ab);
    const auto r = run(model, x, y, {250, 5e-4, 0, 0, 0, 0, 0, 0, 0}, all, 0.01);
    ASSERT_TRUE(r.valid);
    EXPECT_NEAR(r.parameters[0], 2.3894212918E+02, 2.3894212918E+02 * 1e-3);
    EXPECT_NEAR(r.parameters[1], 5.5015643181E-04, 5.5015643181E-04 * 1e-3);
    double rss = 0;
    for (size_t j = 0; j < x.size(); ++j) {
        const double d = y[j] - r.parameters[0] * (1 - std::exp(-r.parameters[1] * x[j]));
        rss += d * d;
    }
    EXPECT_NEAR(rss, 1.2455138894E-01, 1.2455138894E-01 * 1e-4);
}

} // namespace
} // namespace plox
