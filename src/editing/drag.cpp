// Drags: which coordinates of a grabbed item follow the mouse, the feedback text, and the
// snapped result written back into the graph.
#include "editing/drag.h"

#include "document/graph_ops.h"
#include "editing/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace plox::editing {

namespace {

constexpr int F = moving::Follows | moving::Shown;

std::array<int, 4> kind_flags(int k) {
    switch (k) {
    case kind::WholeFrame:
    case kind::EdgeTop:
    case kind::Text:
    case kind::ArrowWhole:
    case kind::Box:
    case kind::Group:
        return {F, F, F, F};
    case kind::CornerTopLeft:
    case kind::BoxTopLeft:
    case kind::ArrowStart:
    case kind::Point:
        return {F, F, 0, 0};
    case kind::CornerBottomLeft:
    case kind::BoxBottomLeft:
        return {F, 0, 0, F};
    case kind::CornerTopRight:
    case kind::BoxTopRight:
        return {0, F, F, 0};
    case kind::CornerBottomRight:
    case kind::BoxBottomRight:
    case kind::ArrowEnd:
        return {0, 0, F, F};
    case kind::EdgeBottom:
        return {0, 0, 0, F};
    case kind::EdgeLeft:
        return {F, 0, 0, 0};
    case kind::EdgeRight:
        return {0, 0, F, 0};
    default:
        return {0, 0, 0, 0};
    }
}

bool refers_to_axes(const GraphObject& o) {
    return o.Type <= object_type::Rectangle || o.Type == object_type::Picture;
}

const GraphObject* grabbed(const Graph& g, const Selection& s) {
    if (!is_object_kind(s.hit.kind) || s.hit.slot < 0 || s.hit.slot >= MAX_OBJECTS) return nullptr;
    const GraphObject& o = g.objects[static_cast<size_t>(s.hit.slot)];
    return o.used ? &o : nullptr;
}

int32_t clamp_page(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, PAGE_MIN, PAGE_MAX));
}

// Page offset in the stored units of a graph (divided by Magnification / 100).
double stored_offset(const Graph& g, int32_t d) {
    return g.Magnification > 0 ? d * 100.0 / g.Magnification : d;
}

bool below_snap(double dx, double dy, int32_t snap) {
    const double s = std::max(snap, 1);
    return std::fabs(dx) < s && std::fabs(dy) < s;
}

// Stored values of the four coordinates of an object (0.01 mm from the frame corner).
std::array<double, 4> stored_coordinates(const GraphObject& o, int point) {
    switch (o.Type) {
    case object_type::PointObject: {
        const Point32 p =
            o.points[static_cast<size_t>(std::clamp(point, 0, MAX_OBJECT_POINTS - 1))];
        return {double(p.x), double(p.y), double(p.x), double(p.y)};
    }
    case object_type::Picture:
        return {o.position[0] * 100, o.position[1] * 100, o.position[0] * 100 + o.picture_box[2],
                o.position[1] * 100 + o.picture_box[3]};
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
    case object_type::Rectangle:
        return {o.position[0] * 100, o.position[1] * 100, o.position[2] * 100, o.position[3] * 100};
    default:
        return {double(o.x), double(o.y), double(o.x), double(o.y)};
    }
}

int32_t to_int32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void store_coordinates(GraphObject& o, int point, const std::array<int64_t, 4>& c,
                       const std::array<int, 4>& flags) {
    auto follows = [&](int i) { return (flags[static_cast<size_t>(i)] & moving::Follows) != 0; };
    switch (o.Type) {
    case object_type::PointObject: {
        Point32& p = o.points[static_cast<size_t>(std::clamp(point, 0, MAX_OBJECT_POINTS - 1))];
        if (follows(0)) p.x = to_int32(c[0]);
        if (follows(1)) p.y = to_int32(c[1]);
        break;
    }
    case object_type::Picture: {
        const int64_t left = std::min(c[0], c[2]), top = std::min(c[1], c[3]);
        o.position[0] = static_cast<double>(left) * 0.01;
        o.position[1] = static_cast<double>(top) * 0.01;
        o.picture_box[2] = to_int32(std::max<int64_t>(std::llabs(c[2] - c[0]), 100));
        break;
    }
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
    case object_type::Rectangle:
        for (int i = 0; i < 4; ++i)
            if (follows(i)) o.position[static_cast<size_t>(i)] = static_cast<double>(c[i]) * 0.01;
        break;
    default:
        if (follows(0)) o.x = to_int32(c[0]);
        if (follows(1)) o.y = to_int32(c[1]);
        break;
    }
}

std::array<int, 4> object_flags(const GraphObject& o, int k) {
    std::array<int, 4> f = kind_flags(k);
    if (refers_to_axes(o)) {
        if (o.RefX != 0) f[0] = f[2] = 0;
        if (o.RefY != 0) f[1] = f[3] = 0;
    }
    return f;
}

// Moves one object by a stored offset; true when a coordinate changed.
bool move_object(GraphObject& o, int k, int point, double dx, double dy, int32_t snap) {
    const std::array<int, 4> flags = object_flags(o, k);
    const std::array<double, 4> old = stored_coordinates(o, point);
    std::array<int64_t, 4> c{};
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        const double d = i % 2 == 0 ? dx : dy;
        c[static_cast<size_t>(i)] =
            (flags[static_cast<size_t>(i)] & moving::Follows)
                ? snap_value(old[static_cast<size_t>(i)] + d, snap)
                : static_cast<int64_t>(std::llround(old[static_cast<size_t>(i)]));
        if (std::fabs(static_cast<double>(c[static_cast<size_t>(i)]) -
                      old[static_cast<size_t>(i)]) > 1e-9 &&
            (flags[static_cast<size_t>(i)] & moving::Follows))
            changed = true;
    }
    if (changed) store_coordinates(o, point, c, flags);
    return changed;
}

bool apply_group(GraphSet& set, const Selection& s, int32_t dx, int32_t dy, int32_t snap) {
    bool any = false;
    for (const ObjectRef& r : s.group) {
        if (r.graph < 0 || r.graph >= static_cast<int>(set.graphs.size())) continue;
        if (r.slot < 0 || r.slot >= MAX_OBJECTS) continue;
        Graph& g = *set.graphs[static_cast<size_t>(r.graph)];
        GraphObject& o = g.objects[static_cast<size_t>(r.slot)];
        if (!o.used) continue;
        const double sx = stored_offset(g, dx), sy = stored_offset(g, dy);
        bool moved = false;
        if (o.Type == object_type::PointObject) {
            const int count = std::clamp(o.alignment, 1, MAX_OBJECT_POINTS);
            for (int i = 0; i < count; ++i)
                moved |= move_object(o, kind::Point, i, sx, sy, snap);
        } else {
            moved = move_object(o, kind::Group, 0, sx, sy, snap);
        }
        if (moved) {
            mark_modified(g);
            any = true;
        }
    }
    return any;
}

std::string coordinate_text(double stored_units, int flags, const char* name) {
    if (!(flags & moving::Shown)) return name;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%5.2f", stored_units * 0.01);
    return buf;
}

} // namespace

int64_t snap_value(double value, int32_t snap) {
    if (!std::isfinite(value)) return 0;
    value = std::clamp(value, -4e18, 4e18);
    if (snap <= 1) return std::llround(value);
    const double q = value / snap;
    return static_cast<int64_t>(std::round(q)) * snap; // std::round: halves away from zero
}

Outline grab_outline(const Graph& g, const Selection& s) {
    Outline out;
    const int k = s.hit.kind;
    if (is_frame_kind(k)) {
        const Rect32 f = frame_rect(g);
        out.c = {f.left, f.top, f.right, f.bottom};
        out.flags = kind_flags(k);
        out.second_corner = true;
    } else if (k == kind::Group || k == kind::Region) {
        out.c = {s.region.left, s.region.top, s.region.right, s.region.bottom};
        out.flags = kind_flags(kind::Group);
        out.second_corner = true;
    } else if (const GraphObject* o = grabbed(g, s)) {
        out.flags = object_flags(*o, k);
        if (o->Type <= object_type::Rectangle || o->Type == object_type::Picture) {
            const Handles h = object_handles(g, *o);
            out.c = {h.x1, h.y1, h.x2, h.y2};
            out.second_corner = true;
        } else if (o->Type == object_type::PointObject && o->alignment > 1) {
            const Point32 p = o->points[static_cast<size_t>(std::clamp(s.hit.point, 0, 9))];
            out.c = {page_x(g, p.x), page_y(g, p.y), page_x(g, p.x), page_y(g, p.y)};
        } else {
            out.c = {o->extent_left, o->extent_top, o->extent_right, o->extent_bottom};
            out.flags = {F, F, F, F};
            if (o->Type != object_type::PointObject && o->Type != object_type::Text &&
                (o->Type < object_type::TitleX || o->Type > object_type::Text))
                out.second_corner = true;
        }
    }
    return out;
}

Outline moved_outline(const Outline& o, int32_t dx, int32_t dy) {
    Outline m = o;
    for (int i = 0; i < 4; ++i)
        if (o.flags[static_cast<size_t>(i)] & moving::Follows)
            m.c[static_cast<size_t>(i)] =
                clamp_page(int64_t(o.c[static_cast<size_t>(i)]) + (i % 2 == 0 ? dx : dy));
    return m;
}

std::string drag_status(const Graph& g, const Selection& s, int32_t dx, int32_t dy, int32_t snap) {
    const int k = s.hit.kind;
    std::array<double, 4> value{};
    std::array<int, 4> flags{};
    bool second = true;
    bool picture = false;
    if (is_frame_kind(k) || k == kind::Group || k == kind::Region) {
        const Outline o = grab_outline(g, s);
        flags = o.flags;
        for (int i = 0; i < 4; ++i) {
            const double d = i % 2 == 0 ? dx : dy;
            value[static_cast<size_t>(i)] =
                (flags[static_cast<size_t>(i)] & moving::Follows)
                    ? static_cast<double>(snap_value(o.c[static_cast<size_t>(i)] + d, snap))
                    : o.c[static_cast<size_t>(i)];
        }
        if (k == kind::Region) flags = {F, F, F, F};
    } else if (const GraphObject* o = grabbed(g, s)) {
        flags = object_flags(*o, k);
        picture = o->Type == object_type::Picture;
        second = o->Type <= object_type::Rectangle || picture;
        const std::array<double, 4> old = stored_coordinates(*o, s.hit.point);
        for (int i = 0; i < 4; ++i) {
            const double d = stored_offset(g, i % 2 == 0 ? dx : dy);
            value[static_cast<size_t>(i)] =
                (flags[static_cast<size_t>(i)] & moving::Follows)
                    ? static_cast<double>(snap_value(old[static_cast<size_t>(i)] + d, snap))
                    : old[static_cast<size_t>(i)];
        }
    } else {
        return {};
    }
    std::string text = status_label(k, picture) + " (" + coordinate_text(value[0], flags[0], "x1") +
                       ", " + coordinate_text(value[1], flags[1], "y1") + ")";
    if (second)
        text += "-( " + coordinate_text(value[2], flags[2], "x2") + ", " +
                coordinate_text(value[3], flags[3], "y2") + ")";
    return text;
}

bool set_frame_corners(Graph& g, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int32_t mag = g.Magnification > 0 ? g.Magnification : 100;
    int32_t left = std::min(x1, x2), top = std::min(y1, y2);
    int32_t width = static_cast<int32_t>(int64_t(std::abs(x2 - x1)) * 100 / mag);
    int32_t height = static_cast<int32_t>(int64_t(std::abs(y2 - y1)) * 100 / mag);
    if (width == 0) width = 1000;
    if (height == 0) height = 1000;
    clamp_frame(left, top, width, height);
    if (left == g.frame_left && top == g.frame_top && width == g.frame_width &&
        height == g.frame_height)
        return false;
    set_frame(g, left, top, width, height);
    return true;
}

bool apply_drag(GraphSet& set, const Selection& s, int32_t dx, int32_t dy, int32_t snap) {
    Graph* g = set.current_graph();
    if (!g) return false;
    const int k = s.hit.kind;
    if (k == kind::Group) {
        if (below_snap(stored_offset(*g, dx), stored_offset(*g, dy), snap)) return false;
        return apply_group(set, s, dx, dy, snap);
    }
    if (is_frame_kind(k)) {
        if (below_snap(dx, dy, snap)) return false;
        const Outline o = grab_outline(*g, s);
        std::array<int32_t, 4> c = o.c;
        for (int i = 0; i < 4; ++i)
            if (o.flags[static_cast<size_t>(i)] & moving::Follows)
                c[static_cast<size_t>(i)] = clamp_page(
                    snap_value(int64_t(c[static_cast<size_t>(i)]) + (i % 2 == 0 ? dx : dy), snap));
        if (!set_frame_corners(*g, c[0], c[1], c[2], c[3])) return false;
        mark_modified(*g);
        return true;
    }
    if (!is_object_kind(k) || !grabbed(*g, s)) return false;
    const double sx = stored_offset(*g, dx), sy = stored_offset(*g, dy);
    if (below_snap(sx, sy, snap)) return false;
    GraphObject& o = g->objects[static_cast<size_t>(s.hit.slot)];
    if (!move_object(o, k, s.hit.point, sx, sy, snap)) return false;
    mark_modified(*g);
    return true;
}

} // namespace plox::editing
