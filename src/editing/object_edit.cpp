// Region selection, deletion, drawing order, alignment, Tab order and object insertion.
#include "editing/object_edit.h"

#include "document/graph_ops.h"
#include "editing/hit_test.h"
#include "render/objects.h"
#include "render/rich_text.h"
#include "settings/store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace plox::editing {

namespace {

bool valid_slot(int slot) {
    return slot >= 0 && slot < MAX_OBJECTS;
}

bool is_text_type(int32_t t) {
    return t >= object_type::TitleX && t <= object_type::Text;
}

// Moves the object in `slot` to position `to` among the used objects (0 first), keeping the
// others' order; answers its new slot.
int reorder(Graph& g, int slot, bool to_end) {
    if (!valid_slot(slot) || !g.objects[static_cast<size_t>(slot)].used) return -1;
    std::vector<GraphObject> used;
    GraphObject moved = g.objects[static_cast<size_t>(slot)];
    for (int i = 0; i < MAX_OBJECTS; ++i)
        if (i != slot && g.objects[static_cast<size_t>(i)].used)
            used.push_back(g.objects[static_cast<size_t>(i)]);
    if (to_end)
        used.push_back(moved);
    else
        used.insert(used.begin(), moved);
    for (size_t i = 0; i < g.objects.size(); ++i)
        g.objects[i] = i < used.size() ? used[i] : GraphObject{};
    return to_end ? static_cast<int>(used.size()) - 1 : 0;
}

void read_object_ints(const SettingsStore& s, const char* key, GraphObject& o) {
    s.read(key, "Type", o.Type);
    s.read(key, "Length", o.Length);
    s.read(key, "RefX", o.RefX);
    s.read(key, "RefY", o.RefY);
    s.read(key, "Pitch", o.Pitch);
    s.read(key, "LineWidth", o.LineWidth);
    s.read(key, "Size1", o.Size1);
    s.read(key, "Size2", o.Size2);
    s.read(key, "Open", o.Open);
    s.read(key, "Shut", o.Shut);
    s.read(key, "LineStyle", o.LineStyle);
    s.read(key, "Color", o.Color);
    s.read(key, "Color2", o.Color2);
    for (int i = 0; i < 4; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "Pos%d", i);
        s.read(key, name, o.position[static_cast<size_t>(i)]);
    }
}

} // namespace

Selection select_region(const GraphSet& set, Rect32 r) {
    const Rect32 n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                   std::max(r.top, r.bottom)};
    Selection s;
    for (int gi = 0; gi < static_cast<int>(set.graphs.size()); ++gi) {
        const Graph& g = *set.graphs[static_cast<size_t>(gi)];
        for (int i = 0; i < MAX_OBJECTS; ++i) {
            const GraphObject& o = g.objects[static_cast<size_t>(i)];
            if (!o.used) continue;
            const int32_t l = std::min(o.extent_left, o.extent_right);
            const int32_t rr = std::max(o.extent_left, o.extent_right);
            const int32_t t = std::min(o.extent_top, o.extent_bottom);
            const int32_t b = std::max(o.extent_top, o.extent_bottom);
            if (l >= n.left && rr <= n.right && t >= n.top && b <= n.bottom)
                s.group.push_back({gi, i});
        }
    }
    if (!s.group.empty()) {
        s.hit.kind = kind::Group;
        s.region = n;
    }
    return s;
}

int object_selection_kind(const GraphObject& o) {
    if (!o.used) return kind::Nothing;
    switch (o.Type) {
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
        return kind::ArrowWhole;
    case object_type::Rectangle:
    case object_type::Picture:
        return kind::Box;
    case object_type::PointObject:
        return kind::Point;
    default:
        return is_text_type(o.Type) && !o.Str.empty() ? kind::Text : kind::Nothing;
    }
}

Hit next_in_tab_order(const Graph& g, const Hit& from, bool backwards) {
    auto object_at = [&](int slot) {
        return Hit{object_selection_kind(g.objects[static_cast<size_t>(slot)]), slot};
    };
    const bool on_object = is_object_kind(from.kind) && valid_slot(from.slot);
    if (!backwards) {
        int start = 0;
        if (on_object)
            start = from.slot + 1;
        else if (!is_frame_kind(from.kind))
            return {kind::WholeFrame};
        for (int i = start; i < MAX_OBJECTS; ++i)
            if (Hit h = object_at(i); h.kind != kind::Nothing) return h;
        return {};
    }
    if (is_frame_kind(from.kind)) return {};
    const int start = on_object ? from.slot - 1 : MAX_OBJECTS - 1;
    for (int i = start; i >= 0; --i)
        if (Hit h = object_at(i); h.kind != kind::Nothing) return h;
    return {kind::WholeFrame};
}

bool delete_selection(GraphSet& set, const Selection& s) {
    std::vector<ObjectRef> refs = s.group;
    if (s.hit.kind != kind::Group) {
        refs.clear();
        if (is_object_kind(s.hit.kind) && valid_slot(s.hit.slot))
            refs.push_back({set.current, s.hit.slot});
    }
    std::vector<int> touched;
    for (const ObjectRef& r : refs) {
        if (r.graph < 0 || r.graph >= static_cast<int>(set.graphs.size()) || !valid_slot(r.slot))
            continue;
        GraphObject& o =
            set.graphs[static_cast<size_t>(r.graph)]->objects[static_cast<size_t>(r.slot)];
        if (!o.used) continue;
        o.used = 0;
        touched.push_back(r.graph);
    }
    for (int gi : touched) {
        Graph& g = *set.graphs[static_cast<size_t>(gi)];
        compact_objects(g);
        mark_modified(g);
    }
    return !touched.empty();
}

int bring_to_front(Graph& g, int slot) {
    const int to = reorder(g, slot, true);
    if (to >= 0) mark_modified(g);
    return to;
}

int send_to_back(Graph& g, int slot) {
    const int to = reorder(g, slot, false);
    if (to >= 0) mark_modified(g);
    return to;
}

bool align_group(GraphSet& set, const Selection& s, Align how) {
    if (s.hit.kind != kind::Group) return false;
    bool any = false;
    for (const ObjectRef& r : s.group) {
        if (r.graph < 0 || r.graph >= static_cast<int>(set.graphs.size()) || !valid_slot(r.slot))
            continue;
        Graph& g = *set.graphs[static_cast<size_t>(r.graph)];
        GraphObject& o = g.objects[static_cast<size_t>(r.slot)];
        if (!o.used) continue;
        const bool axis_x =
            (o.Type <= object_type::Rectangle || o.Type == object_type::Picture) && o.RefX != 0;
        if (axis_x) continue;
        const int32_t l = std::min(o.extent_left, o.extent_right);
        const int32_t rr = std::max(o.extent_left, o.extent_right);
        int64_t page_dx = 0;
        switch (how) {
        case Align::Left:
            page_dx = int64_t(s.region.left) - l;
            break;
        case Align::Centre:
            page_dx = (int64_t(s.region.left) + s.region.right) / 2 - (int64_t(l) + rr) / 2;
            break;
        case Align::Right:
            page_dx = int64_t(s.region.right) - rr;
            break;
        }
        if (page_dx == 0) continue;
        const int32_t mag = g.Magnification > 0 ? g.Magnification : 100;
        const int64_t dx = page_dx * 100 / mag;
        switch (o.Type) {
        case object_type::PointObject:
            for (Point32& p : o.points)
                p.x = static_cast<int32_t>(std::clamp<int64_t>(p.x + dx, INT32_MIN, INT32_MAX));
            break;
        case object_type::FilledArrow:
        case object_type::OpenArrow:
        case object_type::Line:
        case object_type::Rectangle:
            o.position[2] += static_cast<double>(dx) * 0.01;
            [[fallthrough]];
        case object_type::Picture:
            o.position[0] += static_cast<double>(dx) * 0.01;
            break;
        default:
            o.x = static_cast<int32_t>(std::clamp<int64_t>(o.x + dx, INT32_MIN, INT32_MAX));
            break;
        }
        // The extent follows so that a second alignment before a redraw is a no-op.
        o.extent_left += static_cast<int32_t>(page_dx);
        o.extent_right += static_cast<int32_t>(page_dx);
        mark_modified(g);
        any = true;
    }
    return any;
}

int insert_object(Graph& g, const GraphObject& object) {
    const int slot = find_free_object_slot(g);
    if (slot < 0) return -1;
    GraphObject& o = g.objects[static_cast<size_t>(slot)];
    o = object;
    o.used = 1;
    mark_modified(g);
    return slot;
}

const char* defaults_key(int32_t type) {
    switch (type) {
    case object_type::TitleX:
        return "X-Title";
    case object_type::TitleY:
        return "Y-Title";
    case object_type::TitleU:
        return "U-Title";
    case object_type::TitleR:
        return "R-Title";
    case object_type::Rectangle:
        return "Rect Ini";
    case object_type::PointObject:
        return "Dot Ini";
    case object_type::Text:
        return "Title Ini";
    default:
        return type <= object_type::Line ? "Arrow Ini" : "";
    }
}

std::vector<uint8_t> font_bytes(const LogFont& f) {
    std::vector<uint8_t> b(60, 0);
    const int32_t ints[5] = {f.height, f.width, f.escapement, f.orientation, f.weight};
    for (int i = 0; i < 5; ++i)
        for (int k = 0; k < 4; ++k)
            b[static_cast<size_t>(i * 4 + k)] =
                static_cast<uint8_t>(static_cast<uint32_t>(ints[i]) >> (8 * k));
    const uint8_t bytes[8] = {f.italic,        f.underline,      f.strike_out, f.charset,
                              f.out_precision, f.clip_precision, f.quality,    f.pitch_and_family};
    std::memcpy(b.data() + 20, bytes, 8);
    std::memcpy(b.data() + 28, f.face.data(), std::min<size_t>(f.face.size(), 31));
    return b;
}

bool font_from_bytes(const std::vector<uint8_t>& b, LogFont& f) {
    if (b.size() != 60) return false;
    int32_t ints[5];
    for (int i = 0; i < 5; ++i) {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= uint32_t{b[static_cast<size_t>(i * 4 + k)]} << (8 * k);
        ints[i] = static_cast<int32_t>(v);
    }
    f.height = ints[0];
    f.width = ints[1];
    f.escapement = ints[2];
    f.orientation = ints[3];
    f.weight = ints[4];
    f.italic = b[20];
    f.underline = b[21];
    f.strike_out = b[22];
    f.charset = b[23];
    f.out_precision = b[24];
    f.clip_precision = b[25];
    f.quality = b[26];
    f.pitch_and_family = b[27];
    const char* face = reinterpret_cast<const char*>(b.data() + 28);
    f.face.assign(face, strnlen(face, 31));
    return true;
}

GraphObject new_text(const Graph& g, int32_t type, const SettingsStore* store) {
    GraphObject o;
    o.Type = type;
    o.Color = 0;
    o.Back = 1;
    default_text_fonts(g, o);
    const int32_t W = g.frame_width, H = g.frame_height;
    switch (type) {
    case object_type::TitleX:
        o.x = W / 2, o.y = H + 1500, o.alignment = 1;
        break;
    case object_type::TitleU:
        o.x = W / 2, o.y = -1500, o.alignment = 1;
        break;
    case object_type::TitleY:
    case object_type::TitleR:
        o.x = type == object_type::TitleY ? -1200 : W + 1500;
        o.y = H / 2;
        o.alignment = 1;
        for (LogFont* f : {&o.Font1, &o.Font2, &o.Font3})
            f->escapement = f->orientation = 900;
        break;
    default:
        o.Type = object_type::Text;
        o.x = W / 2, o.y = H / 2;
        break;
    }
    if (!store) return o;
    const char* key = defaults_key(o.Type);
    store->read(key, "x", o.x);
    store->read(key, "y", o.y);
    store->read(key, "Justify", o.alignment);
    store->read(key, "Back", o.Back);
    store->read(key, "Color", o.Color);
    LogFont* fonts[3] = {&o.Font1, &o.Font2, &o.Font3};
    const char* names[3] = {"Font1", "Font2", "Font3"};
    for (int i = 0; i < 3; ++i)
        if (auto b = store->read_binary(key, names[i])) font_from_bytes(*b, *fonts[i]);
    if (o.Type != object_type::Text) {
        store->read(key, "Str", o.Str);
        set_text(o.Str, std::string(o.Str), OBJECT_TEXT_CAPACITY);
    }
    return o;
}

GraphObject new_arrow(const Graph& g, const SettingsStore* store) {
    GraphObject o;
    o.Type = object_type::FilledArrow;
    o.alignment = 1;
    o.position = {g.frame_width / 400.0, g.frame_height / 400.0, g.frame_width / 200.0,
                  g.frame_height / 200.0};
    if (store) read_object_ints(*store, "Arrow Ini", o);
    if (o.Type < object_type::FilledArrow || o.Type > object_type::Line)
        o.Type = object_type::FilledArrow;
    return o;
}

GraphObject new_rectangle(const Graph& g, const SettingsStore* store) {
    GraphObject o;
    o.Type = object_type::Rectangle;
    o.Pitch = 20;
    o.Length = 100;
    o.position = {g.frame_width / 400.0, g.frame_height / 400.0, g.frame_width / 200.0,
                  g.frame_height / 200.0};
    if (store) read_object_ints(*store, "Rect Ini", o);
    o.Type = object_type::Rectangle;
    return o;
}

GraphObject new_point_object(const Graph& g, const SettingsStore* store) {
    GraphObject o;
    o.Type = object_type::PointObject;
    o.PlotType = 2;
    o.Size1 = 300;
    o.alignment = 1;
    o.Color2 = 0;
    o.Back = 2;
    bool positions = false;
    if (store) {
        const char* key = "Dot Ini";
        store->read(key, "PlotType", o.PlotType);
        store->read(key, "LineWidth", o.LineWidth);
        store->read(key, "DotColor", o.Color);
        store->read(key, "LineColor", o.Color2);
        store->read(key, "Length", o.Length);
        store->read(key, "PenStyle", o.LineStyle);
        store->read(key, "Size", o.Size1);
        store->read(key, "LinePitch", o.Pitch);
        store->read(key, "Num", o.alignment);
        store->read(key, "DotStyle", o.DotStyle);
        store->read(key, "Hatch", o.Hatch);
        for (int i = 0; i < MAX_OBJECT_POINTS; ++i) {
            char nx[8], ny[8];
            std::snprintf(nx, sizeof nx, "PosX%d", i);
            std::snprintf(ny, sizeof ny, "PosY%d", i);
            positions |= store->read_dword(key, nx).has_value();
            store->read(key, nx, o.points[static_cast<size_t>(i)].x);
            store->read(key, ny, o.points[static_cast<size_t>(i)].y);
        }
    }
    o.alignment = std::clamp(o.alignment, 1, MAX_OBJECT_POINTS);
    if (!positions) default_point_geometry(g, o);
    return o;
}

GraphObject new_picture(const Graph& g) {
    GraphObject o;
    o.Type = object_type::Picture;
    o.position = {g.frame_width / 400.0, g.frame_height / 400.0, 0, 0};
    o.picture_box = {0, 0, 5000, 0};
    return o;
}

void save_object_defaults(SettingsStore& s, const GraphObject& o) {
    const char* key = defaults_key(o.Type);
    if (is_text_type(o.Type)) {
        s.write(key, "x", o.x);
        s.write(key, "y", o.y);
        s.write(key, "Justify", o.alignment);
        s.write(key, "Back", o.Back);
        s.write(key, "Color", o.Color);
        s.write_binary(key, "Font1", font_bytes(o.Font1));
        s.write_binary(key, "Font2", font_bytes(o.Font2));
        s.write_binary(key, "Font3", font_bytes(o.Font3));
        if (o.Type != object_type::Text) s.write_text(key, "Str", o.Str);
        return;
    }
    if (o.Type > object_type::Rectangle) return;
    s.write(key, "Type", o.Type);
    s.write(key, "Length", o.Length);
    s.write(key, "RefX", o.RefX);
    s.write(key, "RefY", o.RefY);
    s.write(key, "Pitch", o.Pitch);
    s.write(key, "LineWidth", o.LineWidth);
    s.write(key, "Size1", o.Size1);
    s.write(key, "Size2", o.Size2);
    s.write(key, "Open", o.Open);
    s.write(key, "Shut", o.Shut);
    s.write(key, "LineStyle", o.LineStyle);
    s.write(key, "Color", o.Color);
    s.write(key, "Color2", o.Color2);
    for (int i = 0; i < 4; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "Pos%d", i);
        s.write(key, name, o.position[static_cast<size_t>(i)]);
    }
}

} // namespace plox::editing
