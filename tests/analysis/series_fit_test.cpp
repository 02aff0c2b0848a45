// Fits of a series: recomputation and the failure message, the pass-through option, general
// functions through the expression evaluator, the results list, set-up from the settings
// store, and the solver of the real extension module.
#include "analysis/series_analysis.h"
#include "document/model.h"
#include "document/prompter.h"
#include "expr/evaluator.h"
#include "extension/bindings.h"
#include "extension/module.h"
#include "settings/store.h"
#include "test_solver.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plox {
namespace {

using test::TestSolver;

struct Fixture : ::testing::Test {
    TestSolver solver;
    RecordingPrompter prompter;
    AnalysisContext context{&solver, &prompter};

    static Series series_of(int fit_kind, int degree = 1) {
        Series s;
        s.file_name = "/data/run7.dat";
        s.kind = fit_kind;
        s.degree = degree;
        s.curve_from = 0;
        s.curve_to = 4;
        s.curve_points = 5;
        return s;
    }
    void SetUp() override { reset_named_constants(); }
};

using SeriesFit = Fixture;

TEST_F(SeriesFit, LeastSquaresCurveAndRecomputeOnlyWhenNeeded) {
    Series s = series_of(kind::Polynomial, 1);
    const std::vector<double> x{0, 1, 2, 3}, y{3, 5, 7, 9};
    const auto curve = fit_least_squares(s, x, y, context);
    ASSERT_TRUE(curve);
    EXPECT_EQ(s.analysis_valid, 1);
    ASSERT_EQ(curve->x.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(curve->y[i], 3 + 2 * curve->x[i], 1e-12);
    EXPECT_NEAR(fit_value(s, 10, context), 23, 1e-12);

    // Later drawings reuse the coefficients: new points change nothing until needs_reading.
    s.needs_reading = 0;
    const int calls = solver.calls;
    const std::vector<double> other{0, 0, 0, 0};
    ASSERT_TRUE(fit_least_squares(s, x, other, context));
    EXPECT_EQ(solver.calls, calls);
    EXPECT_NEAR(s.coefficients[1], 2, 1e-12);
}

TEST_F(SeriesFit, FailureIsReportedOncePerChange) {
    Series s = series_of(kind::Polynomial, 3);
    const std::vector<double> x{0, 1, 2}, y{1, 2, 0};
    EXPECT_FALSE(fit_least_squares(s, x, y, context));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "エラー");
    EXPECT_EQ(prompter.shown[0].text, "run7.datの最小二乗に失敗しました");
    EXPECT_EQ(s.needs_reading, 0);
    EXPECT_EQ(s.analysis_valid, 0);
    EXPECT_FALSE(fit_least_squares(s, x, y, context));
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(fit_value(s, 1, context), -1e300);
}

TEST_F(SeriesFit, PassThroughOptionDroppedWhenItsLogarithmIsUndefined) {
    Series s = series_of(kind::Exponential);
    s.analysis_option = 1;
    s.analysis_values = {1, 0};
    const std::vector<double> x{0, 1, 2, 3}, y{1, 2.9, 7.2, 20.5};
    ASSERT_TRUE(fit_least_squares(s, x, y, context));
    EXPECT_EQ(s.analysis_option & 1, 0);

    Series free_fit = series_of(kind::Exponential);
    ASSERT_TRUE(fit_least_squares(free_fit, x, y, context));
    EXPECT_DOUBLE_EQ(s.coefficients[0], free_fit.coefficients[0]);
    EXPECT_DOUBLE_EQ(s.coefficients[1], free_fit.coefficients[1]);

    // A usable point is kept and honoured: ln y0 = a + b·x0.
    Series through = series_of(kind::Exponential);
    through.analysis_option = 1;
    through.analysis_values = {1, 3};
    ASSERT_TRUE(fit_least_squares(through, x, y, context));
    EXPECT_EQ(through.analysis_option & 1, 1);
    EXPECT_NEAR(through.coefficients[0] + through.coefficients[1], std::log(3.0), 1e-12);
}

TEST_F(SeriesFit, ResultsListLines) {
    Series s = series_of(kind::Polynomial, 2);
    s.coefficients = {1, -0.5, 0.25};
    s.standard_deviation = 0.125;
    s.correlation = 0.5;
    EXPECT_EQ(results_list(s),
              (std::vector<std::string>{"y=Σan x^n", "a0=1.000000e+00", "a1=-5.000000e-01",
                                        "a2=2.500000e-01", "1.250000e-01", "|r|=5.000000e-01"}));
    s.kind = kind::Power;
    s.degree = 1;
    EXPECT_EQ(results_list(s),
              (std::vector<std::string>{"ln y=a + b ln x", "a=1.000000e+00", "b=-5.000000e-01",
                                        "1.250000e-01", "|r|=5.000000e-01"}));
    s.kind = kind::Data;
    EXPECT_TRUE(results_list(s).empty());
}

TEST_F(SeriesFit, DefaultGeneralFunctionConvergesAndListsOnlyItsParameters) {
    Series s = series_of(kind::General, 8);
    s.fit = FitFunction{};
    std::vector<double> x, y;
    for (int i = -5; i <= 10; ++i) {
        x.push_back(i);
        y.push_back(2 * i + 3);
    }
    const auto curve = fit_general_function(s, x, y, context);
    ASSERT_TRUE(curve);
    EXPECT_NEAR(s.coefficients[0], 2, 1e-9);
    EXPECT_NEAR(s.coefficients[1], 3, 1e-9);
    for (size_t k = 2; k < 9; ++k)
        EXPECT_EQ(s.coefficients[k], ERROR_VALUE);
    EXPECT_NEAR(s.correlation, 1, 1e-12);
    const auto lines = results_list(s);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "a*x+b");
    EXPECT_EQ(lines[1], "a=2.000000e+00");
    EXPECT_EQ(lines[2], "b=3.000000e+00");
    EXPECT_EQ(lines[4].rfind("|r|=", 0), 0u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(curve->y[i], 2 * curve->x[i] + 3, 1e-9);
    EXPECT_NEAR(fit_value(s, 100, context), 203, 1e-6);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SeriesFit, GeneralFunctionToleranceHeldParametersAndErrors) {
    std::vector<double> x, y;
    for (int i = 0; i < 12; ++i) {
        x.push_back(i * 0.25);
        y.push_back(1.5 * std::exp(-0.8 * x.back()) + 0.2);
    }
    for (const auto& [gosa, stored] : {std::pair{0.0, 0.01}, {-0.001, 0.01}, {-5.0, 5.0}}) {
        Series s = series_of(kind::General, 8);
        s.fit = FitFunction{};
        s.fit->function = "a*exp(-b*x)+c";
        s.fit->tolerance = gosa;
        fit_general_function(s, x, y, context);
        EXPECT_EQ(s.fit->tolerance, stored);
    }

    // c held at 0.5: it keeps its value, is listed, and a and b still move.
    Series held = series_of(kind::General, 8);
    held.fit = FitFunction{};
    held.fit->function = "a*exp(-b*x)+c";
    held.fit->parameter_free[2] = 0;
    held.fit->parameters[2] = 0.5;
    ASSERT_TRUE(fit_general_function(held, x, y, context));
    EXPECT_EQ(held.coefficients[2], 0.5);
    EXPECT_NE(held.coefficients[0], 1.0);
    EXPECT_EQ(results_list(held)[3], "c=5.000000e-01");

    // An analytic derivative with a syntax error fails the fit with the message.
    Series bad = series_of(kind::General, 8);
    bad.fit = FitFunction{};
    bad.fit->derivatives[0] = "x+*";
    EXPECT_FALSE(fit_general_function(bad, x, y, context));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "run7.datの最小二乗に失敗しました");

    // Correct analytic derivatives give the same result as the numeric ones.
    Series analytic = series_of(kind::General, 8);
    analytic.fit = FitFunction{};
    analytic.fit->function = "a*exp(-b*x)+c";
    analytic.fit->derivatives[0] = "exp(-b*x)";
    analytic.fit->derivatives[1] = "-a*x*exp(-b*x)";
    analytic.fit->derivatives[2] = "1";
    analytic.fit->tolerance = 0.01;
    ASSERT_TRUE(fit_general_function(analytic, x, y, context));
    EXPECT_NEAR(analytic.coefficients[0], 1.5, 1e-3);
    EXPECT_NEAR(analytic.coefficients[1], 0.8, 1e-3);
    EXPECT_NEAR(analytic.coefficients[2], 0.2, 1e-3);
}

TEST_F(SeriesFit, SetUpFromTheSettingsStore) {
    Graph g;
    g.axes[AxisX].from = -2;
    g.axes[AxisX].to = 8;
    g.axes[AxisX].scale_type = 1;
    MemorySettingsStore store;
    store.write("LSQ Ini", "Dimension", 4);
    store.write("Continuace Ini", "Width", 55);
    store.write("Continuace Ini", "Division", 300);

    Series s = series_of(kind::Data);
    s.degree = 7;
    s.analysis_option = 1;
    ASSERT_TRUE(prepare_least_squares(s, g, store));
    EXPECT_EQ(s.degree, 4);
    EXPECT_EQ(s.analysis_option, 0);
    EXPECT_EQ(s.curve_line.width, 55);
    EXPECT_EQ(s.curve_from, -2);
    EXPECT_EQ(s.curve_to, 8);
    EXPECT_EQ(s.curve_points, 101);
    EXPECT_EQ(s.curve_scale_type, 1);

    s.fit = FitFunction{};
    apply_least_squares(s, kind::Exponential);
    EXPECT_EQ(s.kind, kind::Exponential);
    EXPECT_EQ(s.degree, 1);
    EXPECT_FALSE(s.fit);
    EXPECT_EQ(s.needs_reading, 1);
    EXPECT_FALSE(prepare_least_squares(s, g, store)); // already a least-squares kind

    store.write_text("LSQ Function", "Function0", "a*sin(b*x)");
    store.write("LSQ Function", "Gosa", 0.5);
    store.write("LSQ Function", "IsParaMove1", 0);
    store.write_text("LSQ Function", "DifFunction0A", "sin(b*x)");
    store.write("LSQ Function", "ParaIni0B", 2.5);
    g.series_count = 2;
    g.series[0] = s;
    prepare_general_function(s, g, 0, store);
    ASSERT_TRUE(s.fit);
    EXPECT_EQ(s.fit->function, "a*sin(b*x)");
    EXPECT_EQ(s.fit->tolerance, 0.5);
    EXPECT_EQ(s.fit->parameter_free[1], 0);
    EXPECT_EQ(s.fit->derivatives[0], "sin(b*x)");
    EXPECT_EQ(s.fit->parameters[1], 2.5);
    apply_least_squares(s, kind::General);
    EXPECT_EQ(s.degree, 8);
    EXPECT_TRUE(s.fit);

    // A further block copies the last other series of kind 128 (not its own, not the settings).
    g.series[1] = s;
    g.series[1].fit->function = "b*x";
    Series third;
    prepare_general_function(third, g, 0, store);
    ASSERT_TRUE(third.fit);
    EXPECT_EQ(third.fit->function, "b*x");
    g.series[0] = g.series[1];
    g.series[0].fit->function = "c*x";
    g.series[1].kind = kind::Polynomial;
    Series fourth;
    prepare_general_function(fourth, g, 0, store); // series 0 is the one being set up
    ASSERT_TRUE(fourth.fit);
    EXPECT_EQ(fourth.fit->function, "a*sin(b*x)");
}

TEST(ModuleSolver, FitsThroughTheExtensionModulesGaussJordan) {
    const std::string path = find_module(EXTENSION_FILE);
    ASSERT_FALSE(path.empty());
    std::string error;
    // Held to the end of the process, as the program holds its module: unloading the module
    // (and the Qt it pulls in) is not what this test is about.
    static const auto* library = new LibraryHandle(open_library(path, &error));
    ASSERT_TRUE(*library) << error;
    ExtensionModule module(*library, path);
    ModuleLinearSolver solver(module);

    // [[0, 1], [1, 0]] needs the row exchange.
    std::array<double, 2> solution{};
    ASSERT_TRUE(
        solver.solve(std::array<double, 4>{0, 1, 1, 0}, std::array<double, 2>{3, 4}, solution));
    EXPECT_EQ(solution, (std::array<double, 2>{4, 3}));

    RecordingPrompter prompter;
    AnalysisContext context{&solver, &prompter};
    Series s;
    s.kind = kind::Polynomial;
    s.degree = 2;
    s.curve_points = 11;
    s.curve_to = 1;
    const std::vector<double> x{0, 1, 2, 3, 4, 5}, y{1.1, 1.9, 5.2, 9.8, 17.1, 26.2};
    ASSERT_TRUE(fit_least_squares(s, x, y, context));
    TestSolver reference;
    Series r = s;
    r.needs_reading = 1;
    ASSERT_TRUE(fit_least_squares(r, x, y, AnalysisContext{&reference, &prompter}));
    for (size_t n = 0; n < 3; ++n)
        EXPECT_NEAR(s.coefficients[n], r.coefficients[n], 1e-12);

    Series singular = s;
    singular.needs_reading = 1;
    singular.degree = 3;
    EXPECT_FALSE(fit_least_squares(singular, std::vector<double>{0, 1, 2},
                                   std::vector<double>{1, 2, 0}, context));
    EXPECT_EQ(prompter.shown.size(), 1u);
}

} // namespace
} // namespace plox
