// Data masks and trimming made from a rectangle picked on the page: corner values in the axes'
// data values, the stored mask area, the mask list, and the axis ranges of a trimming.
#pragma once

#include "document/model.h"
#include "render/surface.h"

#include <array>
#include <optional>
#include <string>

namespace plox {

// The values of all four axes (X, Y, U, R) under a page point (logical units). A reciprocal
// axis of type 2 gives its reciprocal units, as its stored limits do.
std::array<double, 4> corner_values(const Graph& graph, Point page_point);

// The mask area (X low, X high, Y low, Y high) of a rectangle whose corners have the X and Y
// axis values `c1` and `c2`. On an axis of scale type 2 the values are taken back from
// reciprocal units (a rectangle across zero reaches out to ±1e100).
std::array<double, 4> mask_area(const Graph& graph, const std::array<double, 4>& c1,
                                const std::array<double, 4>& c2);

// Adds a mask for series `series_number` (0: every series); false when the graph already
// holds the 40 masks it can keep.
bool add_mask(Graph& graph, int series_number, const std::array<double, 4>& area);
// Removes mask `index`; later masks move up one place.
bool delete_mask(Graph& graph, int index);
// A line of the mask list: series, then Xmin, Xmax, Ymin, Ymax.
std::string mask_list_line(const Mask& mask);

// Trimming: for each axis the two corner values; `use` says which axes change.
struct Trimming {
    std::array<bool, 4> use{true, true, true, true};
    std::array<double, 4> first{}, second{};
};
Trimming trimming_from_corners(const std::array<double, 4>& c1, const std::array<double, 4>& c2);
// Sets from and to of every used axis: from the first value, to the second, exchanged when
// `sort` is on and the first is the greater. The graph's automatic scaling stops for them, and
// analyses that leave out points outside the graph are marked to be computed again.
void apply_trimming(Graph& graph, const Trimming& trimming, bool sort);

// The dialog SET_TRIMING "スケールの設定": the four axes' check boxes and values as text.
struct TrimmingForm {
    std::array<bool, 4> use{true, true, true, true};
    std::array<std::string, 4> first, second;
    bool auto_sort = false;
    void load(const Trimming& trimming, bool sort);
    Trimming trimming() const;
};

// After a trimming or a scale dialog: copies from, to, increment, division, auto step and scale
// type of every linked axis of graph `source` into the same axis of every other graph, and
// returns the graphs changed that way.
std::vector<int> copy_linked_axes(GraphSet& set, int source);

} // namespace plox
