// Series construction: reading or generating the points, transforms, averaging and masks.
#include "data/series_builder.h"

#include <algorithm>
#include <cmath>

#include "data/reader.h"
#include "document/model.h"
#include "expr/column_source.h"
#include "expr/evaluator.h"

namespace plox {

namespace {

// "#NNCC" column references of a graph's expressions, read with load_columns kind 3.
class GraphColumns : public ColumnSource {
public:
    GraphColumns(Graph& graph, const DataContext& context) : graph_(graph), context_(context) {}
    std::optional<std::vector<double>> load_column(int series_number, int field) override {
        if (series_number < 1 || series_number > std::min(graph_.series_count, MAX_SERIES))
            return std::nullopt;
        auto loaded =
            read_columns(graph_.series[series_number - 1], load_kind::Column, field, context_);
        if (!loaded) return std::nullopt;
        return std::move(loaded->first);
    }

private:
    Graph& graph_;
    const DataContext& context_;
};

bool valid_index(const Graph& graph, int index) {
    return index >= 0 && index < std::min(graph.series_count, MAX_SERIES);
}

// Step 1 of a build: the file's columns, or the generated X of a function series with Y = 0.
std::optional<PointArrays> read_points(Series& series, int kind, const DataContext& context) {
    PointArrays points;
    if (series.kind == kind::Function) {
        points.x = generate_curve_x(series, 0);
        points.y.assign(points.x.size(), 0.0);
    } else {
        auto loaded = read_columns(series, kind, 0, context);
        if (!loaded) return std::nullopt;
        points.x = std::move(loaded->first);
        points.y = std::move(loaded->second);
    }
    series.point_count = static_cast<int32_t>(points.size());
    if (points.size() == 0) return std::nullopt;
    return points;
}

bool evaluate_into(Graph& graph, int index, const std::string& text, std::vector<double>& x,
                   std::vector<double>& y, std::vector<double>& out, bool show_errors,
                   const DataContext& context) {
    GraphColumns columns(graph, context);
    const EvalEnvironment env{context.prompter, context.functions, &columns};
    out.assign(x.size(), 0.0);
    return evaluate(env, static_cast<int32_t>(x.size()), x.data(), y.data(), out.data(), text, true,
                    show_errors, index + 1);
}

// Step 2: both transforms from the arrays as read; false when either failed.
bool apply_transforms(Graph& graph, int index, PointArrays& points, bool show_errors,
                      const DataContext& context) {
    Series& series = graph.series[index];
    if (!series.IsXtrans && !series.IsYtrans) return true;
    set_parameters(graph.user_constants);
    std::vector<double> new_x, new_y;
    bool ok = true;
    if (series.IsXtrans)
        ok = evaluate_into(graph, index, series.Xtrans, points.x, points.y, new_x, show_errors,
                           context);
    if (series.IsYtrans)
        ok = evaluate_into(graph, index, series.Ytrans, points.x, points.y, new_y, show_errors,
                           context) &&
             ok;
    if (!ok) return false;
    if (series.IsXtrans) points.x = std::move(new_x);
    if (series.IsYtrans) points.y = std::move(new_y);
    return true;
}

bool inside_axis(const Axis& axis, double value) {
    if (axis.scale_type == 2) {
        if (std::fabs(value) < 1e-100) return false;
        value = 1 / value;
    }
    return value >= std::min(axis.from, axis.to) && value <= std::max(axis.from, axis.to);
}

} // namespace

int build_kind_for(const Series& series) {
    return series.PlotType == 27 || series.PlotType == 28 ? load_kind::XAndNext : load_kind::XY;
}

std::optional<PointArrays> build_series(Graph& graph, int index, int kind,
                                        const DataContext& context) {
    if (!valid_index(graph, index)) return std::nullopt;
    Series& series = graph.series[index];
    auto points = read_points(series, kind, context);
    if (!points) return std::nullopt;
    if (!apply_transforms(graph, index, *points, series.needs_reading != 0, context)) {
        series.needs_reading = 0;
        return std::nullopt;
    }
    if (series.XAvr >= 1) points->x = neighbour_average(points->x, series.XAvr);
    if (series.YAvr >= 1) points->y = neighbour_average(points->y, series.YAvr);
    apply_masks(graph, index, points->x, points->y);
    return points;
}

std::optional<ErrorBars> build_error_bars(Graph& graph, int index, int axis,
                                          const DataContext& context) {
    if (!valid_index(graph, index) || (axis != AxisX && axis != AxisY)) return std::nullopt;
    Series& series = graph.series[index];
    if (series.kind == kind::Function) return std::nullopt;
    const int setting = axis == AxisX ? series.Errorbar1 : series.Errorbar2;
    int kind = 0;
    if (setting == 1)
        kind = axis == AxisX ? load_kind::XErrorOffsets : load_kind::YErrorOffsets;
    else if (setting == 2)
        kind = axis == AxisX ? load_kind::XErrorSymmetric : load_kind::YErrorSymmetric;
    else
        return std::nullopt;

    auto ends = read_columns(series, kind, 0, context);
    if (!ends || ends->first.empty()) return std::nullopt;
    ErrorBars bars{std::move(ends->first), std::move(ends->second)};

    const bool transformed = axis == AxisX ? series.IsXtrans : series.IsYtrans;
    if (!transformed) return bars;
    // The end goes into the transformed variable; the other variable holds the point's own
    // value on the other axis, so that transforms using both follow their points.
    auto raw = read_columns(series, load_kind::XY, 0, context);
    if (!raw || raw->first.size() != bars.low.size()) return std::nullopt;
    set_parameters(graph.user_constants);
    const std::string& text = axis == AxisX ? series.Xtrans : series.Ytrans;
    for (std::vector<double>* end : {&bars.low, &bars.high}) {
        std::vector<double> other = axis == AxisX ? raw->second : raw->first;
        std::vector<double> result;
        const bool ok =
            axis == AxisX ? evaluate_into(graph, index, text, *end, other, result, false, context)
                          : evaluate_into(graph, index, text, other, *end, result, false, context);
        if (!ok) return std::nullopt;
        *end = std::move(result);
    }
    return bars;
}

int exclude_outside(const Graph& graph, const Series& series, std::span<double> x,
                    std::span<double> y) {
    const Axis& horizontal = graph.axes[series.isRefUpAxis ? AxisU : AxisX];
    const Axis& vertical = graph.axes[series.isRefRightAxis ? AxisR : AxisY];
    const size_t n = std::min(x.size(), y.size());
    int remaining = 0;
    for (size_t i = 0; i < n; ++i) {
        const bool outside = (is_valid(x[i]) && !inside_axis(horizontal, x[i])) ||
                             (is_valid(y[i]) && !inside_axis(vertical, y[i]));
        if (outside) {
            x[i] = ERROR_VALUE;
            y[i] = ERROR_VALUE;
        } else if (is_valid(x[i]) && is_valid(y[i])) {
            ++remaining;
        }
    }
    return remaining;
}

SeriesRange series_range(Graph& graph, int index, const DataContext& context) {
    SeriesRange range;
    if (!valid_index(graph, index)) return range;
    auto points = read_points(graph.series[index], load_kind::XY, context);
    if (!points || !apply_transforms(graph, index, *points, false, context)) return range;
    bool have_x = false, have_y = false;
    for (size_t i = 0; i < points->size(); ++i) {
        const double x = points->x[i], y = points->y[i];
        if (is_valid(x)) {
            range.xmin = have_x ? std::min(range.xmin, x) : x;
            range.xmax = have_x ? std::max(range.xmax, x) : x;
            have_x = true;
        }
        if (is_valid(y)) {
            range.ymin = have_y ? std::min(range.ymin, y) : y;
            range.ymax = have_y ? std::max(range.ymax, y) : y;
            have_y = true;
        }
    }
    return range;
}

std::vector<double> generate_curve_x(Series& series, int axis_type) {
    const int n = std::clamp(series.curve_points - 1, 2, MAX_CURVE_POINTS - 1);
    series.curve_points = n + 1;
    const double from = series.curve_from;
    if (!(from < series.curve_to)) series.curve_to = from + 1;
    const double to = series.curve_to;

    int a = axis_type;
    int spacing = series.curve_scale_type;
    if (spacing == 1 || spacing == 3) {
        if (a == 2 || !(from >= 1e-100)) spacing = 0, a = 0;
    } else if (spacing == 2) {
        if (a == 1 || a == 3 || !(from * to > 0)) spacing = 0, a = 0;
    } else {
        spacing = 0;
    }
    series.curve_scale_type = spacing;

    std::vector<double> x(static_cast<size_t>(n) + 1);
    x[0] = from;
    x[n] = to;
    if (spacing == 0) {
        for (int i = 1; i < n; ++i)
            x[i] = from + i * (to - from) / n;
        if (a == 1 || a == 3) {
            for (double& v : x)
                v = v > 1e-300 ? std::log10(v) : ERROR_VALUE;
        } else if (a == 2) {
            for (double& v : x)
                v = std::fabs(v) > 1e-100 ? 1 / v : ERROR_VALUE;
        }
    } else if (spacing == 1 || spacing == 3) {
        const double l0 = std::log10(from), l1 = std::log10(to);
        const bool logarithmic_axis = a == 1 || a == 3;
        for (int i = 1; i < n; ++i) {
            const double l = l0 + i * (l1 - l0) / n;
            x[i] = logarithmic_axis ? l : std::pow(10.0, l);
        }
        if (logarithmic_axis) x[0] = l0, x[n] = l1;
    } else {
        const double r0 = 1 / from, r1 = 1 / to;
        for (int i = 1; i < n; ++i) {
            const double r = r0 + i * (r1 - r0) / n;
            x[i] = a == 4 ? r : 1 / r;
        }
        if (a == 4) x[0] = r0, x[n] = r1;
    }
    return x;
}

std::vector<double> neighbour_average(std::span<const double> values, int half_width) {
    const int64_t n = static_cast<int64_t>(values.size());
    const int64_t w = std::max(half_width, 0);
    std::vector<double> out(values.size(), ERROR_VALUE);
    if (w <= 32) {
        for (int64_t i = 0; i < n; ++i) {
            double sum = 0;
            int count = 0;
            for (int64_t k = std::max<int64_t>(i - w, 0), end = std::min(i + w, n - 1); k <= end;
                 ++k) {
                if (is_valid(values[k])) sum += values[k], ++count;
            }
            if (count > 0) out[i] = sum / count;
        }
        return out;
    }
    // Wide windows would cost O(N·w): prefix sums keep them linear.
    std::vector<long double> sums(values.size() + 1, 0.0L);
    std::vector<int64_t> counts(values.size() + 1, 0);
    for (int64_t i = 0; i < n; ++i) {
        const bool valid = is_valid(values[i]);
        sums[i + 1] = sums[i] + (valid ? values[i] : 0.0L);
        counts[i + 1] = counts[i] + (valid ? 1 : 0);
    }
    for (int64_t i = 0; i < n; ++i) {
        const int64_t lo = std::max<int64_t>(i - w, 0), hi = std::min(i + w, n - 1) + 1;
        const int64_t count = counts[hi] - counts[lo];
        if (count > 0) out[i] = static_cast<double>((sums[hi] - sums[lo]) / count);
    }
    return out;
}

void apply_masks(const Graph& graph, int index, std::span<double> x, std::span<double> y) {
    const int number = index + 1;
    const size_t n = std::min(x.size(), y.size());
    for (int m = 0; m < std::clamp(graph.mask_count, 0, MAX_MASKS); ++m) {
        const Mask& mask = graph.masks[m];
        if (mask.series != 0 && mask.series != number) continue;
        const auto& [x_low, x_high, y_low, y_high] = mask.area;
        for (size_t i = 0; i < n; ++i) {
            if (!is_valid(x[i]) || !is_valid(y[i])) continue;
            if (x_low < x[i] && x[i] < x_high && y_low < y[i] && y[i] < y_high) {
                x[i] = MASKED_VALUE;
                y[i] = MASKED_VALUE;
            }
        }
    }
}

} // namespace plox
