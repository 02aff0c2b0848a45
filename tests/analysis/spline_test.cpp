// Natural and periodic cubic splines, the knot test, evaluation outside the knots, and the
// polyline smoothing of the renderer.
#include "analysis/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace plox {
namespace {

// First and second derivatives must agree where neighbouring intervals meet.
void expect_smooth_joins(const Spline& s, size_t first, size_t last) {
    for (size_t i = first; i < last; ++i) {
        const double h = s.t[i + 1] - s.t[i];
        EXPECT_NEAR(s.c[i] + 2 * s.b[i] * h + 3 * s.a[i] * h * h, s.c[i + 1], 1e-9) << i;
        EXPECT_NEAR(s.b[i] + 3 * s.a[i] * h, s.b[i + 1], 1e-9) << i;
    }
}

TEST(Spline, ThreePointNaturalSpline) {
    Spline s;
    const std::vector<double> t{0, 1, 2}, v{0, 1, 0};
    ASSERT_TRUE(spline_fit(t, v, SplineEnd::Natural, s));
    // M1 from 0.5·M0 + 2·M1 + 0.5·M2 = 3·(-1 - 1) with M0 = M2 = 0: M1 = -3.
    EXPECT_DOUBLE_EQ(s.b[0], 0);
    EXPECT_DOUBLE_EQ(s.b[1], -1.5);
    EXPECT_DOUBLE_EQ(s.a[0], -0.5);
    EXPECT_DOUBLE_EQ(s.c[0], 1.5);
    EXPECT_DOUBLE_EQ(spline_value(s, 1), 1);
    EXPECT_DOUBLE_EQ(spline_value(s, 0.5), 0.6875);
    EXPECT_DOUBLE_EQ(spline_value(s, 1.5), 0.6875);
    EXPECT_NEAR(spline_value(s, 2), 0, 1e-15);
    // The natural end: no curvature at the last knot.
    EXPECT_NEAR(2 * s.b[1] + 6 * s.a[1], 0, 1e-15);
}

TEST(Spline, NaturalSplineInterpolatesAndJoinsSmoothly) {
    std::vector<double> t{0, 0.5, 1.7, 2, 3.5, 4}, v;
    for (double x : t)
        v.push_back(std::sin(x) + 0.1 * x * x);
    Spline s;
    ASSERT_TRUE(spline_fit(t, v, SplineEnd::Natural, s));
    for (size_t i = 0; i < t.size(); ++i)
        EXPECT_NEAR(spline_value(s, t[i]), v[i], 1e-12);
    expect_smooth_joins(s, 0, t.size() - 2);

    // Decreasing knots give the same curve.
    std::vector<double> rt(t.rbegin(), t.rend()), rv(v.rbegin(), v.rend());
    Spline r;
    ASSERT_TRUE(spline_fit(rt, rv, SplineEnd::Natural, r));
    for (double x = 0; x < 4; x += 0.37)
        EXPECT_NEAR(spline_value(r, x), spline_value(s, x), 1e-12) << x;
}

TEST(Spline, PeriodicSplineWrapsAround) {
    const int n = 9;
    std::vector<double> t, v;
    for (int i = 0; i < n; ++i) {
        t.push_back(2 * std::numbers::pi * i / (n - 1));
        v.push_back(std::sin(t.back()));
    }
    v.back() = v.front();
    Spline s;
    ASSERT_TRUE(spline_fit(t, v, SplineEnd::Periodic, s));
    expect_smooth_joins(s, 0, n - 2);
    // Across the wrap: the end of the last interval meets the start of the first.
    const size_t last = n - 2;
    const double h = t[n - 1] - t[n - 2];
    EXPECT_NEAR(s.c[last] + 2 * s.b[last] * h + 3 * s.a[last] * h * h, s.c[0], 1e-9);
    EXPECT_NEAR(s.b[last] + 3 * s.a[last] * h, s.b[0], 1e-9);
    for (double x = 0; x < 6.2; x += 0.3)
        EXPECT_NEAR(spline_value(s, x), std::sin(x), 0.01) << x;

    // Smallest periodic case: two distinct knots and the repeat.
    ASSERT_TRUE(spline_fit(std::vector<double>{0, 1, 2}, std::vector<double>{0, 1, 0},
                           SplineEnd::Periodic, s));
    EXPECT_NEAR(spline_value(s, 1), 1, 1e-12);
}

TEST(Spline, DegenerateKnotsAreRejected) {
    Spline s;
    const std::vector<double> v{1, 2, 3, 4};
    EXPECT_FALSE(
        spline_fit(std::vector<double>{0, 1, 1, 2}, v, SplineEnd::Natural, s)); // zero step
    EXPECT_TRUE(s.t.empty());
    EXPECT_FALSE(
        spline_fit(std::vector<double>{0, 1, 0, 2}, v, SplineEnd::Natural, s)); // steps cancel
    EXPECT_FALSE(spline_fit(std::vector<double>{0, NAN, 2, 3}, v, SplineEnd::Natural, s));
    EXPECT_FALSE(spline_fit(std::vector<double>{0}, std::vector<double>{1}, SplineEnd::Natural, s));
    EXPECT_FALSE(
        spline_fit(std::vector<double>{0, 1}, std::vector<double>{1, 1}, SplineEnd::Periodic, s));
    // Periodic: the last step and the first cancel across the wrap.
    EXPECT_FALSE(spline_fit(std::vector<double>{0, 1, 3, 2}, v, SplineEnd::Periodic, s));
    // Knots that turn back without cancelling are accepted.
    EXPECT_TRUE(spline_fit(std::vector<double>{0, 1, 3, 2}, v, SplineEnd::Natural, s));
}

TEST(Spline, ValuesOutsideTheKnotsUseTheLastInterval) {
    Spline s;
    ASSERT_TRUE(spline_fit(std::vector<double>{0, 1, 2, 3}, std::vector<double>{0, 1, 0, 1},
                           SplineEnd::Natural, s));
    const auto last_cubic = [&](double x) {
        const double d = x - 2;
        return s.v[2] + d * (s.c[2] + d * (s.b[2] + d * s.a[2]));
    };
    EXPECT_DOUBLE_EQ(spline_value(s, -1), last_cubic(-1));
    EXPECT_DOUBLE_EQ(spline_value(s, 5), last_cubic(5));

    // Knots that turn back: the first interval holding t wins.
    ASSERT_TRUE(spline_fit(std::vector<double>{0, 2, 1}, std::vector<double>{0, 1, 5},
                           SplineEnd::Natural, s));
    EXPECT_FALSE(s.monotonic);
    const double x = 1.5, d = x - 0;
    EXPECT_DOUBLE_EQ(spline_value(s, x), s.v[0] + d * (s.c[0] + d * (s.b[0] + d * s.a[0])));
}

TEST(SmoothPolyline, OpenAndClosed) {
    const std::vector<Point32> open{{0, 0}, {1000, 2000}, {2000, 0}, {3000, 1000}};
    const auto line = smooth_polyline(open, false);
    ASSERT_EQ(line.size(), 40u);
    EXPECT_EQ(line.front(), open.front());
    EXPECT_EQ(line.back(), open.back());
    // τ = 13·3/39 = 1 lands on the second point.
    EXPECT_EQ(line[13], open[1]);

    const std::vector<Point32> square{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}};
    const auto closed = smooth_polyline(square, true);
    ASSERT_EQ(closed.size(), 50u);
    EXPECT_EQ(closed.front(), square.front());
    EXPECT_EQ(closed.back(), square.front());
    for (const auto& p : closed) {
        EXPECT_GT(p.x, -300);
        EXPECT_LT(p.x, 1300);
    }

    EXPECT_TRUE(smooth_polyline(std::vector<Point32>{{5, 5}}, false).empty());
    EXPECT_TRUE(smooth_polyline(std::vector<Point32>{}, true).empty());
}

} // namespace
} // namespace plox
