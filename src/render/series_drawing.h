// The series half of a graph body: per shown series its analysis curves, error bars, bar
// bases, connecting line and markers, bars, steps or rectangles, clipped to the axes.
#pragma once

#include <functional>
#include <span>

#include "render/graph_drawing.h"
#include "render/mapping.h"

namespace plox {

// One computed curve: curve X then curve Y, equally long.
using CurveSink = std::function<void(std::span<const double> x, std::span<const double> y)>;

// Where the curves of analysed series come from (fits and splines of the analysis subsystem,
// the extension's analyses); the program binds it, so that the renderer links neither.
class CurveSource {
public:
    virtual ~CurveSource() = default;
    // Computes the curve pieces of series `index` (a kind of mask 0x3F6) from its points and
    // hands them to `draw`, last piece first, clearing the series' needs-reading flag. Spline
    // curves (kind 4) come in transformed coordinates, every other kind in data values.
    virtual void curves(Graph& graph, int index, std::span<const double> x,
                        std::span<const double> y, const CurveSink& draw) = 0;
};

struct SeriesLineStyle {
    int32_t type = 1;   // line types 0 … 6
    int32_t width = 40; // stored units; scaled by Magnification here
    Color color = 0;
    int32_t pitch = 300; // stored units
};

// Draws the polyline through (x[i], y[i]) against two axes: missing points break it, every
// segment is clipped in transformed coordinates, patterns carry their phase, type 6 fills down
// to zero_y. With `transform` clear the values are already transformed.
void draw_series_line(Surface& surface, const Graph& graph, const AxisMapping& horizontal,
                      const AxisMapping& vertical, const SeriesLineStyle& style,
                      std::span<const double> x, std::span<const double> y, int32_t zero_y,
                      bool transform);

// Error bars of one series along the horizontal (axis 0) or vertical (axis 1) axis, with the
// caller's pen. `low` and `high` are the bar ends aligned with the points.
void draw_error_bars(Surface& surface, const AxisMapping& horizontal, const AxisMapping& vertical,
                     int axis, std::span<const double> x, std::span<const double> y,
                     std::span<const double> low, std::span<const double> high, int32_t cap);

} // namespace plox
