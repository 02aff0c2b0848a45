// Dragging what the mouse grabbed: the outline that follows the mouse, the status text, and
// applying the offset with snapping when the button is released.
#pragma once

#include "document/model.h"
#include "editing/selection.h"

#include <array>
#include <string>

namespace plox::editing {

// Bounds of every coordinate the mouse moves.
inline constexpr int32_t PAGE_MIN = -32000, PAGE_MAX = 32000;

// The nearest multiple of `snap`, halves away from zero; snap 1 or less rounds to units.
int64_t snap_value(double value, int32_t snap);

// The outline of a grabbed item on the page (x1, y1, x2, y2) and, per coordinate, the moving
// flags (moving::Follows, moving::Shown).
struct Outline {
    std::array<int32_t, 4> c{0, 0, 0, 0};
    std::array<int, 4> flags{0, 0, 0, 0};
    bool second_corner = false; // the status text shows x2, y2 too
};
Outline grab_outline(const Graph& g, const Selection& s);

// The outline moved by a page offset, each following coordinate kept within -32000..32000.
Outline moved_outline(const Outline& o, int32_t dx, int32_t dy);

// The status text while dragging: "label (x1, y1)" and "-( x2, y2)" with "%5.2f" millimetres as
// they would be applied, or the names of coordinates that are not shown.
std::string drag_status(const Graph& g, const Selection& s, int32_t dx, int32_t dy, int32_t snap);

// Applies a drag of the current graph's item by the page offset (dx, dy). Answers false when
// nothing changed (an offset below the snap distance, a frame that stays the same). Group
// selections move every selected object of every graph.
bool apply_drag(GraphSet& set, const Selection& s, int32_t dx, int32_t dy, int32_t snap);

// Sets the frame to the rectangle of two corners (in any order) as drawn, a zero width or
// height becoming 10 mm; false when the frame stays as it was.
bool set_frame_corners(Graph& g, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

} // namespace plox::editing
