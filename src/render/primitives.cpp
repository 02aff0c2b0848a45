// Patterned lines, markers and legend samples.
#include "render/primitives.h"

#include "render/external_markers.h"

#include <algorithm>
#include <cmath>

namespace plox {

DashPattern make_dash_pattern(int32_t type, int32_t w, int32_t p) {
    DashPattern d;
    d.line_type = type;
    w = std::max(w, 0);
    int32_t period = std::max(p, 5 * w);
    // A zero pitch with a hairline pen has no pattern to lay out; it draws solid.
    if (period <= 0) {
        d.line_type = line_type::Solid;
        period = 1;
    }
    d.period = period;
    const int32_t half = period / 2;
    const int32_t s = w >= half ? period / 4 : w;
    switch (type) {
    case line_type::Dot:
        d.dashes[d.count++] = {0, s};
        break;
    case line_type::DashDot: {
        d.dashes[d.count++] = {0, half};
        const int32_t a = 3 * period / 4 - s / 2;
        d.dashes[d.count++] = {a, a + s};
        break;
    }
    case line_type::DashDotDot: {
        d.dashes[d.count++] = {0, half};
        const int32_t a = 4 * period / 6 - s / 2;
        const int32_t b = 5 * period / 6 - s / 2;
        d.dashes[d.count++] = {a, a + s};
        d.dashes[d.count++] = {b, b + s};
        break;
    }
    default:
        d.dashes[d.count++] = {0, half};
        break;
    }
    return d;
}

int32_t draw_patterned_segment(const DashPattern& pattern, Surface& surface, int32_t x1, int32_t y1,
                               int32_t x2, int32_t y2, int32_t phase) {
    if (pattern.line_type == line_type::None) return phase;
    const int64_t dx = static_cast<int64_t>(x2) - x1;
    const int64_t dy = static_cast<int64_t>(y2) - y1;
    const int64_t length = static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    const int64_t period = pattern.period;
    // Solid, or so many periods that dashes could not be told apart (and would take long).
    if (pattern.line_type == line_type::Solid || pattern.line_type == line_type::Area ||
        length / period > 100000) {
        if (length > 0 || pattern.line_type == line_type::Solid) {
            surface.move_to(x1, y1);
            surface.line_to(x2, y2);
        }
        return pattern.line_type == line_type::Solid ? 0 : phase;
    }
    if (length == 0) return phase;
    phase = static_cast<int32_t>(((phase % period) + period) % period);
    for (int64_t start = phase == 0 ? 0 : -phase; start < length; start += period) {
        for (int i = 0; i < pattern.count; ++i) {
            const int64_t a = std::clamp<int64_t>(
                start + pattern.dashes[static_cast<size_t>(i)].first, 0, length);
            const int64_t b = std::clamp<int64_t>(
                start + pattern.dashes[static_cast<size_t>(i)].second, 0, length);
            if (b <= a) continue;
            surface.move_to(static_cast<int32_t>(x1 + a * dx / length),
                            static_cast<int32_t>(y1 + a * dy / length));
            surface.line_to(static_cast<int32_t>(x1 + b * dx / length),
                            static_cast<int32_t>(y1 + b * dy / length));
        }
    }
    return static_cast<int32_t>((phase + length) % period);
}

void draw_patterned_line(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         int32_t pen_width, int32_t pitch, int32_t type) {
    if (type == line_type::None) return;
    draw_patterned_segment(make_dash_pattern(type, pen_width, pitch), surface, x1, y1, x2, y2, 0);
}

Brush marker_brush(int32_t plot_type, int32_t dot_style, Color fill_color, int32_t hatch,
                   Color marker_color) {
    Brush b;
    b.style = dot_style >= brush_style::Solid && dot_style <= brush_style::Hatched
                  ? dot_style
                  : brush_style::Solid;
    b.color = fill_color;
    b.hatch = hatch;
    switch (plot_type) {
    case 2:
    case 4:
    case 6:
    case 8:
    case 10:
    case 13:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 26:
    case 27:
    case 33:
    case 34:
        b.color = marker_color;
        break;
    default:
        if (b.style == brush_style::Hatched) b.style = brush_style::Solid;
        break;
    }
    return b;
}

namespace {

void triangle_up(Surface& sf, int32_t x, int32_t y, int32_t s) {
    const Point p[3] = {{x, y - 31 * s / 25},
                        {x + 27 * s / 25, y + 31 * s / 50},
                        {x - 27 * s / 25, y + 31 * s / 50}};
    sf.polygon(p);
}

void triangle_down(Surface& sf, int32_t x, int32_t y, int32_t s) {
    const Point p[3] = {{x, y + 31 * s / 25},
                        {x + 27 * s / 25, y - 31 * s / 50},
                        {x - 27 * s / 25, y - 31 * s / 50}};
    sf.polygon(p);
}

void diamond(Surface& sf, int32_t x, int32_t y, int32_t h) {
    const Point p[4] = {{x - h, y}, {x, y - h}, {x + h, y}, {x, y + h}};
    sf.polygon(p);
}

void line(Surface& sf, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    sf.move_to(x1, y1);
    sf.line_to(x2, y2);
}

// Markers 1-13 and 24-28: one outline filled with the selected brush, or crossing lines.
bool draw_single_marker(Surface& sf, int32_t type, int32_t x, int32_t y, int32_t s) {
    switch (type) {
    case 1:
    case 2:
        sf.ellipse(x - s, y - s, x + s, y + s);
        break;
    case 3:
    case 4:
        triangle_up(sf, x, y, s);
        break;
    case 5:
    case 6:
        sf.rectangle(x - s, y - s, x + s, y + s);
        break;
    case 7:
    case 8:
        triangle_down(sf, x, y, s);
        break;
    case 9:
    case 10:
        diamond(sf, x, y, 10 * s / 7);
        break;
    case 11:
        line(sf, x, y - s, x, y + s + 1);
        line(sf, x - s, y, x + s + 1, y);
        break;
    case 12:
        line(sf, x - s, y + s, x + s, y - s);
        line(sf, x - s, y - s, x + s, y + s);
        break;
    case 13:
    case 26:
        sf.rectangle(x - s, y - s, x + s + 1, y + s + 1);
        break;
    case 24:
        line(sf, x - s, y + s, x + s, y - s);
        break;
    case 25:
        line(sf, x - s, y - s, x + s, y + s);
        break;
    case 27:
        sf.rectangle(x - s, y - s, x + s, y + s);
        break;
    case 28:
        line(sf, x - s, y + s, x + s, y - s);
        break;
    default:
        return false;
    }
    return true;
}

// Markers 14-18: a shape with a smaller copy inside.
bool draw_double_marker(Surface& sf, int32_t type, int32_t x, int32_t y, int32_t s) {
    const int32_t h = 10 * s / 7;
    switch (type) {
    case 14:
        sf.ellipse(x - s, y - s, x + s, y + s);
        sf.ellipse(x - s / 2, y - s / 2, x + s / 2, y + s / 2);
        break;
    case 15: {
        triangle_up(sf, x, y, s);
        const Point p[3] = {{x, y - 31 * s / 50},
                            {x + 27 * s / 50, y + 31 * s / 100},
                            {x - 27 * s / 50, y + 31 * s / 100}};
        sf.polygon(p);
        break;
    }
    case 16:
        sf.rectangle(x - s, y - s, x + s, y + s);
        sf.rectangle(x - s / 2, y - s / 2, x + s / 2, y + s / 2);
        break;
    case 17: {
        triangle_down(sf, x, y, s);
        const Point p[3] = {{x, y + 31 * s / 50},
                            {x + 27 * s / 50, y - 31 * s / 100},
                            {x - 27 * s / 50, y - 31 * s / 100}};
        sf.polygon(p);
        break;
    }
    case 18: {
        diamond(sf, x, y, h);
        const int32_t b = 5 * s / 7;
        const Point p[4] = {{x - b, y}, {x, y - b}, {x + b, y + 1}, {x + 1, y + b}};
        sf.polygon(p);
        break;
    }
    default:
        return false;
    }
    return true;
}

// Markers 1-18 and 24-28; false for other types.
bool draw_shape_marker(Surface& sf, int32_t type, int32_t x, int32_t y, int32_t s) {
    return draw_single_marker(sf, type, x, y, s) || draw_double_marker(sf, type, x, y, s);
}

// Markers 19-23: an outline with one half filled in the fill colour, the
// selected brush restored afterwards.
void draw_half_filled_marker(Surface& sf, int32_t type, int32_t x, int32_t y, int32_t s,
                             Color fill_color, const Brush& brush) {
    const int32_t h = 10 * s / 7;
    auto half_fill = [&](auto&& draw) {
        sf.select_brush(Brush{
            .style = brush_style::Solid, .color = fill_color, .hatch = hatch_style::DiagCross});
        draw();
        sf.select_brush(brush);
    };
    switch (type) {
    case 19:
        sf.ellipse(x - s, y - s, x + s, y + s);
        half_fill([&] { sf.chord(x - s, y - s, x + s, y + s, x, y - s, x, y + s); });
        break;
    case 20:
        triangle_up(sf, x, y, s);
        half_fill([&] {
            const Point p[3] = {
                {x, y - 31 * s / 25}, {x - 27 * s / 25, y + 31 * s / 50}, {x, y + 31 * s / 50}};
            sf.polygon(p);
        });
        break;
    case 21:
        sf.rectangle(x - s, y - s, x + s, y + s);
        half_fill([&] { sf.rectangle(x, y - s, x - s, y + s); });
        break;
    case 22:
        triangle_down(sf, x, y, s);
        half_fill([&] {
            const Point p[3] = {
                {x, y + 31 * s / 25}, {x - 27 * s / 25, y - 31 * s / 50}, {x, y - 31 * s / 50}};
            sf.polygon(p);
        });
        break;
    case 23:
        diamond(sf, x, y, h);
        half_fill([&] {
            const Point p[3] = {{x, y - h}, {x - h, y}, {x, y + h}};
            sf.polygon(p);
        });
        break;
    default:
        break;
    }
}

} // namespace

void draw_marker(Surface& sf, int32_t type, int32_t x, int32_t y, int32_t s, Color fill_color,
                 const Pen& pen, const Brush& brush, ExternalMarkers* external) {
    if (type >= 19 && type <= 23) {
        draw_half_filled_marker(sf, type, x, y, s, fill_color, brush);
    } else if (!draw_shape_marker(sf, type, x, y, s) && type >= FIRST_EXTERNAL_PLOT_TYPE &&
               external) {
        external->draw_marker(sf, type - FIRST_EXTERNAL_PLOT_TYPE, x, y, s, pen, brush);
    }
}

void draw_legend_sample(Surface& sf, int32_t x, int32_t y, const LegendSample& m,
                        ExternalMarkers* external) {
    if (m.line_type != line_type::None) {
        sf.select_pen(Pen{pen_style::Solid, m.pen_width, m.line_color});
        // The area type has no pattern of its own; its sample is a plain line.
        const int32_t type = m.line_type == line_type::Area ? line_type::Solid : m.line_type;
        draw_patterned_line(sf, x - m.half_length, y, x + m.half_length, y, m.pen_width, m.pitch,
                            type);
    }
    if (m.plot_type != 0) {
        const Pen pen{pen_style::Solid, m.pen_width, m.marker_color};
        sf.select_pen(pen);
        const Brush brush =
            marker_brush(m.plot_type, m.brush_style, m.fill_color, m.hatch, m.marker_color);
        sf.select_brush(brush);
        draw_marker(sf, m.plot_type, x, y, m.half_size, m.fill_color, pen, brush, external);
    }
}

} // namespace plox
