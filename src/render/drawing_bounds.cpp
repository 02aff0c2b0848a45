// Bounding a graph's stored numbers for one drawing, and putting them back.
#include "render/drawing_bounds.h"

#include <algorithm>

namespace plox {

DrawingBounds::DrawingBounds(Graph& g) {
    position(g.frame_left);
    position(g.frame_top);
    length(g.frame_width);
    length(g.frame_height);
    clamp(g.Magnification, 0, MAGNIFICATION_LIMIT);
    bound(g.frame_line);
    bound(g.symbol_font);
    for (Axis& a : g.axes)
        bound(a);
    for (int i = 0; i < std::clamp(g.series_count, 0, MAX_SERIES); ++i)
        bound(g.series[static_cast<size_t>(i)]);
    for (GraphObject& o : g.objects)
        if (o.used) bound(o);
}

DrawingBounds::~DrawingBounds() {
    // A field the drawing wrote itself (a picture's natural size) keeps what it wrote.
    for (const Saved& s : saved_)
        if (*s.field == s.bounded) *s.field = s.stored;
}

void DrawingBounds::clamp(int32_t& value, int32_t low, int32_t high) {
    const int32_t bounded = std::clamp(value, low, high);
    if (bounded == value) return;
    saved_.push_back({&value, value, bounded});
    value = bounded;
}

void DrawingBounds::bound(LineAttr& line) {
    length(line.width);
    length(line.pitch);
}

void DrawingBounds::bound(LogFont& font) {
    length(font.height);
    length(font.width);
}

void DrawingBounds::bound(Axis& a) {
    position(a.label_shift_right);
    position(a.label_shift_down);
    length(a.major_length);
    length(a.minor_length);
    bound(a.major_line);
    bound(a.minor_line);
    bound(a.label_font);
}

void DrawingBounds::bound(Series& s) {
    bound(s.line);
    bound(s.curve_line);
    length(s.PlotSize);
}

void DrawingBounds::bound(GraphObject& o) {
    position(o.x);
    position(o.y);
    length(o.Length);
    length(o.Pitch);
    length(o.LineWidth);
    length(o.Size1);
    length(o.Size2);
    bound(o.Font1);
    bound(o.Font2);
    bound(o.Font3);
    for (int32_t& v : o.picture_box)
        position(v);
    for (Point32& p : o.points) {
        position(p.x);
        position(p.y);
    }
}

} // namespace plox
