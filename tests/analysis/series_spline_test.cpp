// The spline curve of a series: the variants, axis coordinates, the point limits and the
// failure messages, and the set-up of a spline from a data file.
#include "analysis/series_analysis.h"
#include "document/graph_ops.h"
#include "document/model.h"
#include "document/prompter.h"
#include "settings/store.h"
#include "test_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace plox {
namespace {

struct SeriesSpline : ::testing::Test {
    test::TestSolver solver;
    RecordingPrompter prompter;
    AnalysisContext context{&solver, &prompter};
    Graph graph;

    Series spline(int variant, double from, double to, int points) {
        Series s;
        s.file_name = "C:\\data\\curve.dat";
        s.kind = kind::Spline;
        s.degree = variant;
        s.curve_from = from;
        s.curve_to = to;
        s.curve_points = points;
        return s;
    }
};

TEST_F(SeriesSpline, ThreePointCubicInsideAndOutsideTheKnots) {
    Series s = spline(0, 0, 2, 5);
    // Unsorted input: variant 0 sorts by X.
    const std::vector<double> x{2, 0, 1}, y{0, 0, 1};
    const auto curve = spline_curve(graph, s, x, y, context);
    ASSERT_TRUE(curve);
    EXPECT_EQ(s.analysis_valid, 1);
    EXPECT_EQ(s.needs_reading, 0);
    EXPECT_EQ(curve->y, (std::vector<double>{0, 0.6875, 1, 0.6875, 0}));

    // Only the first and last curve X take the knots' values; other X outside (0, 2) are gaps.
    Series wide = spline(0, -1, 3, 5);
    const auto outside = spline_curve(graph, wide, x, y, context);
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->y,
              (std::vector<double>{ERROR_VALUE, ERROR_VALUE, 1, ERROR_VALUE, ERROR_VALUE}));
    Series between = spline(0, -0.5, 2.5, 4);
    const auto half = spline_curve(graph, between, x, y, context);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->y, (std::vector<double>{ERROR_VALUE, 0.6875, 0.6875, ERROR_VALUE}));
    EXPECT_TRUE(prompter.shown.empty());

    // Computed anew on every drawing while valid.
    const auto again =
        spline_curve(graph, s, std::vector<double>{0, 1, 2}, std::vector<double>{0, 2, 0}, context);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->y[2], 2);
}

TEST_F(SeriesSpline, ClosedParametricSplineOnASquareReturnsToTheFirstCorner) {
    Series s = spline(2, 0, 1, 41);
    const std::vector<double> x{0, 1, 1, 0}, y{0, 0, 1, 1};
    const auto curve = spline_curve(graph, s, x, y, context);
    ASSERT_TRUE(curve);
    ASSERT_EQ(curve->x.size(), 41u);
    EXPECT_EQ(curve->x.front(), 0);
    EXPECT_EQ(curve->y.front(), 0);
    EXPECT_EQ(curve->x.back(), 0);
    EXPECT_EQ(curve->y.back(), 0);
    // τ = i·4/40: every tenth point is a corner.
    EXPECT_NEAR(curve->x[10], 1, 1e-12);
    EXPECT_NEAR(curve->y[20], 1, 1e-12);
    EXPECT_NEAR(curve->x[30], 0, 1e-12);
    // The symmetric square gives a symmetric curve: no kink where it closes.
    EXPECT_NEAR(curve->x[1], curve->y[39], 1e-12);
    EXPECT_NEAR(curve->y[1], curve->x[39], 1e-12);
}

TEST_F(SeriesSpline, OpenParametricSplineMayTurnBack) {
    Series s = spline(1, 0, 1, 31);
    const std::vector<double> x{0, 2, 1, 3}, y{0, 1, 2, 3};
    const auto curve = spline_curve(graph, s, x, y, context);
    ASSERT_TRUE(curve);
    ASSERT_EQ(curve->x.size(), 31u);
    EXPECT_EQ(curve->x.front(), 0);
    EXPECT_EQ(curve->x.back(), 3);
    EXPECT_EQ(curve->y.back(), 3);
    // τ = i·3/30: points 10 and 20 are the middle knots, in data order (no sorting).
    EXPECT_NEAR(curve->x[10], 2, 1e-12);
    EXPECT_NEAR(curve->y[10], 1, 1e-12);
    EXPECT_NEAR(curve->x[20], 1, 1e-12);
    EXPECT_NEAR(curve->y[20], 2, 1e-12);
    EXPECT_GT(curve->x[12], curve->x[18]); // X runs backwards between them
}

TEST_F(SeriesSpline, PointLimits) {
    std::vector<double> x501, y501;
    for (int i = 0; i < 501; ++i) {
        x501.push_back(i);
        y501.push_back(std::sin(i * 0.1));
    }
    Series many = spline(0, 0, 500, 101);
    EXPECT_FALSE(spline_curve(graph, many, x501, y501, context));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].title, "エラー");
    EXPECT_EQ(prompter.shown[0].text, "Data Point Error (Spline 補間)");
    EXPECT_EQ(prompter.shown[1].text, "curve.datのSpline補間に失敗しました(0)");

    // 500 points are fine; invalid points do not count.
    x501.back() = ERROR_VALUE;
    Series five_hundred = spline(0, 0, 499, 101);
    EXPECT_TRUE(spline_curve(graph, five_hundred, x501, y501, context));

    prompter.shown.clear();
    Series two = spline(1, 0, 1, 11);
    EXPECT_FALSE(spline_curve(graph, two, std::vector<double>{0, 1, 2},
                              std::vector<double>{0, 1, MASKED_VALUE}, context));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "curve.datのSpline補間に失敗しました(1)");

    // A failed spline stays failed without repeating the message until the settings change.
    EXPECT_FALSE(spline_curve(graph, two, std::vector<double>{0, 1, 2},
                              std::vector<double>{0, 1, 2}, context));
    EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST_F(SeriesSpline, DuplicateXAndUnknownVariantsFail) {
    Series dup = spline(0, 0, 2, 11);
    EXPECT_FALSE(spline_curve(graph, dup, std::vector<double>{0, 1, 1, 2},
                              std::vector<double>{0, 1, 2, 3}, context));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "curve.datのSpline補間に失敗しました(0)");

    Series five = spline(5, 0, 2, 11);
    EXPECT_FALSE(spline_curve(graph, five, std::vector<double>{0, 1, 2},
                              std::vector<double>{0, 1, 0}, context));
    EXPECT_EQ(prompter.shown.back().text, "curve.datのSpline補間に失敗しました(5)");

    // Variant 3: the curve positions without spline values.
    Series three = spline(3, 0, 2, 3);
    const auto curve = spline_curve(graph, three, std::vector<double>{0, 1, 2},
                                    std::vector<double>{0, 1, 0}, context);
    ASSERT_TRUE(curve);
    EXPECT_EQ(curve->x, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(curve->y, (std::vector<double>(3, ERROR_VALUE)));
}

TEST_F(SeriesSpline, LogarithmicAxesGiveKnotsAndCurveInLog10) {
    graph.axes[AxisX].scale_type = 1;
    graph.axes[AxisY].scale_type = 1;
    Series s = spline(0, 1, 1000, 4);
    s.curve_scale_type = 1;
    // y = x² is a straight line in log-log coordinates; points at x ≤ 0 cannot be shown.
    const std::vector<double> x{1, 10, -5, 100, 1000}, y{1, 100, 25, 1e4, 1e6};
    const auto curve = spline_curve(graph, s, x, y, context);
    ASSERT_TRUE(curve);
    ASSERT_EQ(curve->x.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(curve->x[i], static_cast<double>(i), 1e-12);
        EXPECT_NEAR(curve->y[i], 2.0 * static_cast<double>(i), 1e-12);
    }

    // The series' reference axes decide: on U (linear) the knots are the plain X values.
    s.isRefUpAxis = 1;
    s.needs_reading = 1;
    s.curve_from = 1;
    s.curve_to = 1000;
    s.curve_points = 4;
    const auto on_u = spline_curve(graph, s, x, y, context);
    ASSERT_TRUE(on_u);
    EXPECT_EQ(on_u->x.back(), 1000);
    EXPECT_NEAR(on_u->y.back(), 6, 1e-12);
}

TEST_F(SeriesSpline, SetUpTakesTheDataRangeAndRepairsIt) {
    const auto path = std::filesystem::temp_directory_path() / "plox_spline_setup.dat";
    std::ofstream(path) << "3 1\n-2 5\n7 2\n";
    const int index = add_series(graph, path.string(), nullptr);
    ASSERT_GE(index, 0);
    graph.axes[AxisX].scale_type = 2;
    MemorySettingsStore store;
    store.write("Continuace Ini", "Division", 51);
    store.write("Continuace Ini", "Color", 0xFF);
    ASSERT_TRUE(prepare_spline(graph, index, store));
    Series& s = graph.series[static_cast<size_t>(index)];
    EXPECT_EQ(s.curve_from, -2);
    EXPECT_EQ(s.curve_to, 7);
    EXPECT_EQ(s.curve_points, 51);
    EXPECT_EQ(s.curve_line.color, 0xFF);
    EXPECT_EQ(s.curve_scale_type, 2);

    s.curve_to = -5;
    apply_spline(s, 2);
    EXPECT_EQ(s.kind, kind::Spline);
    EXPECT_EQ(s.degree, 2);
    EXPECT_EQ(s.curve_to, -1);
    EXPECT_FALSE(prepare_spline(graph, index, store));

    // The whole pipeline as a drawing runs it: built points, then the curve.
    graph.axes[AxisX].scale_type = 0;
    s.degree = 0;
    s.curve_scale_type = 0;
    s.CountOutArea = 1;
    s.curve_from = -2;
    s.curve_to = 7;
    s.curve_points = 10;
    const auto curve = analysis_curve(graph, index, context);
    std::filesystem::remove(path);
    ASSERT_TRUE(curve);
    EXPECT_EQ(curve->x.front(), -2);
    EXPECT_EQ(curve->y.front(), 5);
    EXPECT_EQ(curve->y.back(), 2);
    EXPECT_NEAR(curve->y[5], 1, 1e-12); // x = 3, the middle knot
}

} // namespace
} // namespace plox
