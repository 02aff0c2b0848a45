// Hit testing on the page: which item of a graph lies under a page position, with the 3 mm
// tolerance, objects tried from the highest slot down, then the frame's corners and edges.
#pragma once

#include "document/model.h"
#include "editing/selection.h"

namespace plox::editing {

inline constexpr int32_t HIT_TOLERANCE = 300;

// Page position of a stored (frame-relative, unscaled) point.
int32_t page_x(const Graph& g, double stored);
int32_t page_y(const Graph& g, double stored);

// The frame as drawn: left, top, right and bottom page positions.
Rect32 frame_rect(const Graph& g);

// The item under page position (x, y); objects need their extents from a drawing.
Hit hit_test(const Graph& g, int32_t x, int32_t y);

// The item hit in the current graph or, where several graphs are shown and the current graph
// has nothing there (0 or 1), in the first other graph that has something. Answers the graph
// index (the current one when no other is better).
struct GraphHit {
    int graph = -1;
    Hit hit;
};
GraphHit hit_test_set(const GraphSet& set, bool all_shown, int32_t x, int32_t y);

// Corners of an arrow, rectangle or picture on the page: start, end and the third handle.
struct Handles {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
Handles object_handles(const Graph& g, const GraphObject& o);

} // namespace plox::editing
