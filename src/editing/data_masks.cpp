// Masks and trimming from a picked rectangle.
#include "editing/data_masks.h"

#include "document/graph_ops.h"
#include "render/mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plox {

std::array<double, 4> corner_values(const Graph& graph, Point p) {
    const auto [x, y] = inverse_map(graph, p, AxisX, AxisY);
    const auto [u, r] = inverse_map(graph, p, AxisU, AxisR);
    return {x, y, u, r};
}

namespace {

// The two ends of one side of a mask in data values; on a type-2 axis the corner values are
// reciprocals, and a side across zero reaches out to the infinite end of its larger value.
std::pair<double, double> mask_side(int32_t scale_type, double a, double b) {
    if (scale_type != scale_type::Inverse) return {a, b};
    if ((a >= 0) == (b >= 0) && a != 0 && b != 0) return {1.0 / a, 1.0 / b};
    const double larger = std::fabs(a) >= std::fabs(b) ? a : b;
    const double sign = larger < 0 ? -1.0 : 1.0;
    const double first = std::fabs(larger) < 1e-100 ? sign * 1e100 : 1.0 / larger;
    return {first, sign * 1e100};
}

} // namespace

std::array<double, 4> mask_area(const Graph& graph, const std::array<double, 4>& c1,
                                const std::array<double, 4>& c2) {
    const auto [x1, x2] = mask_side(graph.axes[AxisX].scale_type, c1[0], c2[0]);
    const auto [y1, y2] = mask_side(graph.axes[AxisY].scale_type, c1[1], c2[1]);
    return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

bool add_mask(Graph& graph, int series_number, const std::array<double, 4>& area) {
    if (graph.mask_count < 0 || graph.mask_count >= MAX_MASKS) return false;
    Mask& m = graph.masks[static_cast<size_t>(graph.mask_count)];
    m.series = series_number;
    m.area = area;
    ++graph.mask_count;
    return true;
}

bool delete_mask(Graph& graph, int index) {
    const int count = std::clamp(graph.mask_count, 0, MAX_MASKS);
    if (index < 0 || index >= count) return false;
    std::move(graph.masks.begin() + index + 1, graph.masks.begin() + count,
              graph.masks.begin() + index);
    graph.masks[static_cast<size_t>(count - 1)] = Mask{};
    graph.mask_count = count - 1;
    return true;
}

std::string mask_list_line(const Mask& m) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%d\t%g\t%g\t%g\t%g", m.series, m.area[0], m.area[1], m.area[2],
                  m.area[3]);
    return buf;
}

Trimming trimming_from_corners(const std::array<double, 4>& c1, const std::array<double, 4>& c2) {
    Trimming t;
    t.first = c1;
    t.second = c2;
    return t;
}

void apply_trimming(Graph& graph, const Trimming& t, bool sort) {
    for (size_t a = 0; a < 4; ++a) {
        if (!t.use[a]) continue;
        double from = t.first[a], to = t.second[a];
        if (sort && from > to) std::swap(from, to);
        graph.axes[a].from = from;
        graph.axes[a].to = to;
    }
    // The ranges are the user's now, not the data's.
    graph.scales_valid = 1;
    reread_range_analyses(graph);
    mark_modified(graph);
}

void TrimmingForm::load(const Trimming& t, bool sort) {
    for (size_t a = 0; a < 4; ++a) {
        use[a] = t.use[a];
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", t.first[a]);
        first[a] = buf;
        std::snprintf(buf, sizeof buf, "%g", t.second[a]);
        second[a] = buf;
    }
    auto_sort = sort;
}

Trimming TrimmingForm::trimming() const {
    Trimming t;
    for (size_t a = 0; a < 4; ++a) {
        t.use[a] = use[a];
        t.first[a] = std::strtod(first[a].c_str(), nullptr);
        t.second[a] = std::strtod(second[a].c_str(), nullptr);
    }
    return t;
}

std::vector<int> copy_linked_axes(GraphSet& set, int source) {
    std::vector<int> changed;
    const int count = static_cast<int>(set.graphs.size());
    if (source < 0 || source >= count || count < 2) return changed;
    const Graph& from = *set.graphs[static_cast<size_t>(source)];
    for (int g = 0; g < count; ++g) {
        if (g == source) continue;
        Graph& to = *set.graphs[static_cast<size_t>(g)];
        bool any = false;
        for (size_t a = 0; a < 4; ++a) {
            if (!set.axis_link[a]) continue;
            const Axis& s = from.axes[a];
            Axis& d = to.axes[a];
            d.from = s.from;
            d.to = s.to;
            d.increment = s.increment;
            d.division = s.division;
            d.auto_step = s.auto_step;
            d.scale_type = s.scale_type;
            any = true;
        }
        if (!any) continue;
        to.scales_valid = 1;
        reread_range_analyses(to);
        mark_modified(to);
        changed.push_back(g);
    }
    return changed;
}

} // namespace plox
