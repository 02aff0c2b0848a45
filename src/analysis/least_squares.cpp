#include "analysis/least_squares.h"

#include "document/model.h"

#include <algorithm>
#include <cmath>

namespace plox {

namespace {

bool log_x(int kind) {
    return kind == kind::Logarithmic || kind == kind::Power;
}
bool log_y(int kind) {
    return kind == kind::Exponential || kind == kind::Power;
}

double polynomial(std::span<const double> a, int degree, double x) {
    double p = a[static_cast<size_t>(degree)];
    for (int n = degree - 1; n >= 0; --n)
        p = p * x + a[static_cast<size_t>(n)];
    return p;
}

} // namespace

int effective_degree(int kind, int degree) {
    if (kind != kind::Polynomial) return 1;
    return std::clamp(degree, 0, MAX_POLYNOMIAL_DEGREE);
}

std::optional<std::array<double, 2>> transform_point(int kind, double x, double y) {
    if (!is_valid(x) || !is_valid(y)) return std::nullopt;
    if (log_x(kind)) {
        if (!(x > 1e-300)) return std::nullopt;
        x = std::log(x);
    }
    if (log_y(kind)) {
        if (!(y > 1e-300)) return std::nullopt;
        y = std::log(y);
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    return std::array<double, 2>{x, y};
}

namespace {

// What one pass over the points found: how many were used, and their distinct abscissae up to
// the m + 1 that settle whether the system can be solved.
struct PointSums {
    size_t used = 0;
    std::array<double, MAX_POLYNOMIAL_DEGREE + 2> distinct{};
    size_t distinct_count = 0;
};

// Σ X'^k for k ≤ 2d and Σ X'^k·Y' for k ≤ d into the workspace. Rounding keeps the pivots of an
// exactly singular system (too few distinct abscissae) from reaching the solver's threshold,
// so the distinct values are counted too.
PointSums accumulate_sums(int kind, size_t m, std::span<const double> X, std::span<const double> Y,
                          LeastSquaresWorkspace& ws) {
    auto& S = ws.power_sums;
    auto& T = ws.moment_sums;
    S.fill(0);
    T.fill(0);
    PointSums sums;
    const size_t count = std::min(X.size(), Y.size());
    for (size_t i = 0; i < count; ++i) {
        const auto p = transform_point(kind, X[i], Y[i]);
        if (!p) continue;
        const double x = (*p)[0], y = (*p)[1];
        const auto seen = sums.distinct.begin() + sums.distinct_count;
        if (sums.distinct_count <= m && std::find(sums.distinct.begin(), seen, x) == seen)
            sums.distinct[sums.distinct_count++] = x;
        double power = 1;
        for (size_t k = 0; k < m; ++k) {
            S[k] += power;
            T[k] += power * y;
            power *= x;
        }
        for (size_t k = m; k < 2 * m - 1; ++k) {
            S[k] += power;
            power *= x;
        }
        ++sums.used;
    }
    return sums;
}

// The normal equations of m unknowns from the sums; through a point, row 0 is the constraint
// p(x0') = y0' scaled by N and rows i ≥ 1 are the normal equations with a0 eliminated.
void assemble_system(size_t m, std::optional<std::array<double, 2>> through,
                     LeastSquaresWorkspace& ws) {
    const auto& S = ws.power_sums;
    const auto& T = ws.moment_sums;
    ws.matrix.assign(m * m, 0.0);
    ws.rhs.assign(m, 0.0);
    ws.solution.assign(m, 0.0);
    auto M = [&](size_t r, size_t c) -> double& { return ws.matrix[c + m * r]; };
    if (!through) {
        for (size_t r = 0; r < m; ++r) {
            for (size_t c = 0; c < m; ++c)
                M(r, c) = S[r + c];
            ws.rhs[r] = T[r];
        }
        return;
    }
    const double N = S[0], x0 = (*through)[0], y0 = (*through)[1];
    std::array<double, MAX_POLYNOMIAL_DEGREE + 1> x0_power{};
    x0_power[0] = 1;
    for (size_t k = 1; k < m; ++k)
        x0_power[k] = x0_power[k - 1] * x0;
    for (size_t c = 0; c < m; ++c)
        M(0, c) = -N * x0_power[c];
    ws.rhs[0] = -N * y0;
    for (size_t r = 1; r < m; ++r) {
        M(r, 0) = -N * x0_power[r];
        for (size_t c = 1; c < m; ++c)
            M(r, c) = S[r + c] - x0_power[r] * S[c] - x0_power[c] * S[r];
        ws.rhs[r] = T[r] - x0_power[r] * T[0] - y0 * S[r];
    }
}

// σ and |r| of the fitted curve, in transformed coordinates. The mean is taken relative to the
// first value so that a constant fitted curve gives SSR = 0 exactly.
void fit_statistics(int kind, int d, std::span<const double> X, std::span<const double> Y,
                    size_t used, LeastSquaresResult& result) {
    const size_t count = std::min(X.size(), Y.size());
    double first = 0, shifted_sum = 0;
    bool have_first = false;
    for (size_t i = 0; i < count; ++i) {
        const auto p = transform_point(kind, X[i], Y[i]);
        if (!p) continue;
        const double f = polynomial(result.coefficients, d, (*p)[0]);
        if (!have_first) {
            first = f;
            have_first = true;
        }
        shifted_sum += f - first;
    }
    const double mean = first + shifted_sum / static_cast<double>(used);
    double sse = 0, ssr = 0;
    for (size_t i = 0; i < count; ++i) {
        const auto p = transform_point(kind, X[i], Y[i]);
        if (!p) continue;
        const double f = polynomial(result.coefficients, d, (*p)[0]);
        sse += (f - (*p)[1]) * (f - (*p)[1]);
        ssr += (f - mean) * (f - mean);
    }
    result.sigma = std::sqrt(sse / static_cast<double>(used));
    result.correlation = ssr + sse > 1e-100 ? std::sqrt(std::fabs(ssr / (ssr + sse))) : 0;
    result.points = static_cast<int>(used);
}

} // namespace

FitStatus fit_least_squares(int kind, int degree, std::optional<std::array<double, 2>> through,
                            std::span<const double> X, std::span<const double> Y,
                            LinearSolver& solver, LeastSquaresWorkspace& ws,
                            LeastSquaresResult& result) {
    const int d = effective_degree(kind, degree);
    const size_t m = static_cast<size_t>(d) + 1;
    const PointSums sums = accumulate_sums(kind, m, X, Y, ws);
    if (sums.used == 0) return FitStatus::NoPoints;
    // m unknowns need m distinct abscissae; through a point, m - 1 besides the point's own.
    const size_t needed = through ? m - 1 : m;
    const auto distinct_end = sums.distinct.begin() + sums.distinct_count;
    const auto off_point =
        through ? static_cast<size_t>(std::count_if(sums.distinct.begin(), distinct_end,
                                                    [&](double v) { return v != (*through)[0]; }))
                : sums.distinct_count;
    if (off_point < needed) return FitStatus::Singular;

    assemble_system(m, through, ws);
    if (!solver.solve(ws.matrix, ws.rhs, ws.solution)) return FitStatus::Singular;
    for (double a : ws.solution)
        if (!std::isfinite(a)) return FitStatus::Singular;

    result = {};
    std::copy(ws.solution.begin(), ws.solution.end(), result.coefficients.begin());
    fit_statistics(kind, d, X, Y, sums.used, result);
    return FitStatus::Ok;
}

double least_squares_value(int kind, int degree, std::span<const double, 10> a, double x) {
    double v = -1e300;
    switch (kind) {
    case kind::Polynomial:
        v = polynomial(a, effective_degree(kind, degree), x);
        break;
    case kind::Exponential:
        v = std::exp(a[1] * x + a[0]);
        break;
    case kind::Logarithmic:
        if (x > 1e-300) v = a[1] * std::log(x) + a[0];
        break;
    case kind::Power:
        if (x > 1e-300) v = std::exp(a[1] * std::log(x) + a[0]);
        break;
    default:
        break;
    }
    return std::isfinite(v) ? v : -1e300;
}

void least_squares_curve(int kind, int degree, std::span<const double, 10> a,
                         std::span<const double> curve_x, std::span<double> curve_y) {
    const int d = effective_degree(kind, degree);
    const size_t n = std::min(curve_x.size(), curve_y.size());
    for (size_t i = 0; i < n; ++i) {
        const double x = curve_x[i];
        double y = ERROR_VALUE;
        if (is_valid(x)) {
            switch (kind) {
            case kind::Polynomial:
                y = polynomial(a, d, x);
                break;
            case kind::Exponential:
                y = std::exp(polynomial(a, d, x));
                break;
            case kind::Logarithmic:
                y = x > 1e-300 ? a[1] * std::log(x) + a[0] : -1e300;
                break;
            case kind::Power:
                y = x > 1e-300 ? std::exp(a[1] * std::log(x) + a[0]) : 0;
                break;
            default:
                break;
            }
        }
        // An overflowing curve point is a gap, not an infinity for the renderer.
        curve_y[i] = std::isfinite(y) ? y : ERROR_VALUE;
    }
}

} // namespace plox
