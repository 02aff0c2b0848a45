// The spline curve of a series, in the coordinates of its reference axes.
#include "analysis/series_analysis.h"
#include "analysis/spline.h"
#include "document/model.h"
#include "document/paths.h"
#include "document/prompter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace plox {

namespace {

// A value on an axis of the given scale type: log10 for 1 and 3, reciprocal for 2 and 4.
std::optional<double> to_axis(int scale_type, double v) {
    if (!is_valid(v)) return std::nullopt;
    switch (scale_type) {
    case 1:
    case 3:
        if (!(v > 1e-300)) return std::nullopt;
        return std::log10(v);
    case 2:
    case 4:
        if (!(std::fabs(v) > 1e-100)) return std::nullopt;
        return 1 / v;
    default:
        return v;
    }
}

// Parametric curve: the first and last points are given, point i in between is at
// τ = i·(knots - 1)/(count - 1).
void parametric_curve(const Spline& sx, const Spline& sy, PointArrays& curve) {
    const size_t count = curve.x.size();
    const double span = static_cast<double>(sx.knot_count() - 1);
    for (size_t i = 1; i + 1 < count; ++i) {
        const double tau = static_cast<double>(i) * span / static_cast<double>(count - 1);
        curve.x[i] = spline_value(sx, tau);
        curve.y[i] = spline_value(sy, tau);
    }
}

} // namespace

std::optional<PointArrays> spline_curve(const Graph& graph, Series& series,
                                        std::span<const double> X, std::span<const double> Y,
                                        const AnalysisContext& context) {
    if (!series.needs_reading && !series.analysis_valid) return std::nullopt;
    series.needs_reading = 0;
    series.analysis_valid = 0;
    const int variant = series.degree;
    const auto fail = [&]() -> std::optional<PointArrays> {
        if (context.prompter) {
            context.prompter->message("エラー",
                                      paths::display_name(series.file_name) +
                                          "のSpline補間に失敗しました(" + std::to_string(variant) +
                                          ")",
                                      Buttons::Ok, Icon::Error);
        }
        return std::nullopt;
    };

    const int horizontal = graph.axes[series.isRefUpAxis ? AxisU : AxisX].scale_type;
    const int vertical = graph.axes[series.isRefRightAxis ? AxisR : AxisY].scale_type;
    std::vector<double> kx, ky;
    const size_t count = std::min(X.size(), Y.size());
    for (size_t i = 0; i < count; ++i) {
        const auto x = to_axis(horizontal, X[i]);
        const auto y = to_axis(vertical, Y[i]);
        if (!x || !y) continue;
        kx.push_back(*x);
        ky.push_back(*y);
    }
    const size_t n = kx.size();
    if (n < MIN_SPLINE_POINTS || n > MAX_SPLINE_POINTS) {
        if (context.prompter)
            context.prompter->message("エラー", "Data Point Error (Spline 補間)", Buttons::Ok,
                                      Icon::Error);
        return fail();
    }
    if (variant == 0) {
        // Equal X keep their data order; the knot test then rejects them anyway.
        std::vector<size_t> order(n);
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return kx[a] < kx[b]; });
        std::vector<double> sx(n), sy(n);
        for (size_t i = 0; i < n; ++i) {
            sx[i] = kx[order[i]];
            sy[i] = ky[order[i]];
        }
        kx.swap(sx);
        ky.swap(sy);
    }

    PointArrays curve;
    curve.x = generate_curve_x(series, horizontal);
    curve.y.assign(curve.x.size(), ERROR_VALUE);
    const size_t points = curve.x.size();
    Spline sx, sy;
    switch (variant) {
    case 0: {
        if (!spline_fit(kx, ky, SplineEnd::Natural, sy)) return fail();
        const double first = kx.front(), last = kx.back();
        for (size_t i = 0; i < points; ++i) {
            const double x = curve.x[i];
            if (is_valid(x) && x > first && x < last) curve.y[i] = spline_value(sy, x);
        }
        if (curve.x.front() == first) curve.y.front() = ky.front();
        if (curve.x.back() == last) curve.y.back() = ky.back();
        break;
    }
    case 1:
    case 2: {
        if (variant == 2) {
            kx.push_back(kx.front());
            ky.push_back(ky.front());
        }
        std::vector<double> t(kx.size());
        std::iota(t.begin(), t.end(), 0.0);
        const SplineEnd end = variant == 2 ? SplineEnd::Periodic : SplineEnd::Natural;
        if (!spline_fit(t, kx, end, sx) || !spline_fit(t, ky, end, sy)) return fail();
        parametric_curve(sx, sy, curve);
        curve.x.front() = kx.front();
        curve.y.front() = ky.front();
        curve.x.back() = kx.back();
        curve.y.back() = ky.back();
        break;
    }
    case 3:
        break; // the curve positions alone
    default:
        return fail();
    }
    series.analysis_valid = 1;
    return curve;
}

} // namespace plox
