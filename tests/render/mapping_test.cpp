// Frame rectangle, scale transforms, forward/inverse mapping and the automatic range.
#include "render/mapping.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plox {
namespace {

std::pair<double, double> rounded(double lo, double hi, int type) {
    round_outward(lo, hi, type);
    return {lo, hi};
}

TEST(AutoRange, OutwardRoundingFollowsTheScaleType) {
    EXPECT_EQ(rounded(3, 95, 0), std::make_pair(0.0, 95.0));
    EXPECT_EQ(rounded(30, 95, 0), std::make_pair(30.0, 95.0));
    auto r = rounded(-0.0123, 4.56, 0);
    EXPECT_DOUBLE_EQ(r.first, -0.013);
    EXPECT_DOUBLE_EQ(r.second, 4.6);
    r = rounded(1e-9, 1, 1);
    EXPECT_DOUBLE_EQ(r.first, 1e-7);
    EXPECT_DOUBLE_EQ(r.second, 1);
    r = rounded(-2, 5, 4);
    EXPECT_DOUBLE_EQ(r.first, 0.05);
    EXPECT_DOUBLE_EQ(r.second, 5);
    // Negative data far from zero keep their minimum, the maximum goes to 0.
    r = rounded(-95, -3, 0);
    EXPECT_DOUBLE_EQ(r.first, -95);
    EXPECT_DOUBLE_EQ(r.second, 0);
    // Equal ends widen by one; a value whose digits suffer floating-point noise stays put.
    EXPECT_EQ(rounded(7, 7, 0), std::make_pair(7.0, 8.0));
    EXPECT_DOUBLE_EQ(rounded(0.29, 0.295, 0).first, 0.29);
    // Type 2 stores reciprocals, swapped into order.
    r = rounded(2, 10, 2);
    EXPECT_DOUBLE_EQ(r.first, 0.1);
    EXPECT_DOUBLE_EQ(r.second, 0.5);
    // Log with a non-positive minimum gets seven decades below the maximum.
    r = rounded(-5, 100, 3);
    EXPECT_DOUBLE_EQ(r.first, 100 * 1e-7);
}

Graph graph_with_series(int count) {
    Graph g;
    g.series_count = count;
    return g;
}

TEST(AutoRange, DistributesSeriesExtentsOverTheAxes) {
    Graph g = graph_with_series(2);
    g.axes[AxisX].common = 0;
    g.axes[AxisY].common = 1;
    g.series[1].isRefUpAxis = 1;
    g.series[1].isRefRightAxis = 1; // Y is common: goes to Y anyway
    RenderContext ctx;
    ctx.series_range = [](Graph&, int i) {
        return i == 0 ? SeriesExtent{3, 95, 1, 2} : SeriesExtent{-1, 40, 0.5, 30};
    };
    auto_range(g, ctx, false, false, false, false);
    EXPECT_EQ(g.axes[AxisX].from, 0);
    EXPECT_EQ(g.axes[AxisX].to, 95);
    EXPECT_EQ(g.axes[AxisU].from, -1);
    EXPECT_EQ(g.axes[AxisU].to, 40);
    EXPECT_EQ(g.axes[AxisY].from, 0); // 0.5..30 → 0..30
    EXPECT_EQ(g.axes[AxisY].to, 30);
    EXPECT_EQ(g.axes[AxisR].to, 30); // R takes Y's extents
    EXPECT_EQ(g.scales_valid, 1);
    EXPECT_EQ(g.unmodified, 0);

    // With valid scales only the requested axes change; nothing requested changes nothing.
    g.axes[AxisU].from = 123;
    auto_range(g, ctx, false, false, false, false);
    EXPECT_EQ(g.axes[AxisU].from, 123);
    auto_range(g, ctx, true, false, false, false);
    EXPECT_EQ(g.axes[AxisU].from, 123);
    EXPECT_EQ(g.axes[AxisX].to, 95);
}

TEST(AutoRange, AxesWithoutSeriesGetMinusOneToOne) {
    Graph g = graph_with_series(1);
    g.axes[AxisX].common = 0;
    RenderContext ctx;
    ctx.series_range = [](Graph&, int) { return SeriesExtent{10, 20, 10, 20}; };
    auto_range(g, ctx, false, false, false, false);
    EXPECT_EQ(g.axes[AxisU].from, -1);
    EXPECT_EQ(g.axes[AxisU].to, 1);
    Graph empty = graph_with_series(0);
    auto_range(empty, ctx, true, true, true, true);
    EXPECT_EQ(empty.scales_valid, 0);
}

TEST(Mapping, FrameAndFontsScaleWithMagnification) {
    Graph g;
    g.Magnification = 150;
    EXPECT_EQ(frame_rect(g), (Rect{4000, 1500, 4000 + 21000, 1500 + 15000}));
    EXPECT_EQ(scaled_font_height(-2400, 100), -847);
    EXPECT_EQ(scaled(333, 50), 166);
    EXPECT_EQ(mul_div(5, 3, 2), 8);
    EXPECT_EQ(mul_div(-5, 3, 2), -8);
    EXPECT_EQ(mul_div(1, 1, 0), -1);
}

TEST(Mapping, MinAndMaxLandOnTheFrameEdgesAndReversedAxesMirror) {
    Graph g;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 10;
    g.axes[AxisY].from = 0;
    g.axes[AxisY].to = 10;
    const Rect f = frame_rect(g);
    const AxisMapping x = axis_mapping(g, AxisX), y = axis_mapping(g, AxisY);
    EXPECT_EQ(x.position(0), f.left);
    EXPECT_EQ(x.position(10), f.right);
    EXPECT_EQ(y.position(0), f.bottom);
    EXPECT_EQ(y.position(10), f.top);
    g.axes[AxisX].from = 10;
    g.axes[AxisX].to = 0;
    const AxisMapping rx = axis_mapping(g, AxisX);
    EXPECT_EQ(rx.position(10), f.left);
    EXPECT_GT(rx.position(2), rx.position(8));
    EXPECT_EQ(rx.low, 0);
    EXPECT_EQ(rx.high, 10);
}

TEST(Mapping, UndefinedValuesBecomeErrorValue) {
    EXPECT_EQ(transform_value(1, 0), ERROR_VALUE);
    EXPECT_EQ(transform_value(3, -4), ERROR_VALUE);
    EXPECT_EQ(transform_value(2, 1e-101), ERROR_VALUE);
    EXPECT_EQ(transform_value(4, 0), ERROR_VALUE);
    EXPECT_EQ(transform_value(0, MASKED_VALUE), ERROR_VALUE);
    EXPECT_DOUBLE_EQ(transform_value(1, 1000), 3);
    EXPECT_DOUBLE_EQ(transform_value(4, 4), 0.25);
    Graph g;
    g.axes[AxisY].scale_type = 1;
    g.axes[AxisY].from = 1;
    g.axes[AxisY].to = 100;
    int32_t p = 0;
    EXPECT_FALSE(axis_mapping(g, AxisY).map(0, p));
    EXPECT_TRUE(axis_mapping(g, AxisY).map(10, p));
    EXPECT_EQ(p, (frame_rect(g).top + frame_rect(g).bottom) / 2);
}

TEST(Mapping, RoundTripForEveryScaleType) {
    struct Case {
        int type;
        double from, to;
        std::vector<double> values;
    };
    const Case cases[] = {
        {0, -3, 7, {-3, -1.234, 0, 2.5, 7}},   {1, 1e-3, 1e4, {1e-3, 0.0456, 1, 77, 1e4}},
        {2, 0.1, 2, {0.5, 0.77, 1.5, 10}}, // limits are stored as reciprocals
        {3, 1, 1000, {1, 3.3, 500, 1000}},     {4, 0.5, 20, {0.5, 1, 3.7, 20}},
        {4, -10, -0.1, {-10, -1, -0.3, -0.1}},
    };
    for (const Case& c : cases) {
        Graph g;
        for (int axis : {AxisX, AxisY}) {
            g.axes[static_cast<size_t>(axis)].scale_type = c.type;
            g.axes[static_cast<size_t>(axis)].from = c.from;
            g.axes[static_cast<size_t>(axis)].to = c.to;
        }
        const AxisMapping mx = axis_mapping(g, AxisX), my = axis_mapping(g, AxisY);
        // Type 2 reads back in its reciprocal units; the others in data values.
        auto t = [&](double u, bool read_back) {
            return c.type == 2 && read_back ? u : transform_value(c.type, u);
        };
        for (double v : c.values) {
            int32_t px = 0, py = 0;
            ASSERT_TRUE(mx.map(v, px));
            ASSERT_TRUE(my.map(v, py));
            const auto back = inverse_map(g, {px, py}, AxisX, AxisY);
            // One logical unit's worth of the transformed range.
            const double unit_x = (mx.high - mx.low) / 14000, unit_y = (my.high - my.low) / 10000;
            EXPECT_NEAR(t(back.first, true), t(v, false), 1.01 * unit_x) << c.type << " " << v;
            EXPECT_NEAR(t(back.second, true), t(v, false), 1.01 * unit_y) << c.type << " " << v;
        }
    }
}

TEST(Mapping, FrameRelativeIsClampedToTheFrame) {
    Graph g;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 10;
    g.axes[AxisY].from = 0;
    g.axes[AxisY].to = 10;
    g.Magnification = 200; // unscaled frame units
    EXPECT_NEAR(frame_relative(g, AxisX, 5), 7000.5, 1e-9);
    EXPECT_EQ(frame_relative(g, AxisX, 50), 14000);
    EXPECT_EQ(frame_relative(g, AxisX, -50), 0);
    EXPECT_NEAR(frame_relative(g, AxisY, 10), 0.5, 1e-9); // max at the top
    EXPECT_EQ(frame_relative(g, AxisY, 0), 10000);
}

TEST(Mapping, ZeroLinesFollowTheAxes) {
    Graph g;
    g.axes[AxisX].from = -5;
    g.axes[AxisX].to = 5;
    g.axes[AxisY].from = 1;
    g.axes[AxisY].to = 5;
    const Rect f = frame_rect(g);
    const ZeroLines z = zero_lines(g, axis_mapping(g, AxisX), axis_mapping(g, AxisY), f);
    EXPECT_EQ(z.x, (f.left + f.right) / 2);
    EXPECT_EQ(z.y, f.bottom);
    g.axes[AxisY].from = -5;
    g.axes[AxisY].to = -1;
    EXPECT_EQ(zero_lines(g, axis_mapping(g, AxisX), axis_mapping(g, AxisY), f).y, f.top);
}

TEST(Mapping, HostileLimitsNeverOverflowPositions) {
    Graph g;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 1e-300;
    const AxisMapping m = axis_mapping(g, AxisX);
    const int32_t p = m.position(1e300);
    EXPECT_LE(std::abs(static_cast<int64_t>(p)), 1000000000);
    g.axes[AxisX].from = 3;
    g.axes[AxisX].to = 3; // zero range: everything at the middle, no division by zero
    EXPECT_EQ(axis_mapping(g, AxisX).position(3), (frame_rect(g).left + frame_rect(g).right) / 2);
}

} // namespace
} // namespace plox
