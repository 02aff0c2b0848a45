// Turns a series record into the arrays that are drawn and analysed: file or generated X,
// transforms, neighbour averaging, masks, error bars, exclusion outside the axes, data range.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "data/context.h"

namespace plox {

struct Graph;
struct Series;

// Two equally long arrays; element i of x and of y form point i.
struct PointArrays {
    std::vector<double> x, y;
    size_t size() const { return x.size(); }
};

// Low and high ends of error bars, aligned with the point arrays.
struct ErrorBars {
    std::vector<double> low, high;
};

struct SeriesRange {
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;
};

// Reader kind for building a series: 4 for plot types 27 and 28, else 0.
int build_kind_for(const Series& series);

// The point arrays of series `index` (from 0) of the graph; nothing when there is no file,
// no point, or a transform failed (its message shown only while needs_reading is set, which
// a failure then clears). kind is 0, or 4 for plot types that take the field after X as Y.
std::optional<PointArrays> build_series(Graph& graph, int index, int kind,
                                        const DataContext& context = {});

// Error-bar ends for the X axis (axis 0, Errorbar1) or the Y axis (axis 1, Errorbar2);
// nothing when the setting is 0 or nothing could be read.
std::optional<ErrorBars> build_error_bars(Graph& graph, int index, int axis,
                                          const DataContext& context = {});

// Marks as ERROR_VALUE every point outside the series' reference axes (U or X, R or Y; bounds
// inclusive; reciprocal scale type 2 compares 1/value). The caller decides whether the series
// counts such points (CountOutArea, kind). Returns the number of points still valid.
int exclude_outside(const Graph& graph, const Series& series, std::span<double> x,
                    std::span<double> y);

// Extreme valid values after transforms (no averaging, no masks, no messages); 0..1 when
// nothing can be read or a transform fails. Loads the graph's constants into a to i.
SeriesRange series_range(Graph& graph, int index, const DataContext& context = {});

// X positions of a computed curve or a function series: clamps curve_points to 3..4000,
// curve_to above curve_from and curve_scale_type to a usable spacing, writing them back.
// axis_type is the caller's axis scale type (0 except for splines).
std::vector<double> generate_curve_x(Series& series, int axis_type = 0);

// Mean of the valid values among i - half_width .. i + half_width (cut at the ends);
// ERROR_VALUE where the window holds none.
std::vector<double> neighbour_average(std::span<const double> values, int half_width);

// MASKED_VALUE into both arrays for points strictly inside a mask of series `index` (from 0).
void apply_masks(const Graph& graph, int index, std::span<double> x, std::span<double> y);

} // namespace plox
