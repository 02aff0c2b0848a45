// The primitives the whole renderer shares: patterned lines (our own dash patterns, drawn as
// solid strokes on every surface), the marker shapes of the plot types, the marker brush rule
// and the legend sample.
#pragma once

#include "render/surface.h"

#include <array>
#include <utility>

namespace plox {

class ExternalMarkers;

namespace line_type {
inline constexpr int32_t None = 0;
inline constexpr int32_t Solid = 1;
inline constexpr int32_t Dash = 2;
inline constexpr int32_t Dot = 3;
inline constexpr int32_t DashDot = 4;
inline constexpr int32_t DashDotDot = 5;
inline constexpr int32_t Area = 6; // series lines only: filled down to the zero line
} // namespace line_type

inline constexpr int32_t FIRST_EXTERNAL_PLOT_TYPE = 38;

// Dashes of one period, [start, end) along the line, from the pen width and pitch (both
// already in logical units).
struct DashPattern {
    int32_t line_type = line_type::Solid;
    int32_t period = 1;
    int count = 0;
    std::array<std::pair<int32_t, int32_t>, 3> dashes{};
};

DashPattern make_dash_pattern(int32_t line_type, int32_t pen_width, int32_t pitch);

// Draws one segment continuing `pattern` at `phase` with the selected pen; returns the phase
// for the next segment. Solid patterns draw a plain line and return 0.
int32_t draw_patterned_segment(const DashPattern& pattern, Surface& surface, int32_t x1, int32_t y1,
                               int32_t x2, int32_t y2, int32_t phase);

// One straight line with a fresh pattern; line type 0 draws nothing.
void draw_patterned_line(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         int32_t pen_width, int32_t pitch, int32_t line_type);

// The brush of a marker: DotStyle and Hatch with the fill colour, or the marker colour for the
// filled plot types; a hatch on a plot type that is not filled becomes solid.
Brush marker_brush(int32_t plot_type, int32_t dot_style, Color fill_color, int32_t hatch,
                   Color marker_color);

// Draws the marker of `plot_type` at (x, y) with half size s, with the `pen` and `brush` the
// caller has selected (a surface cannot report them: half fills of 19-23 switch to a solid
// brush of `fill_color` and select `brush` again, and the extension's shapes need both).
// Bars (13, 26), rectangles (27) and diagonals (28) drawn here, as in a legend, use the marker
// box; steps (33, 34) and 29-32 draw nothing. Plot types >= 38 go to `external` (nothing
// without it).
void draw_marker(Surface& surface, int32_t plot_type, int32_t x, int32_t y, int32_t s,
                 Color fill_color, const Pen& pen, const Brush& brush,
                 ExternalMarkers* external = nullptr);

struct LegendSample {
    int32_t plot_type = 0;
    int32_t half_size = 0;
    Color marker_color = 0;
    int32_t brush_style = brush_style::Solid; // DotStyle
    int32_t hatch = hatch_style::DiagCross;
    int32_t pen_width = 0;
    int32_t line_type = line_type::None;
    int32_t half_length = 0;
    int32_t pitch = 0;
    Color line_color = 0;
    Color fill_color = 0xFFFFFF;
};

// A short line through (x, y) and the marker on it; nothing at all for line type 0 and
// plot type 0.
void draw_legend_sample(Surface& surface, int32_t x, int32_t y, const LegendSample& sample,
                        ExternalMarkers* external = nullptr);

} // namespace plox
