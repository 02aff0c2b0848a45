#include "document/graph_ops.h"
#include "editing/data_masks.h"
#include "editing/value_reading.h"
#include "render/mapping.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

std::unique_ptr<Graph> linear_graph() {
    auto g = create_graph("g");
    g->axes[AxisX].from = 0;
    g->axes[AxisX].to = 10;
    g->axes[AxisY].from = 0;
    g->axes[AxisY].to = 100;
    g->scales_valid = 1;
    return g;
}

TEST(DataMasks, RectangleInEitherDirectionStoresTheSameArea) {
    auto g = linear_graph();
    const Rect f = frame_rect(*g);
    const Point upper_left{f.left + 100, f.top + 100};
    const Point lower_right{f.right - 2000, f.bottom - 3000};
    const auto a = mask_area(*g, corner_values(*g, upper_left), corner_values(*g, lower_right));
    const auto b = mask_area(*g, corner_values(*g, lower_right), corner_values(*g, upper_left));
    EXPECT_EQ(a, b);
    EXPECT_LT(a[0], a[1]);
    EXPECT_LT(a[2], a[3]);
    EXPECT_GT(a[0], 0);
    EXPECT_LT(a[3], 100);
}

TEST(DataMasks, ReciprocalAxisTakesValuesBackAndReachesOutAcrossZero) {
    auto g = linear_graph();
    g->axes[AxisX].scale_type = 2;
    const auto same_sign = mask_area(*g, {0.5, 1, 0, 0}, {0.25, 2, 0, 0});
    EXPECT_DOUBLE_EQ(same_sign[0], 2);
    EXPECT_DOUBLE_EQ(same_sign[1], 4);
    EXPECT_DOUBLE_EQ(same_sign[2], 1); // Y is linear
    const auto across = mask_area(*g, {-0.5, 1, 0, 0}, {0.25, 2, 0, 0});
    // The larger magnitude is -0.5: its reciprocal -2 and the end -1e100.
    EXPECT_DOUBLE_EQ(across[0], -1e100);
    EXPECT_DOUBLE_EQ(across[1], -2);
    const auto tiny = mask_area(*g, {1e-200, 1, 0, 0}, {-1e-201, 2, 0, 0});
    EXPECT_DOUBLE_EQ(tiny[0], 1e100);
    EXPECT_DOUBLE_EQ(tiny[1], 1e100);
}

TEST(DataMasks, ListKeepsOrderOnDeleteAndRefusesTheFortyFirst) {
    auto g = linear_graph();
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(add_mask(*g, i, {double(i), 0, 0, 0}));
    EXPECT_TRUE(delete_mask(*g, 0));
    ASSERT_EQ(g->mask_count, 2);
    EXPECT_EQ(g->masks[0].series, 2);
    EXPECT_EQ(g->masks[1].series, 3);
    EXPECT_FALSE(delete_mask(*g, 2));
    for (int i = 2; i < MAX_MASKS; ++i)
        ASSERT_TRUE(add_mask(*g, 0, {}));
    EXPECT_EQ(g->mask_count, MAX_MASKS);
    EXPECT_FALSE(add_mask(*g, 0, {}));
    EXPECT_EQ(g->mask_count, MAX_MASKS);
}

TEST(Trimming, RightToLeftReversesTheAxisUnlessSorted) {
    auto g = linear_graph();
    const Trimming t = trimming_from_corners({8, 20, 0, 0}, {2, 60, 1, 1});
    apply_trimming(*g, t, false);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].from, 8);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].to, 2);
    EXPECT_EQ(g->unmodified, 0);
    EXPECT_EQ(g->scales_valid, 1);
    apply_trimming(*g, t, true);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].from, 2);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].to, 8);
}

TEST(Trimming, FitsThatLeaveOutOuterPointsAreComputedAgain) {
    auto g = linear_graph();
    for (int i = 0; i < 3; ++i)
        add_series(*g, "/d/f" + std::to_string(i) + ".dat", nullptr);
    g->series[0].kind = kind::Polynomial; // only the points inside the graph count
    g->series[1].kind = kind::Spline;
    g->series[1].CountOutArea = 1; // every point counts: the ranges do not matter
    g->series[2].kind = kind::Function;
    for (int i = 0; i < 3; ++i) {
        g->series[static_cast<size_t>(i)].needs_reading = 0;
        if (i != 1) g->series[static_cast<size_t>(i)].CountOutArea = 0;
    }
    apply_trimming(*g, trimming_from_corners({2, 20, 0, 0}, {8, 60, 1, 1}), false);
    EXPECT_EQ(g->series[0].needs_reading, 1);
    EXPECT_EQ(g->series[1].needs_reading, 0);
    EXPECT_EQ(g->series[2].needs_reading, 0);
}

TEST(Trimming, DialogLeavesUncheckedAxesAndReadsItsTexts) {
    auto g = linear_graph();
    TrimmingForm form;
    form.load(trimming_from_corners({1, 2, 3, 4}, {5, 6, 7, 8}), true);
    EXPECT_EQ(form.first[0], "1");
    EXPECT_EQ(form.second[3], "8");
    form.use[AxisY] = false;
    form.first[AxisX] = "9";
    apply_trimming(*g, form.trimming(), form.auto_sort);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].from, 5);
    EXPECT_DOUBLE_EQ(g->axes[AxisX].to, 9);
    EXPECT_DOUBLE_EQ(g->axes[AxisY].to, 100);
}

TEST(Trimming, LinkedAxesFollowInOtherGraphs) {
    GraphSet set;
    set.graphs.push_back(linear_graph());
    set.graphs.push_back(linear_graph());
    set.axis_link = {1, 0, 0, 0};
    add_series(*set.graphs[1], "/d/fit.dat", nullptr);
    set.graphs[1]->series[0].kind = kind::Power;
    set.graphs[1]->series[0].CountOutArea = 0;
    set.graphs[1]->series[0].needs_reading = 0;
    set.graphs[0]->axes[AxisX].from = -3;
    set.graphs[0]->axes[AxisX].scale_type = 1;
    set.graphs[0]->axes[AxisY].to = 7;
    EXPECT_EQ(copy_linked_axes(set, 0), std::vector<int>{1});
    EXPECT_DOUBLE_EQ(set.graphs[1]->axes[AxisX].from, -3);
    EXPECT_EQ(set.graphs[1]->axes[AxisX].scale_type, 1);
    EXPECT_DOUBLE_EQ(set.graphs[1]->axes[AxisY].to, 100);
    EXPECT_EQ(set.graphs[1]->series[0].needs_reading, 1); // its fit sees the new range
    set.axis_link = {0, 0, 0, 0};
    EXPECT_TRUE(copy_linked_axes(set, 0).empty());
}

std::vector<double> seq(int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(i);
    return v;
}

TEST(ValueReading, StartsInTheMiddleAndWrapsAtBothEnds) {
    ValueReader r(seq(7), seq(7), false, 1);
    EXPECT_EQ(r.current(), 3);
    r.move(100);
    EXPECT_EQ(r.current(), 0); // passed the last point
    r.move(-1);
    EXPECT_EQ(r.current(), 6); // passed the first point
    r.move(10);
    EXPECT_EQ(r.current(), 0);
}

TEST(ValueReading, SkipsMissingPointsInTheDirectionOfTheMove) {
    std::vector<double> y = seq(7);
    y[3] = ERROR_VALUE;
    y[4] = MASKED_VALUE;
    y[0] = ERROR_VALUE;
    ValueReader r(seq(7), y, false, 1);
    EXPECT_EQ(r.current(), 5);
    r.move(-1);
    EXPECT_EQ(r.current(), 2);
    r.move(-10); // wraps to the last point
    EXPECT_EQ(r.current(), 6);
    r.move(1); // wraps to 0, which is missing: on to 1
    EXPECT_EQ(r.current(), 1);

    ValueReader reversed(seq(7), seq(7), false, -1);
    reversed.move(1);
    EXPECT_EQ(reversed.current(), 2);

    ValueReader none(seq(3), {ERROR_VALUE, ERROR_VALUE, ERROR_VALUE}, false, 1);
    EXPECT_TRUE(none.empty());
}

TEST(ValueReading, AverageRunsFromMarkToCurrentInEitherOrder) {
    std::vector<double> y = seq(7);
    y[4] = ERROR_VALUE;
    ValueReader r(seq(7), y, false, 1);
    EXPECT_FALSE(r.average());
    r.move(2);
    ASSERT_EQ(r.current(), 5);
    r.set_mark();
    r.move(-3);
    ASSERT_EQ(r.current(), 2);
    auto avg = r.average(); // points 2, 3 and 5 (4 is missing)
    ASSERT_TRUE(avg);
    EXPECT_DOUBLE_EQ(avg->first, 10.0 / 3);
    EXPECT_DOUBLE_EQ(avg->second, 10.0 / 3);
}

TEST(ValueReading, SortingKeepsFileOrderNumbers) {
    ValueReader r({3, 1, 2, 0}, {30, 10, 20, 0}, true, 1);
    EXPECT_EQ(r.current(), 2); // the middle of 0, 1, 2, 3 after sorting
    EXPECT_DOUBLE_EQ(r.x(), 2);
    EXPECT_DOUBLE_EQ(r.y(), 20);
    EXPECT_EQ(r.number(), 2);
    r.move(1);
    EXPECT_EQ(r.number(), 0); // x = 3 was the first line of the file
}

TEST(ValueReading, CursorPositionFollowsTheAxes) {
    auto g = linear_graph();
    const Rect f = frame_rect(*g);
    Point p;
    ASSERT_TRUE(point_position(*g, AxisX, AxisY, 0, 0, p));
    EXPECT_NEAR(p.x, f.left, 1);
    EXPECT_NEAR(p.y, f.bottom, 1);
    g->axes[AxisX].scale_type = 1;
    g->axes[AxisX].from = 1;
    EXPECT_FALSE(point_position(*g, AxisX, AxisY, -1, 0, p));
}

} // namespace
} // namespace plox
