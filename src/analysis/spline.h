// Cubic splines through knots: natural and periodic, solved in linear time, plus the
// smoothing of device-coordinate polylines that the renderer asks for.
#pragma once

#include "document/model.h"

#include <span>
#include <vector>

namespace plox {

inline constexpr int MIN_SPLINE_POINTS = 3;
inline constexpr int MAX_SPLINE_POINTS = 500;

enum class SplineEnd {
    Natural,  // second derivative 0 at both ends
    Periodic, // the last knot repeats the first; value and derivatives wrap around
};

// On [t[i], t[i+1]]: v(t) = v[i] + c[i]·s + b[i]·s² + a[i]·s³ with s = t - t[i].
// The vectors keep their capacity, so one object reused across fits allocates once.
struct Spline {
    std::vector<double> t, v;    // knots and values (n)
    std::vector<double> a, b, c; // per interval (n - 1)
    std::vector<double> work;    // elimination scratch
    bool monotonic = false;      // knots strictly increasing or decreasing: bisection lookup
    size_t knot_count() const { return t.size(); }
};

// The cubic spline through n knots. False (and an empty spline) when the knots are rejected:
// fewer than two (three for periodic), a zero step, two consecutive steps that cancel, or a
// zero pivot of the elimination.
bool spline_fit(std::span<const double> t, std::span<const double> v, SplineEnd end,
                Spline& spline);

// The value at t on the first interval that holds t (the last interval when none does).
double spline_value(const Spline& spline, double t);

// 10·n points along splines x(k), y(k) through the n points, truncated to integers; natural when
// open, periodic when closed (the caller repeats the first point as the last). Empty when the
// splines are rejected.
std::vector<Point32> smooth_polyline(std::span<const Point32> points, bool closed);

} // namespace plox
