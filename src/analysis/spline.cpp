#include "analysis/spline.h"

#include <algorithm>
#include <cmath>

namespace plox {

namespace {

bool knots_acceptable(std::span<const double> t, bool periodic) {
    const size_t n = t.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const double h = t[i + 1] - t[i];
        if (h == 0 || !std::isfinite(h)) return false;
        if (i + 2 < n && h + (t[i + 2] - t[i + 1]) == 0) return false;
    }
    // The periodic system also couples the last step with the first.
    return !periodic || (t[n - 1] - t[n - 2]) + (t[1] - t[0]) != 0;
}

// Row i of the tridiagonal system μ·M(i-1) + 2·M(i) + λ·M(i+1) = d, with its neighbours given
// by the previous step (hp, vp) and the next one (h, vn).
struct Row {
    double mu, lambda, d;
};
Row system_row(double hp, double h, double vp, double v, double vn) {
    const double lambda = h / (hp + h);
    return {1 - lambda, lambda, 6 / (hp + h) * ((vn - v) / h - (v - vp) / hp)};
}

// Forward elimination without pivoting of rows [first, last] (sub-diagonal mu, diagonal 2,
// super-diagonal lambda) for one or two right-hand sides; unknowns outside the range are 0.
// `rhs` holds the right-hand sides, the solutions replace them.
bool solve_tridiagonal(const std::vector<Row>& rows, size_t first, size_t last,
                       std::span<double> rhs1, std::span<double> rhs2, std::span<double> upper) {
    double previous_upper = 0;
    for (size_t i = first; i <= last; ++i) {
        const double mu = i == first ? 0 : rows[i].mu;
        const double pivot = 2 - mu * previous_upper;
        if (pivot == 0 || !std::isfinite(pivot)) return false;
        upper[i] = (i == last ? 0 : rows[i].lambda) / pivot;
        rhs1[i] = (rhs1[i] - (i == first ? 0 : mu * rhs1[i - 1])) / pivot;
        if (!rhs2.empty()) rhs2[i] = (rhs2[i] - (i == first ? 0 : mu * rhs2[i - 1])) / pivot;
        previous_upper = upper[i];
    }
    for (size_t i = last; i-- > first;) {
        rhs1[i] -= upper[i] * rhs1[i + 1];
        if (!rhs2.empty()) rhs2[i] -= upper[i] * rhs2[i + 1];
    }
    return true;
}

} // namespace

bool spline_fit(std::span<const double> t, std::span<const double> v, SplineEnd end,
                Spline& spline) {
    const bool periodic = end == SplineEnd::Periodic;
    const size_t n = std::min(t.size(), v.size());
    spline.t.clear();
    spline.v.clear();
    spline.a.clear();
    spline.b.clear();
    spline.c.clear();
    if (n < (periodic ? 3u : 2u) || !knots_acceptable(t.first(n), periodic)) return false;

    // work: rows as three doubles, then M, then the second right-hand side and the upper factors.
    std::vector<Row> rows(n);
    spline.work.assign(3 * n, 0.0);
    std::span<double> M(spline.work.data(), n);
    std::span<double> q(spline.work.data() + n, n);
    std::span<double> upper(spline.work.data() + 2 * n, n);
    const auto h = [&](size_t i) { return t[i + 1] - t[i]; };

    if (!periodic) {
        for (size_t i = 1; i + 1 < n; ++i) {
            rows[i] = system_row(h(i - 1), h(i), v[i - 1], v[i], v[i + 1]);
            M[i] = rows[i].d;
        }
        if (n > 2 && !solve_tridiagonal(rows, 1, n - 2, M, {}, upper)) return false;
        M[0] = M[n - 1] = 0;
    } else {
        // m = n - 1 unknowns M0 … M(m-1), M(m) = M0. Sweep rows 1 … m-1 twice: once for the
        // right-hand side, once for the coupling to M0; row 0 then gives M0.
        const size_t m = n - 1;
        rows[0] = system_row(h(m - 1), h(0), v[m - 1], v[0], v[1]);
        for (size_t i = 1; i < m; ++i) {
            rows[i] = system_row(h(i - 1), h(i), v[i - 1], v[i], v[i + 1]);
            M[i] = rows[i].d;
            q[i] = 0;
        }
        q[1] -= rows[1].mu;
        q[m - 1] -= rows[m - 1].lambda;
        if (!solve_tridiagonal(rows, 1, m - 1, M, q, upper)) return false;
        const double denominator = 2 + rows[0].mu * q[m - 1] + rows[0].lambda * q[1];
        if (denominator == 0 || !std::isfinite(denominator)) return false;
        M[0] = (rows[0].d - rows[0].mu * M[m - 1] - rows[0].lambda * M[1]) / denominator;
        for (size_t i = 1; i < m; ++i)
            M[i] += M[0] * q[i];
        M[m] = M[0];
    }

    spline.t.assign(t.begin(), t.begin() + n);
    spline.v.assign(v.begin(), v.begin() + n);
    spline.a.resize(n - 1);
    spline.b.resize(n - 1);
    spline.c.resize(n - 1);
    bool increasing = true, decreasing = true;
    for (size_t i = 0; i + 1 < n; ++i) {
        const double hi = h(i);
        spline.a[i] = (M[i + 1] - M[i]) / (6 * hi);
        spline.b[i] = M[i] / 2;
        spline.c[i] = (v[i + 1] - v[i]) / hi - hi * spline.b[i] - hi * hi * spline.a[i];
        increasing = increasing && hi > 0;
        decreasing = decreasing && hi < 0;
    }
    spline.monotonic = increasing || decreasing;
    return true;
}

double spline_value(const Spline& spline, double t) {
    const auto& k = spline.t;
    const size_t n = k.size();
    if (n < 2) return ERROR_VALUE;
    size_t interval = n - 2;
    if (spline.monotonic) {
        // Knots in one direction: the interval holding t is unique, bisection finds it.
        const bool increasing = k[1] > k[0];
        const bool inside = increasing ? (t >= k[0] && t < k[n - 1]) : (t <= k[0] && t > k[n - 1]);
        if (inside) {
            const auto it = increasing ? std::upper_bound(k.begin(), k.end(), t)
                                       : std::upper_bound(k.begin(), k.end(), t, std::greater<>());
            interval = static_cast<size_t>(it - k.begin()) - 1;
        }
    } else {
        for (size_t i = 0; i + 1 < n; ++i) {
            if ((k[i] <= t && t < k[i + 1]) || (k[i] >= t && t > k[i + 1])) {
                interval = i;
                break;
            }
        }
    }
    const double s = t - k[interval];
    return spline.v[interval] +
           s * (spline.c[interval] + s * (spline.b[interval] + s * spline.a[interval]));
}

std::vector<Point32> smooth_polyline(std::span<const Point32> points, bool closed) {
    const size_t n = points.size();
    std::vector<double> t(n), x(n), y(n);
    for (size_t i = 0; i < n; ++i) {
        t[i] = static_cast<double>(i);
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    const SplineEnd end = closed ? SplineEnd::Periodic : SplineEnd::Natural;
    Spline sx, sy;
    if (!spline_fit(t, x, end, sx) || !spline_fit(t, y, end, sy)) return {};

    const size_t count = 10 * n;
    std::vector<Point32> result(count);
    const auto to_int = [](double v) {
        return static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
    };
    for (size_t i = 1; i + 1 < count; ++i) {
        const double tau =
            static_cast<double>(i) * static_cast<double>(n - 1) / static_cast<double>(count - 1);
        result[i] = {to_int(spline_value(sx, tau)), to_int(spline_value(sy, tau))};
    }
    result.front() = points.front();
    result.back() = closed ? points.front() : points.back();
    return result;
}

} // namespace plox
