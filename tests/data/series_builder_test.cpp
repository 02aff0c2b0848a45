// Series construction: transforms, averaging, masks, error bars, axes, range, curve X.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "data/point_export.h"
#include "data/reader.h"
#include "data/series_builder.h"
#include "document/model.h"
#include "document/prompter.h"
#include "expr/evaluator.h"
#include "test_support.h"

namespace plox {
namespace {

using test::TempDir;
using V = std::vector<double>;

class SeriesBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { reset_named_constants(); }
    void TearDown() override { reset_named_constants(); }

    Series& add_series(const std::string& contents) {
        Series& s = graph_.series[graph_.series_count];
        s.file_name = dir_.write("s" + std::to_string(graph_.series_count) + ".dat", contents);
        ++graph_.series_count;
        return s;
    }

    TempDir dir_;
    Graph graph_;
    RecordingPrompter prompter_;
    DataContext context_{&prompter_};
};

TEST(NeighbourAverage, WindowsCutAtTheEnds) {
    EXPECT_EQ(neighbour_average(V{1, 2, 9}, 1), (V{1.5, 4, 5.5}));
    EXPECT_EQ(neighbour_average(V{ERROR_VALUE, 3, MASKED_VALUE, 5}, 1), (V{3, 3, 4, 5}));
    EXPECT_EQ(neighbour_average(V{ERROR_VALUE, ERROR_VALUE, ERROR_VALUE, 6}, 1),
              (V{ERROR_VALUE, ERROR_VALUE, 6, 6}));
    EXPECT_EQ(neighbour_average(V{4, 8}, 0), (V{4, 8}));
    // Wide windows (a linear method) agree with the direct mean.
    V values(500);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = i % 7 == 0 ? ERROR_VALUE : std::sin(0.1 * i) * 100;
    const V wide = neighbour_average(values, 40);
    for (int i : {0, 39, 250, 499}) {
        double sum = 0;
        int count = 0;
        for (int k = std::max(i - 40, 0); k <= std::min(i + 40, 499); ++k)
            if (is_valid(values[k])) sum += values[k], ++count;
        EXPECT_NEAR(wide[i], sum / count, 1e-9) << i;
    }
    EXPECT_EQ(neighbour_average(V{1, 2, 3}, 1 << 30), (V{2, 2, 2}));
}

TEST_F(SeriesBuilderTest, TransformsSeeTheValuesAsRead) {
    Series& s = add_series("1 10\n4 20\n-9 30\n");
    s.IsXtrans = 1;
    s.Xtrans = "x*100";
    s.IsYtrans = 1;
    s.Ytrans = "sqrt(x)+y"; // the untransformed x
    const auto p = build_series(graph_, 0, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, (V{100, 400, -900}));
    EXPECT_EQ(p->y, (V{11, 22, ERROR_VALUE}));
    EXPECT_EQ(s.point_count, 3);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(SeriesBuilderTest, UserConstantsAndColumnReferences) {
    add_series("1 10 7\n2 20 8\n3 30 9\n");
    Series& s = add_series("1 1\n2 2\n");
    graph_.user_constants = {2, 0, 0, 0, 0, 0, 0, 0, 5};
    s.IsYtrans = 1;
    s.Ytrans = "a*y+i+#0103";
    const auto p = build_series(graph_, 1, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->y, (V{14, 17}));
}

TEST_F(SeriesBuilderTest, TransformErrorsAreShownOncePerChange) {
    Series& s = add_series("1 1\n");
    s.IsYtrans = 1;
    s.Ytrans = "(y";
    s.needs_reading = 1;
    EXPECT_FALSE(build_series(graph_, 0, 0, context_));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Math trans error");
    EXPECT_EQ(prompter_.shown[0].text, "Unbalanced parentheses");
    EXPECT_EQ(s.needs_reading, 0);
    EXPECT_FALSE(build_series(graph_, 0, 0, context_));
    EXPECT_EQ(prompter_.shown.size(), 1u);
}

TEST_F(SeriesBuilderTest, AveragingThenMasks) {
    Series& s = add_series("1 1\n2 2\n9 9\n");
    s.XAvr = 1;
    auto p = build_series(graph_, 0, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, (V{1.5, 4, 5.5}));
    EXPECT_EQ(p->y, (V{1, 2, 9}));

    s.XAvr = 0;
    graph_.mask_count = 1;
    graph_.masks[0] = Mask{0, {0, 10, 0, 10}};
    Series& t = add_series("5 5\n10 5\n5 0\n");
    p = build_series(graph_, 1, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, (V{MASKED_VALUE, 10, 5})); // strict inequalities
    EXPECT_EQ(p->y, (V{MASKED_VALUE, 5, 0}));
    (void)t;

    graph_.masks[0].series = 2;
    add_series("5 5\n");
    EXPECT_EQ(build_series(graph_, 0, 0, context_)->x, (V{1, 2, 9}));
    EXPECT_EQ(build_series(graph_, 1, 0, context_)->x[0], MASKED_VALUE);
    EXPECT_EQ(build_series(graph_, 2, 0, context_)->x, (V{5}));
}

TEST_F(SeriesBuilderTest, NothingForMissingFilesOrNoPoints) {
    Series& s = add_series("# only a comment\n");
    EXPECT_FALSE(build_series(graph_, 0, 0, context_));
    s.file_name = dir_.path("gone.dat");
    EXPECT_FALSE(build_series(graph_, 0, 0, context_));
    EXPECT_FALSE(build_series(graph_, 5, 0, context_));
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(SeriesBuilderTest, PlotTypesWithTwoValuesReadTheFieldAfterX) {
    Series& s = add_series("1 10 100\n2 20 200\n");
    s.PlotType = 27;
    EXPECT_EQ(build_kind_for(s), load_kind::XAndNext);
    const auto p = build_series(graph_, 0, build_kind_for(s), context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->y, (V{10, 20}));
    s.ColumnX = 1;
    EXPECT_EQ(build_series(graph_, 0, build_kind_for(s), context_)->y, (V{100, 200}));
}

TEST_F(SeriesBuilderTest, FunctionSeries) {
    Series& s = graph_.series[graph_.series_count++];
    s.kind = kind::Function;
    s.file_name = "CALC.DAT";
    s.curve_from = 5;
    s.curve_to = 5;
    s.curve_points = 1;
    s.IsYtrans = 1;
    s.Ytrans = "x*x+y";
    const auto p = build_series(graph_, 0, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, (V{5, 5.5, 6}));
    EXPECT_EQ(p->y, (V{25, 30.25, 36}));
    EXPECT_EQ(s.point_count, 3);
    EXPECT_EQ(s.curve_to, 6);

    const SeriesRange r = series_range(graph_, 0, context_);
    EXPECT_EQ(r.xmin, 5);
    EXPECT_EQ(r.xmax, 6);
    EXPECT_EQ(r.ymin, 25);
    EXPECT_EQ(r.ymax, 36);
}

TEST_F(SeriesBuilderTest, ErrorBars) {
    Series& s = add_series("1 10 0.5 2\n2 20\n");
    EXPECT_FALSE(build_error_bars(graph_, 0, AxisY, context_));
    s.Errorbar2 = 2;
    auto bars = build_error_bars(graph_, 0, AxisY, context_);
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->low, (V{9.5, ERROR_VALUE}));
    EXPECT_EQ(bars->high, (V{10.5, ERROR_VALUE}));
    s.Errorbar2 = 1;
    bars = build_error_bars(graph_, 0, AxisY, context_);
    EXPECT_EQ(bars->low, (V{10.5, ERROR_VALUE}));
    EXPECT_EQ(bars->high, (V{12, ERROR_VALUE}));
    s.Errorbar1 = 2;
    bars = build_error_bars(graph_, 0, AxisX, context_);
    EXPECT_EQ(bars->low, (V{-9, -18}));
    EXPECT_EQ(bars->high, (V{11, 22}));

    // Transformed ends follow the transformed points; the other variable is the point's own.
    s.Errorbar2 = 2;
    s.IsYtrans = 1;
    s.Ytrans = "y*2+x";
    bars = build_error_bars(graph_, 0, AxisY, context_);
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->low, (V{20, ERROR_VALUE}));
    EXPECT_EQ(bars->high, (V{22, ERROR_VALUE}));
    s.IsXtrans = 1;
    s.Xtrans = "x+y";
    bars = build_error_bars(graph_, 0, AxisX, context_);
    EXPECT_EQ(bars->low, (V{1, 2}));
    EXPECT_EQ(bars->high, (V{21, 42}));
}

TEST_F(SeriesBuilderTest, ExcludeOutsideTheReferenceAxes) {
    Series& s = add_series("");
    graph_.axes[AxisX].from = 10;
    graph_.axes[AxisX].to = 0; // reversed axes count by their extent
    graph_.axes[AxisY].from = 0;
    graph_.axes[AxisY].to = 10;
    V x{0, 10, 11, 5, ERROR_VALUE, 5}, y{0, 10, 5, -1, 5, ERROR_VALUE};
    EXPECT_EQ(exclude_outside(graph_, s, x, y), 2);
    EXPECT_EQ(x, (V{0, 10, ERROR_VALUE, ERROR_VALUE, ERROR_VALUE, 5}));
    EXPECT_EQ(y, (V{0, 10, ERROR_VALUE, ERROR_VALUE, 5, ERROR_VALUE}));

    // The U axis with the reciprocal scale compares 1/x.
    s.isRefUpAxis = 1;
    graph_.axes[AxisU].scale_type = 2;
    graph_.axes[AxisU].from = 0.1;
    graph_.axes[AxisU].to = 1;
    x = {1, 10, 20, 0, 0.5};
    y = {1, 1, 1, 1, 1};
    EXPECT_EQ(exclude_outside(graph_, s, x, y), 2);
    EXPECT_EQ(x, (V{1, 10, ERROR_VALUE, ERROR_VALUE, ERROR_VALUE}));
}

TEST_F(SeriesBuilderTest, RangeIgnoresAveragingAndMasks) {
    Series& s = add_series("1 5\n3 =\n-2 7\n");
    s.XAvr = 1;
    graph_.mask_count = 1;
    graph_.masks[0] = Mask{0, {-10, 10, -10, 10}};
    SeriesRange r = series_range(graph_, 0, context_);
    EXPECT_EQ(r.xmin, -2);
    EXPECT_EQ(r.xmax, 3); // an invalid Y still lets X count
    EXPECT_EQ(r.ymin, 5);
    EXPECT_EQ(r.ymax, 7);
    s.IsXtrans = 1;
    s.Xtrans = "q";
    r = series_range(graph_, 0, context_);
    EXPECT_EQ(r.xmin, 0);
    EXPECT_EQ(r.xmax, 1);
    EXPECT_TRUE(prompter_.shown.empty());
}

Series curve(double from, double to, int points, int scale) {
    Series s;
    s.curve_from = from;
    s.curve_to = to;
    s.curve_points = points;
    s.curve_scale_type = scale;
    return s;
}

TEST(GenerateCurveX, ClampsAndWritesBack) {
    Series s = curve(5, 5, 1, 0);
    EXPECT_EQ(generate_curve_x(s), (V{5, 5.5, 6}));
    EXPECT_EQ(s.curve_points, 3);
    EXPECT_EQ(s.curve_to, 6);
    s = curve(0, 1, 10000, 0);
    EXPECT_EQ(generate_curve_x(s).size(), 4000u);
    EXPECT_EQ(s.curve_points, 4000);
    s = curve(0, 10, 6, 4); // an unknown spacing is linear
    EXPECT_EQ(generate_curve_x(s), (V{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(s.curve_scale_type, 0);
}

TEST(GenerateCurveX, LogarithmicSpacing) {
    Series s = curve(1, 1000, 4, 1);
    auto x = generate_curve_x(s);
    ASSERT_EQ(x.size(), 4u);
    EXPECT_DOUBLE_EQ(x[1], 10);
    EXPECT_DOUBLE_EQ(x[2], 100);
    EXPECT_EQ(x[3], 1000);
    s = curve(1, 1000, 4, 3);
    x = generate_curve_x(s, 1); // a logarithmic axis gets the exponents
    EXPECT_DOUBLE_EQ(x[0], 0);
    EXPECT_DOUBLE_EQ(x[2], 2);
    EXPECT_DOUBLE_EQ(x[3], 3);
    s = curve(0, 100, 3, 1); // from 0 cannot be logarithmic
    EXPECT_EQ(generate_curve_x(s), (V{0, 50, 100}));
    EXPECT_EQ(s.curve_scale_type, 0);
    s = curve(1, 100, 3, 1);
    EXPECT_EQ(generate_curve_x(s, 2), (V{1, 50.5, 100})); // rejected: linear for an axis type 0
    EXPECT_EQ(s.curve_scale_type, 0);
    s = curve(0, 100, 3, 0);
    x = generate_curve_x(s, 1);
    EXPECT_EQ(x[0], ERROR_VALUE);
    EXPECT_DOUBLE_EQ(x[2], 2);
}

TEST(GenerateCurveX, ReciprocalSpacing) {
    Series s = curve(1, 4, 3, 2);
    auto x = generate_curve_x(s);
    EXPECT_DOUBLE_EQ(x[1], 1 / 0.625);
    EXPECT_EQ(s.curve_scale_type, 2);
    x = generate_curve_x(s, 4);
    EXPECT_EQ(x, (V{1, 0.625, 0.25}));
    s = curve(-1, 4, 3, 2); // crossing zero
    generate_curve_x(s);
    EXPECT_EQ(s.curve_scale_type, 0);
}

TEST(ExportedLines, Format) {
    std::string out;
    append_exported_line(out, 1, -2);
    EXPECT_EQ(out, "+1.000000e+00\t-2.000000e+00\r\n");
    EXPECT_EQ(format_exported_points(V{ERROR_VALUE, 1.5e-300}, V{3, MASKED_VALUE}),
              " ERROR_VALUE \t+3.000000e+00\r\n+1.500000e-300\tERROR_VALUE \r\n");
}

TEST_F(SeriesBuilderTest, ExportedPointsMarkOutsideUnlessCounted) {
    Series& s = add_series("5 5\n150 5\n");
    auto p = exported_points(graph_, 0, context_);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, (V{5, ERROR_VALUE}));
    s.CountOutArea = 1;
    EXPECT_EQ(exported_points(graph_, 0, context_)->x, (V{5, 150}));
    s.CountOutArea = 0;
    s.kind = kind::Extension2;
    EXPECT_EQ(exported_points(graph_, 0, context_)->x, (V{5, 150}));
}

} // namespace
} // namespace plox
