// Object dialog rules, kept apart from the Qt views so that they are tested without a window.
#include "forms/object_forms.h"

#include "forms/dialog_helpers.h"
#include "render/objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plox::forms {

namespace {

std::string hundredths_text(double mm) {
    return number_text(mm);
}

LogFont* fonts_of(GraphObject& o, int i) {
    return i == 0 ? &o.Font1 : i == 1 ? &o.Font2 : &o.Font3;
}

std::string picture_mm(double hundredths) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.2lf", hundredths / 100.0);
    return buf;
}

} // namespace

void TextForm::load(const GraphObject& o) {
    text.clear();
    for (size_t i = 0; i < o.Str.size(); ++i) {
        if (o.Str[i] == '\\' && i + 1 < o.Str.size() && o.Str[i + 1] == 'n') {
            text.push_back('\n');
            ++i;
        } else {
            text.push_back(o.Str[i]);
        }
    }
    x = millimetre_text(o.x);
    y = millimetre_text(o.y);
    direction = o.Font1.escapement / 10;
    faces = {o.Font1.face, o.Font2.face, o.Font3.face};
    size = static_cast<int>(std::lround(std::abs(o.Font1.height) / 100.0));
    style = (o.Font1.italic ? 1 : 0) | (o.Font1.weight >= 700 ? 2 : 0);
    color = o.Color;
    opaque = o.Back == 2;
    justify = std::clamp(o.alignment, 0, 2);
}

void TextForm::apply(GraphObject& o) const {
    std::string stored;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue; // CR LF and LF alike become "\n"
        if (text[i] == '\n')
            stored += "\\n";
        else
            stored.push_back(text[i]);
    }
    set_text(o.Str, stored, OBJECT_TEXT_CAPACITY);
    o.x = read_millimetres(x);
    o.y = read_millimetres(y);
    const int32_t tenths = direction >= 1 && direction <= 359 ? direction * 10 : 0;
    const int32_t points = std::clamp(size, 3, 100);
    for (int i = 0; i < 3; ++i) {
        LogFont& f = *fonts_of(o, i);
        set_text(f.face, faces[static_cast<size_t>(i)], FACE_CAPACITY);
        f.escapement = f.orientation = tenths;
        f.height = -points * 100;
        f.italic = style & 1 ? 1 : 0;
        f.weight = style & 2 ? 700 : 400;
    }
    o.Color = color;
    o.Back = opaque ? 2 : 1;
    o.alignment = std::clamp(justify, 0, 2);
}

bool counts_points(int32_t plot_type) {
    return plot_type >= 29 && plot_type <= 32;
}

const char* count_or_length_label(int32_t plot_type) {
    return counts_points(plot_type) ? "区点" : "長さ";
}

void DotForm::load(const GraphObject& o) {
    plot_type = o.PlotType;
    line_style = o.LineStyle;
    size = millimetre_text(o.Size1);
    width = millimetre_text(o.LineWidth);
    pitch = millimetre_text(o.Pitch);
    x = millimetre_text(o.points[0].x);
    y = millimetre_text(o.points[0].y);
    count_or_length =
        counts_points(o.PlotType) ? std::to_string(o.alignment) : millimetre_text(o.Length);
    marker_color = o.Color2;
    line_color = o.Color;
    fill_color = o.fill_color;
    brush = o.DotStyle <= 1 ? o.DotStyle : 2 + std::clamp(o.Hatch, 0, 5);
}

void DotForm::apply(const Graph& g, GraphObject& o) const {
    const int32_t old_count = o.alignment;
    o.PlotType = plot_type;
    o.LineStyle = line_style;
    o.Size1 = read_millimetres(size);
    o.LineWidth = read_millimetres(width);
    o.Pitch = read_millimetres(pitch);
    if (plot_type == 27) {
        o.alignment = 2;
    } else if (counts_points(plot_type)) {
        o.alignment = std::clamp(read_integer(count_or_length), 2, MAX_OBJECT_POINTS);
    } else {
        o.Length = read_millimetres(count_or_length);
        o.alignment = 1;
    }
    const Point32 first{read_millimetres(x), read_millimetres(y)};
    if (o.alignment != old_count && o.alignment > 1) {
        // New points take the default shape, moved to start at the entered first point.
        GraphObject shape = o;
        default_point_geometry(g, shape);
        const Point32 d{first.x - shape.points[0].x, first.y - shape.points[0].y};
        for (int i = 0; i < MAX_OBJECT_POINTS; ++i)
            o.points[static_cast<size_t>(i)] = {shape.points[static_cast<size_t>(i)].x + d.x,
                                                shape.points[static_cast<size_t>(i)].y + d.y};
    }
    o.points[0] = first;
    o.Color2 = marker_color;
    o.Color = line_color;
    o.fill_color = fill_color;
    o.DotStyle = brush <= 1 ? std::max(brush, 0) : 2;
    o.Hatch = brush <= 1 ? 5 : std::min(brush - 2, 5);
}

int arrow_shape(int32_t type, int32_t head_style) {
    if (type == object_type::Line) return 0;
    const int style = std::clamp(head_style, 1, 3);
    return type == object_type::OpenArrow ? 3 + style : style;
}

void set_arrow_shape(GraphObject& o, int shape) {
    shape = std::clamp(shape, 0, 6);
    if (shape == 0) {
        o.Type = object_type::Line;
    } else {
        o.Type = shape <= 3 ? object_type::FilledArrow : object_type::OpenArrow;
        o.alignment = shape <= 3 ? shape : shape - 3;
    }
}

void ArrowForm::load(const GraphObject& o) {
    head_length = millimetre_text(o.Length);
    width = millimetre_text(o.LineWidth);
    pitch = millimetre_text(o.Pitch);
    line_style = o.LineStyle;
    color = o.Color;
    for (size_t i = 0; i < 4; ++i)
        position[i] = hundredths_text(o.position[i]);
    ref_x = std::clamp(o.RefX, 0, 2);
    ref_y = std::clamp(o.RefY, 0, 2);
    shape = arrow_shape(o.Type, o.alignment);
    open = o.Open;
    shut = o.Shut;
}

void ArrowForm::apply(GraphObject& o) const {
    o.Length = read_millimetres(head_length);
    o.LineWidth = read_millimetres(width);
    o.Pitch = read_millimetres(pitch);
    o.LineStyle = line_style;
    o.Color = color;
    for (size_t i = 0; i < 4; ++i)
        o.position[i] = read_number(position[i]);
    o.RefX = std::clamp(ref_x, 0, 2);
    o.RefY = std::clamp(ref_y, 0, 2);
    set_arrow_shape(o, shape);
    o.Open = open;
    o.Shut = shut;
}

void RectForm::load(const GraphObject& o) {
    for (size_t i = 0; i < 4; ++i)
        position[i] = hundredths_text(o.position[i]);
    shadow = millimetre_text(o.Length);
    round_x = millimetre_text(o.Size1);
    round_y = millimetre_text(o.Size2);
    width = millimetre_text(o.Pitch);
    face_color = o.Color2;
    shadow_color = o.Color;
}

void RectForm::apply(GraphObject& o) const {
    double p[4];
    for (size_t i = 0; i < 4; ++i)
        p[i] = read_number(position[i]);
    o.position = {std::min(p[0], p[2]), std::min(p[1], p[3]), std::max(p[0], p[2]),
                  std::max(p[1], p[3])};
    o.RefX = o.RefY = 0;
    o.Length = read_millimetres(shadow);
    o.Size1 = read_millimetres(round_x);
    o.Size2 = read_millimetres(round_y);
    o.Pitch = read_millimetres(width);
    o.Color2 = face_color;
    o.Color = shadow_color;
}

void PictureForm::load(const GraphObject& o) {
    path = o.Str;
    x = picture_mm(o.position[0] * 100);
    y = picture_mm(o.position[1] * 100);
    width = picture_mm(o.picture_box[2]);
}

void PictureForm::apply(GraphObject& o) const {
    set_text(o.Str, path, PATH_CAPACITY);
    o.position[0] = read_number(x);
    o.position[1] = read_number(y);
    o.picture_box[2] = std::max(read_millimetres(width), 1);
    if (o.picture_box[0] > 0 && o.picture_box[1] > 0)
        o.picture_box[3] =
            static_cast<int32_t>(int64_t(o.picture_box[2]) * o.picture_box[1] / o.picture_box[0]);
}

std::string PictureForm::height_for(const GraphObject& o, const std::string& width_text) const {
    if (o.picture_box[0] <= 0 || o.picture_box[1] <= 0) return {};
    const double w = read_millimetres(width_text);
    return picture_mm(w * o.picture_box[1] / o.picture_box[0]);
}

std::string object_list_text(const GraphObject& o) {
    char buf[640];
    const auto& p = o.position;
    switch (o.Type) {
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
    case object_type::Rectangle:
        std::snprintf(buf, sizeof buf, "(%5.1lf,%5.1lf)-(%5.1lf,%5.1lf)", p[0], p[1], p[2], p[3]);
        break;
    case object_type::Picture:
        std::snprintf(buf, sizeof buf, "%5.1lf x %5.1lf", o.picture_box[2] / 100.0,
                      o.picture_box[3] / 100.0);
        break;
    case object_type::PointObject:
        std::snprintf(buf, sizeof buf, "(%5.1lf,%5.1lf)", o.points[0].x / 100.0,
                      o.points[0].y / 100.0);
        break;
    default:
        std::snprintf(buf, sizeof buf, "(%5.1lf,%5.1lf) %s", o.x / 100.0, o.y / 100.0,
                      o.Str.c_str());
        break;
    }
    return buf;
}

ObjectList::ObjectList(const Graph& g) {
    for (int i = 0; i < MAX_OBJECTS; ++i)
        if (g.objects[static_cast<size_t>(i)].used) order.push_back(i);
    selected.assign(order.size(), false);
}

void ObjectList::move_selected_to_top() {
    std::vector<int> o;
    std::vector<bool> s;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < order.size(); ++i)
            if (selected[i] == (pass == 0)) {
                o.push_back(order[i]);
                s.push_back(selected[i]);
            }
    order = o;
    selected = s;
}

void ObjectList::move_selected_to_bottom() {
    std::vector<int> o;
    std::vector<bool> s;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < order.size(); ++i)
            if (selected[i] == (pass == 1)) {
                o.push_back(order[i]);
                s.push_back(selected[i]);
            }
    order = o;
    selected = s;
}

void ObjectList::remove_selected() {
    std::vector<int> o;
    for (size_t i = 0; i < order.size(); ++i)
        if (!selected[i]) o.push_back(order[i]);
    order = o;
    selected.assign(order.size(), false);
}

void ObjectList::toggle_all() {
    const bool all = std::all_of(selected.begin(), selected.end(), [](bool b) { return b; });
    selected.assign(order.size(), !all);
}

bool ObjectList::any_selected() const {
    return std::any_of(selected.begin(), selected.end(), [](bool b) { return b; });
}

std::vector<int> ObjectList::apply(Graph& g) const {
    std::array<GraphObject, MAX_OBJECTS> objects{};
    std::vector<int> chosen;
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] < 0 || order[i] >= MAX_OBJECTS) continue;
        objects[i] = g.objects[static_cast<size_t>(order[i])];
        if (selected[i]) chosen.push_back(static_cast<int>(i));
    }
    g.objects = objects;
    return chosen;
}

} // namespace plox::forms
