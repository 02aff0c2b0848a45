// Hit testing in the order the page window tries things: objects from the top slot down, then
// the frame's corner zones, edges and inside.
#include "editing/hit_test.h"

#include "render/objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plox::editing {

namespace {

bool near(int64_t a, int64_t b) {
    return std::llabs(a - b) <= HIT_TOLERANCE;
}
bool near(int32_t x, int32_t y, int32_t px, int32_t py) {
    return near(x, px) && near(y, py);
}
bool strictly_inside(int32_t x, int32_t y, int32_t l, int32_t t, int32_t r, int32_t b) {
    return x > std::min(l, r) && x < std::max(l, r) && y > std::min(t, b) && y < std::max(t, b);
}
bool inside_extent(const GraphObject& o, int32_t x, int32_t y) {
    return strictly_inside(x, y, o.extent_left, o.extent_top, o.extent_right, o.extent_bottom);
}

int32_t clamp32(double v) {
    return static_cast<int32_t>(std::clamp(v, -2e9, 2e9));
}

Hit hit_object(const Graph& g, const GraphObject& o, int slot, int32_t x, int32_t y) {
    switch (o.Type) {
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line: {
        const Handles h = object_handles(g, o);
        if (near(x, y, h.x1, h.y1)) return {kind::ArrowStart, slot};
        if (near(x, y, h.x2, h.y2)) return {kind::ArrowEnd, slot};
        if (near(x, y, (h.x1 + h.x2) / 2, (h.y1 + h.y2) / 2)) return {kind::ArrowWhole, slot};
        return {};
    }
    case object_type::Rectangle:
    case object_type::Picture: {
        const Handles h = object_handles(g, o);
        if (near(x, y, h.x1, h.y1)) return {kind::BoxTopLeft, slot};
        if (near(x, y, h.x2, h.y2)) return {kind::BoxBottomRight, slot};
        if (near(x, y, h.x1, h.y2)) return {kind::BoxBottomLeft, slot};
        if (near(x, y, h.x2, h.y1)) return {kind::BoxTopRight, slot};
        if (strictly_inside(x, y, h.x1, h.y1, h.x2, h.y2)) return {kind::Box, slot};
        return {};
    }
    case object_type::PointObject: {
        const int count = std::clamp(o.alignment, 1, MAX_OBJECT_POINTS);
        if (count > 1) {
            for (int i = 0; i < count; ++i) {
                const Point32 p = o.points[static_cast<size_t>(i)];
                if (near(x, y, page_x(g, p.x), page_y(g, p.y))) return {kind::Point, slot, i};
            }
            return {};
        }
        return inside_extent(o, x, y) ? Hit{kind::Point, slot, 0} : Hit{};
    }
    default:
        return o.Type >= object_type::TitleX && o.Type <= object_type::Text &&
                       inside_extent(o, x, y)
                   ? Hit{kind::Text, slot}
                   : Hit{};
    }
}

Hit hit_frame(const Graph& g, int32_t x, int32_t y) {
    const Rect32 f = frame_rect(g);
    const int64_t L = f.left, U = f.top, R = f.right, B = f.bottom;
    const int64_t W = R - L, H = B - U;
    const int64_t T = HIT_TOLERANCE;
    // A corner zone: within T of either edge at the corner, reaching a fifth along it.
    auto corner = [&](int64_t cx, int64_t cy, int sx, int sy) {
        const int64_t dx = (x - cx) * sx, dy = (y - cy) * sy; // positive: towards the inside
        const bool along_x = dx >= -T && dx <= W / 5 && std::llabs(y - cy) <= T;
        const bool along_y = dy >= -T && dy <= H / 5 && std::llabs(x - cx) <= T;
        return along_x || along_y;
    };
    if (corner(L, U, 1, 1)) return {kind::CornerTopLeft};
    if (corner(R, B, -1, -1)) return {kind::CornerBottomRight};
    if (corner(R, U, -1, 1)) return {kind::CornerTopRight};
    if (corner(L, B, 1, -1)) return {kind::CornerBottomLeft};
    if (x >= L && x <= R) {
        if (std::llabs(y - U) <= T) return {kind::EdgeTop};
        if (std::llabs(y - B) <= T) return {kind::EdgeBottom};
    }
    if (y >= U && y <= B) {
        if (std::llabs(x - L) <= T) return {kind::EdgeLeft};
        if (std::llabs(x - R) <= T) return {kind::EdgeRight};
    }
    if (x > L && x < R && y > U && y < B) return {kind::InsideFrame};
    return {};
}

} // namespace

std::string status_label(int k, bool picture) {
    if (is_frame_kind(k)) return "Graph:";
    if (k == kind::Text) return "title:";
    if (k >= kind::ArrowStart && k <= kind::ArrowWhole) return "arrow:";
    if (k == kind::Point) return "point:";
    if (k >= kind::Box && k <= kind::BoxBottomRight) return picture ? "図:" : "枠:";
    if (k == kind::Group || k == kind::Region) return "選択:";
    return {};
}

int32_t page_x(const Graph& g, double stored) {
    return clamp32(g.frame_left + stored * g.Magnification / 100.0);
}
int32_t page_y(const Graph& g, double stored) {
    return clamp32(g.frame_top + stored * g.Magnification / 100.0);
}

Rect32 frame_rect(const Graph& g) {
    const int32_t w = static_cast<int32_t>(int64_t(g.frame_width) * g.Magnification / 100);
    const int32_t h = static_cast<int32_t>(int64_t(g.frame_height) * g.Magnification / 100);
    return {g.frame_left, g.frame_top, g.frame_left + w, g.frame_top + h};
}

Handles object_handles(const Graph& g, const GraphObject& o) {
    if (o.Type == object_type::Picture) {
        const int32_t left = page_x(g, o.position[0] * 100), top = page_y(g, o.position[1] * 100);
        if (o.extent_right > o.extent_left && o.extent_bottom > o.extent_top)
            return {o.extent_left, o.extent_top, o.extent_right, o.extent_bottom};
        return {left, top, page_x(g, o.position[0] * 100 + o.picture_box[2]),
                page_y(g, o.position[1] * 100 + o.picture_box[3])};
    }
    const Point a = object_point(g, o, 0), b = object_point(g, o, 1);
    if (o.Type == object_type::Rectangle)
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return {a.x, a.y, b.x, b.y};
}

Hit hit_test(const Graph& g, int32_t x, int32_t y) {
    for (int slot = MAX_OBJECTS - 1; slot >= 0; --slot) {
        const GraphObject& o = g.objects[static_cast<size_t>(slot)];
        if (!o.used) continue;
        if (Hit h = hit_object(g, o, slot, x, y); h.kind != kind::Nothing) return h;
    }
    return hit_frame(g, x, y);
}

GraphHit hit_test_set(const GraphSet& set, bool all_shown, int32_t x, int32_t y) {
    const int count = static_cast<int>(set.graphs.size());
    if (set.current < 0 || set.current >= count) return {};
    GraphHit best{set.current, hit_test(*set.graphs[static_cast<size_t>(set.current)], x, y)};
    if (!all_shown || best.hit.kind > kind::InsideFrame) return best;
    for (int i = 0; i < count; ++i) {
        if (i == set.current) continue;
        const Hit h = hit_test(*set.graphs[static_cast<size_t>(i)], x, y);
        if (h.kind > kind::InsideFrame ||
            (h.kind != kind::Nothing && best.hit.kind == kind::Nothing))
            return {i, h};
    }
    return best;
}

} // namespace plox::editing
