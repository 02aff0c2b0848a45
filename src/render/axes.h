// The axis half of a graph drawing: axis normalisation (written back into the records), frame
// types, tick placement for every scale type, tick marks and grid lines, axis lines, number
// and decade labels, the power-of-ten multiplier and the shared zero label.
#pragma once

#include "render/mapping.h"
#include "render/render_context.h"
#include "render/surface.h"

#include <string>
#include <vector>

namespace plox {

namespace frame_type {
inline constexpr int32_t Grid = 0;
inline constexpr int32_t Box = 1;
inline constexpr int32_t HalfFrame = 2;
inline constexpr int32_t Axes = 3;
} // namespace frame_type

// Completes one axis record in place: valid limits for its scale type, step and divisions,
// drawn-part order, label interval.
void normalize_axis(Axis& axis);

// Steps of the drawing sequence before the axes are drawn: common flags by frame type,
// U and R copied from X and Y when shared, the automatic range (only while the scales-valid
// flag is clear) and the normalisation of all four axes.
void prepare_axes(Graph& graph, const RenderContext& context);

// Where X and Y cross (frame type 3 draws the axes there) and whether each axis shares its
// zero label.
struct Crossing {
    int32_t x = 0; // x of the Y axis line
    int32_t y = 0; // y of the X axis line
    bool zero_x = false;
    bool zero_y = false;
};
Crossing compute_crossing(const Graph& graph, const Rect& frame);

// One tick of an axis, as placed by the tick loops.
struct AxisTick {
    int32_t position = 0; // along the axis (x for X and U, y for Y and R)
    bool major = false;
    bool labelled = false;
    double value = 0;     // signed value a plain label prints
    bool decade = false;  // labelled as 10 with a raised exponent (scale type 1)
    int32_t exponent = 0; // the decade's exponent
};

// The ticks of one axis, minor ticks first, then major ones. `suppress_zero_label` drops the
// label of the tick at zero of a linear axis (the shared zero label replaces it).
std::vector<AxisTick> axis_ticks(const Graph& graph, int axis, const Rect& frame,
                                 bool suppress_zero_label);

// Power-of-ten exponent n by which plain labels are multiplied (0: none).
int32_t multiplier_exponent(const Axis& axis);

// The text of a plain number label (value and step already multiplied by 10^n).
std::string format_number_label(const Axis& axis, double value, double step);

// Draws the axes of a prepared graph and widens the graph's extent box by every label.
void draw_axes(Surface& surface, Graph& graph, RenderContext& context);

} // namespace plox
