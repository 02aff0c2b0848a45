// From data values to integer drawing positions and back: the frame rectangle, the five scale
// types, forward and inverse mapping, and the automatic range of a graph's axes.
#pragma once

#include "render/render_context.h"
#include "render/surface.h"

#include <utility>

namespace plox {

namespace scale_type {
inline constexpr int32_t Linear = 0;
inline constexpr int32_t Log = 1;       // labels as powers of ten
inline constexpr int32_t Inverse = 2;   // limits stored as reciprocals
inline constexpr int32_t LogNormal = 3; // log mapping, plain labels
inline constexpr int32_t Inverse2 = 4;  // reciprocal mapping, plain labels
} // namespace scale_type

inline bool is_log_scale(int32_t type) {
    return type == scale_type::Log || type == scale_type::LogNormal;
}
inline bool is_reciprocal_scale(int32_t type) {
    return type == scale_type::Inverse || type == scale_type::Inverse2;
}
inline bool is_horizontal_axis(int axis) {
    return axis == AxisX || axis == AxisU;
}

// Windows MulDiv: a × b / c rounded half away from zero; -1 when c is 0 or the result overflows.
int32_t mul_div(int32_t a, int32_t b, int32_t c);

// Stored length × Magnification / 100, truncating.
inline int32_t scaled(int32_t stored, int32_t magnification) {
    return static_cast<int32_t>(static_cast<int64_t>(stored) * magnification / 100);
}

// Drawn font height (negative, logical units) of a stored height in -1/100 pt.
int32_t scaled_font_height(int32_t stored_height, int32_t magnification);

// A double position truncated toward zero, held inside ±1e9 so that wild values cannot
// overflow the integer coordinates.
int32_t to_position(double value);

// Frame rectangle of the graph in logical units: frame left/top as stored, sizes magnified.
Rect frame_rect(const Graph& graph);

// t(v) of a scale type; ERROR_VALUE for missing values and values the transform cannot take.
double transform_value(int32_t scale_type, double value);
// The transformed limit of an axis (min or max as stored).
double transform_limit(int32_t scale_type, double limit);

// Scale and offset of one axis over a frame: position = trunc(s × t(v) + o).
struct AxisMapping {
    int32_t scale_type = 0;
    bool horizontal = true;
    double lo = 0, hi = 1;    // transformed limits, min then max
    double low = 0, high = 1; // the same ordered
    double s = 1, o = 0;

    // Position of an already transformed value.
    int32_t position(double transformed) const { return to_position(s * transformed + o); }
    // Position of a data value; nullopt-like: returns false when the value is undefined.
    bool map(double value, int32_t& position) const;
    bool inside(double transformed) const { return transformed >= low && transformed <= high; }
    // Undoes the mapping of a device position (no truncation), then the value transform.
    double inverse(double position) const;
};

AxisMapping axis_mapping(const Graph& graph, int axis, const Rect& frame);
AxisMapping axis_mapping(const Graph& graph, int axis);

// Base line of the area fill of a series drawn against `horizontal` and `vertical` axes.
struct ZeroLines {
    int32_t x = 0; // horizontal base (a vertical line)
    int32_t y = 0; // vertical base (a horizontal line)
};
ZeroLines zero_lines(const Graph& graph, const AxisMapping& horizontal, const AxisMapping& vertical,
                     const Rect& frame);

// Data values under a device point for a horizontal and a vertical axis.
std::pair<double, double> inverse_map(const Graph& graph, Point point, int horizontal_axis,
                                      int vertical_axis);

// Position of a value on an axis measured from the frame's top-left corner in unscaled
// frame units, clamped to the frame.
double frame_relative(const Graph& graph, int axis, double value);

// Rounds a data extent outward at its second significant digit by the rules of a scale type.
void round_outward(double& min, double& max, int32_t scale_type);

// Sets the requested axes' limits from the data (all four when the scales-valid flag is
// clear). Series extents come from context.series_range.
void auto_range(Graph& graph, const RenderContext& context, bool x, bool y, bool u, bool r);

} // namespace plox
