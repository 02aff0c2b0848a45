// Drawing of the annotation objects.
#include "render/objects.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "analysis/spline.h"
#include "document/paths.h"
#include "render/drawing_bounds.h"
#include "render/font_mapping.h"
#include "render/gra.h"
#include "render/mapping.h"
#include "render/primitives.h"
#include "render/rich_text.h"

namespace plox {

namespace {

struct Vec {
    double x = 0, y = 0;
};

Color shown(Color c, bool white) {
    return white ? 0xFFFFFF : c;
}

Point to_point(double x, double y) {
    return {to_position(x), to_position(y)};
}

void extend(Rect& box, Point p) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
}

void store_extent(GraphObject& o, const Rect& r) {
    o.extent_left = r.left;
    o.extent_top = r.top;
    o.extent_right = r.right;
    o.extent_bottom = r.bottom;
}

// Unscaled position (0.01 mm from the frame corner) of one coordinate.
double unscaled(const Graph& g, const GraphObject& o, int index) {
    const bool horizontal = index % 2 == 0;
    const int32_t ref = horizontal ? o.RefX : o.RefY;
    const double v = o.position[static_cast<size_t>(index)];
    if (ref == 1 || ref == 2) {
        const int axis = horizontal ? (ref == 1 ? AxisX : AxisU) : (ref == 1 ? AxisY : AxisR);
        return frame_relative(g, axis, v);
    }
    return v * 100;
}

void draw_arrow(Surface& sf, Graph& g, GraphObject& o, bool white) {
    const int32_t mag = g.Magnification;
    const Color color = shown(o.Color, white);
    const Vec s{unscaled(g, o, 0), unscaled(g, o, 1)}, e{unscaled(g, o, 2), unscaled(g, o, 3)};
    const double length = std::hypot(e.x - s.x, e.y - s.y);
    const bool long_enough = length >= 0.01;
    const Vec u = long_enough ? Vec{(e.x - s.x) / length, (e.y - s.y) / length} : Vec{1, 1};
    // The head's length and half width are taken as stored, unscaled by the magnification.
    const double L = o.Length;
    const double h = o.LineWidth / 2.0;
    const double open = o.Open / 100.0, shut = o.Shut / 100.0;
    Vec start{g.frame_left + s.x * mag / 100, g.frame_top + s.y * mag / 100};
    Vec end{g.frame_left + e.x * mag / 100, g.frame_top + e.y * mag / 100};

    const Pen pen{pen_style::Solid, scaled(o.LineWidth, mag), color};
    sf.select_pen(pen);
    sf.set_rop2(rop2::CopyPen);
    const bool heads = L > 0 && long_enough;
    const int style = o.alignment;
    auto head = [&](Vec tip, Vec d) {
        if (o.Type == object_type::Line) {
            const Vec a{tip.x - d.y * L / 2, tip.y + d.x * L / 2},
                b{tip.x + d.y * L / 2, tip.y - d.x * L / 2};
            const Point bar[2] = {to_point(a.x, a.y), to_point(b.x, b.y)};
            sf.polyline(bar);
            return;
        }
        // The barbs stand out by half the line width beyond Open % of the head length, so a
        // head is never narrower than its line.
        const Point barb1 = to_point(tip.x - (open * d.y + d.x) * L - d.y * h,
                                     tip.y - (d.y - open * d.x) * L + d.x * h);
        const Point barb2 = to_point(tip.x - (d.x - open * d.y) * L + d.y * h,
                                     tip.y - (d.y + open * d.x) * L - d.x * h);
        const Point t = to_point(tip.x, tip.y);
        if (o.Type == object_type::OpenArrow) {
            const Point p[3] = {barb1, t, barb2};
            sf.polyline(p);
        } else {
            const Point base = to_point(tip.x - d.x * L * shut, tip.y - d.y * L * shut);
            const Point p[4] = {barb1, t, barb2, base};
            sf.select_pen(Pen{pen_style::Solid, 1, color});
            sf.select_brush(Brush{brush_style::Solid, color, 0});
            sf.polygon(p);
            sf.select_pen(pen);
        }
    };
    const bool at_end = o.Type == object_type::Line || (style & 1);
    const bool at_start = o.Type == object_type::Line || (style & 2);
    if (heads) {
        if (at_end) head(end, u);
        if (at_start) head(start, Vec{-u.x, -u.y});
    }
    if (o.Type == object_type::FilledArrow && heads) {
        const double back = L * shut;
        if (at_end) end = {end.x - u.x * back, end.y - u.y * back};
        if (at_start) start = {start.x + u.x * back, start.y + u.y * back};
    }
    const Point a = to_point(start.x, start.y), b = to_point(end.x, end.y);
    if (long_enough)
        draw_patterned_line(sf, a.x, a.y, b.x, b.y, scaled(o.LineWidth, mag), scaled(o.Pitch, mag),
                            o.LineStyle);
    // Start and end as drawn, in that order: the editor tells the ends apart by them.
    store_extent(o, {a.x, a.y, b.x, b.y});
}

void draw_rectangle(Surface& sf, Graph& g, GraphObject& o, bool white) {
    const int32_t mag = g.Magnification;
    if (o.Pitch > 200) o.Pitch = 20;
    if (o.position[0] > o.position[2]) std::swap(o.position[0], o.position[2]);
    if (o.position[1] > o.position[3]) std::swap(o.position[1], o.position[3]);
    const Point a = to_point(g.frame_left + unscaled(g, o, 0) * mag / 100,
                             g.frame_top + unscaled(g, o, 1) * mag / 100);
    const Point b = to_point(g.frame_left + unscaled(g, o, 2) * mag / 100,
                             g.frame_top + unscaled(g, o, 3) * mag / 100);
    const Rect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    int32_t rx = mul_div(o.Size1, mag, 100), ry = mul_div(o.Size2, mag, 100);
    if (rx < 1 || ry < 1) rx = ry = 0;
    rx = std::min(rx, r.right - r.left);
    ry = std::min(ry, r.bottom - r.top);
    sf.select_pen(Pen{pen_style::Solid, scaled(o.Pitch, mag), shown(o.Color, white)});
    const int32_t l = std::clamp(scaled(o.Length, mag), -10'000'000, 10'000'000);
    auto shape = [&](const Rect& q) {
        if (rx > 0 && ry > 0)
            sf.round_rect(q.left, q.top, q.right, q.bottom, rx, ry);
        else
            sf.rectangle(q.left, q.top, q.right, q.bottom);
    };
    if (l != 0) {
        sf.select_brush(Brush{brush_style::Solid, shown(o.Color, white), 0});
        shape({r.left + l, r.top + l, r.right + l, r.bottom + l});
    }
    sf.select_brush(Brush{brush_style::Solid, shown(o.Color2, white), 0});
    shape(r);
    Rect extent = r;
    if (l < 1) {
        extent.left += l;
        extent.top += l;
    } else {
        extent.right += l;
        extent.bottom += l;
    }
    store_extent(o, extent);
}

// The filled part of a shape object of several points (rectangle 27, polygon 30), and the
// outline its line follows: the corners, the smoothed curve (31, 32) or the points (29).
std::vector<Point> draw_point_shape(Surface& sf, const GraphObject& o,
                                    const std::vector<Point>& pts, Color marker_color) {
    const Brush fill{.style = o.DotStyle, .color = marker_color, .hatch = o.Hatch};
    std::vector<Point> line;
    switch (o.PlotType) {
    case 27: {
        const Point a = pts[0], b = pts[1];
        sf.select_pen(Pen{pen_style::Solid, 1, marker_color});
        sf.select_brush(fill);
        sf.rectangle(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                     std::max(a.y, b.y));
        line = {a, {b.x, a.y}, b, {a.x, b.y}, a};
        break;
    }
    case 30:
        sf.select_pen(Pen{pen_style::Solid, 1, marker_color});
        sf.select_brush(fill);
        sf.polygon(pts);
        line = pts;
        line.push_back(pts[0]);
        break;
    case 31:
    case 32: {
        std::vector<Point32> knots;
        for (const Point& p : pts)
            knots.push_back({p.x, p.y});
        if (o.PlotType == 32) knots.push_back(knots.front());
        for (const Point32& p : smooth_polyline(knots, o.PlotType == 32))
            line.push_back({p.x, p.y});
        break;
    }
    case 29:
        line = pts;
        break;
    default:
        break;
    }
    return line;
}

void draw_point_object(Surface& sf, Graph& g, GraphObject& o, bool white) {
    const int32_t mag = g.Magnification;
    const Color line_color = shown(o.Color, white), marker_color = shown(o.Color2, white);
    sf.set_bk_mode(white ? bk_mode::Transparent : bk_mode::Opaque);
    if (!white) sf.set_bk_color(0xFFFFFF);
    auto map = [&](const Point32& p) {
        return Point{to_position(g.frame_left + double(p.x) * mag / 100),
                     to_position(g.frame_top + double(p.y) * mag / 100)};
    };
    const Point anchor = map(o.points[0]);
    const int32_t s = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t(o.Size1) * mag / 200, -1'000'000, 1'000'000));
    const int32_t half_length = std::clamp(scaled(o.Length, mag), -1'000'000, 1'000'000);
    const int32_t width = scaled(o.LineWidth, mag);
    const int num = std::clamp(o.alignment, 0, MAX_OBJECT_POINTS);
    Rect extent{anchor.x - 7 * s / 5, anchor.y - 7 * s / 5, anchor.x + 7 * s / 5,
                anchor.y + 7 * s / 5};

    if (num <= 1) {
        LegendSample sample;
        sample.plot_type = o.PlotType;
        sample.half_size = s;
        sample.marker_color = marker_color;
        sample.brush_style = o.DotStyle;
        sample.hatch = o.Hatch;
        sample.pen_width = width;
        sample.line_type = o.LineStyle;
        sample.half_length = half_length;
        sample.pitch = scaled(o.Pitch, mag);
        sample.line_color = line_color;
        sample.fill_color = shown(o.fill_color, white);
        draw_legend_sample(sf, anchor.x, anchor.y, sample);
        extent.left = std::min(extent.left, anchor.x - half_length);
        extent.right = std::max(extent.right, anchor.x + half_length);
        store_extent(o, extent);
        return;
    }

    std::vector<Point> pts;
    for (int i = 0; i < num; ++i)
        pts.push_back(map(o.points[static_cast<size_t>(i)]));
    const std::vector<Point> line = draw_point_shape(sf, o, pts, marker_color);
    if (line.size() >= 2 && o.LineStyle != line_type::None) {
        sf.select_pen(Pen{pen_style::Solid, width, line_color});
        const DashPattern pattern = make_dash_pattern(o.LineStyle, width, scaled(o.Pitch, mag));
        int32_t phase = 0;
        for (size_t i = 1; i < line.size(); ++i)
            phase = draw_patterned_segment(pattern, sf, line[i - 1].x, line[i - 1].y, line[i].x,
                                           line[i].y, phase);
    }
    // A shape spread over several points must be found wherever it is clicked.
    for (const Point& p : pts)
        extend(extent, p);
    for (const Point& p : line)
        extend(extent, p);
    store_extent(o, extent);
}

std::string extension_of(std::string_view path) {
    const size_t name = paths::name_start(path);
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < name) return {};
    std::string ext(path.substr(dot));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

void draw_picture(Surface& sf, Graph& g, RenderContext& ctx, GraphObject& o) {
    const int32_t mag = g.Magnification;
    const int32_t left = to_position(g.frame_left + o.position[0] * mag);
    const int32_t top = to_position(g.frame_top + o.position[1] * mag);
    const int32_t width = std::clamp<int32_t>(scaled(o.picture_box[2], mag), 0, 10'000'000);
    const std::string path = paths::find_existing(o.Str).value_or(o.Str);
    const std::string ext = extension_of(o.Str);
    if (ext == ".gra") {
        static const FixedTextMeasurer fixed;
        const FontMapping defaults = FontMapping::make_default();
        const FontMapping& mapping = ctx.font_mapping ? *ctx.font_mapping : defaults;
        const GraResult r = draw_gra_file(sf, ctx.measurer ? *ctx.measurer : fixed, path, left, top,
                                          width, mapping);
        if (r.status == 0 && r.extent.left <= r.extent.right) store_extent(o, r.extent);
    } else if (ext != ".wmf" && ext != ".emf" && ctx.pictures) {
        // Bitmaps, and whatever other image files the platform's reader takes.
        auto image = ctx.pictures->load_bitmap(path);
        if (!image || image->width <= 0 || image->height <= 0) return;
        o.picture_box[0] = image->width;
        o.picture_box[1] = image->height;
        o.picture_box[3] =
            static_cast<int32_t>(int64_t(o.picture_box[2]) * image->height / image->width);
        const int32_t height = static_cast<int32_t>(int64_t(width) * image->height / image->width);
        const Rect r{left, top, left + width, top + height};
        sf.draw_image(r, *image);
        store_extent(o, r);
    } else if ((ext == ".wmf" || ext == ".emf") && ctx.pictures) {
        const auto natural = ctx.pictures->draw_metafile(sf, path, left, top, width);
        if (!natural || natural->cx <= 0 || natural->cy <= 0) return;
        o.picture_box[0] = natural->cx;
        o.picture_box[1] = natural->cy;
        o.picture_box[3] =
            static_cast<int32_t>(int64_t(o.picture_box[2]) * natural->cy / natural->cx);
        const int32_t height = static_cast<int32_t>(int64_t(width) * natural->cy / natural->cx);
        store_extent(o, Rect{left, top, left + width, top + height});
    }
}

} // namespace

Point object_point(const Graph& g, const GraphObject& o, int end) {
    const int i = end ? 2 : 0;
    return to_point(g.frame_left + unscaled(g, o, i) * g.Magnification / 100,
                    g.frame_top + unscaled(g, o, i + 1) * g.Magnification / 100);
}

void draw_object(Surface& sf, Graph& g, RenderContext& ctx, GraphObject& o, bool white) {
    switch (o.Type) {
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
        draw_arrow(sf, g, o, white);
        break;
    case object_type::Rectangle:
        draw_rectangle(sf, g, o, white);
        break;
    case object_type::TitleX:
    case object_type::TitleY:
    case object_type::TitleU:
    case object_type::TitleR:
    case object_type::Text:
        draw_text_object(sf, g, ctx, o, white, true);
        break;
    case object_type::PointObject:
        draw_point_object(sf, g, o, white);
        break;
    case object_type::Picture:
        draw_picture(sf, g, ctx, o);
        break;
    default:
        break;
    }
}

void draw_objects(Surface& sf, Graph& g, RenderContext& ctx) {
    const DrawingBounds bounds(g);
    for (GraphObject& o : g.objects)
        if (o.used) draw_object(sf, g, ctx, o, false);
    graph_extent(g);
}

Rect graph_extent(Graph& g) {
    Rect box{g.extent_left, g.extent_top, g.extent_right, g.extent_bottom};
    for (const GraphObject& o : g.objects) {
        if (!o.used) continue;
        extend(box, {o.extent_left, o.extent_top});
        extend(box, {o.extent_right, o.extent_bottom});
    }
    g.extent_left = box.left;
    g.extent_top = box.top;
    g.extent_right = box.right;
    g.extent_bottom = box.bottom;
    return box;
}

void default_point_geometry(const Graph& g, GraphObject& o) {
    const int n = std::clamp(o.alignment, 1, MAX_OBJECT_POINTS);
    const Point32 centre{3 * g.frame_width / 4, g.frame_height / 4};
    for (int i = 0; i < n; ++i) {
        Point32& p = o.points[static_cast<size_t>(i)];
        if (o.PlotType == 30) {
            const double a = 2 * std::numbers::pi * i / n;
            p = {centre.x + static_cast<int32_t>(1000 * std::sin(a)),
                 centre.y - static_cast<int32_t>(1000 * std::cos(a))};
        } else if (i == 0) {
            p = centre;
        } else {
            const Point32& q = o.points[static_cast<size_t>(i - 1)];
            p = i % 2 ? Point32{q.x + 1000, q.y} : Point32{q.x, q.y + 1000};
        }
    }
    o.x = o.points[0].x;
    o.y = o.points[0].y;
}

} // namespace plox
