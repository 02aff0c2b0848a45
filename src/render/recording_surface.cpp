// Replay and text dump of recorded drawings.
#include "render/recording_surface.h"

#include <cstdio>
#include <type_traits>

namespace plox {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

std::string hex6(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06x", static_cast<unsigned>(c) & 0xFFFFFFu);
    return buf;
}

std::string rect_text(const Rect& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}

std::string point_text(const Point& p) {
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

std::string points_text(const std::vector<Point>& points) {
    std::string s = std::to_string(points.size());
    for (const auto& p : points) {
        // Appended piece by piece: "literal" + std::string trips GCC 12's -Wrestrict at -O3.
        s += ' ';
        s += std::to_string(p.x);
        s += ',';
        s += std::to_string(p.y);
    }
    return s;
}

std::string escaped(std::string_view bytes) {
    std::string s;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            s += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            s += buf;
        }
    }
    return s;
}

} // namespace

void RecordingSurface::replay(Surface& t) const {
    for (const auto& command : commands_) {
        std::visit(
            Overloaded{
                [&](const rec::Rop2& c) { t.set_rop2(c.mode); },
                [&](const rec::BkMode& c) { t.set_bk_mode(c.mode); },
                [&](const rec::BkColor& c) { t.set_bk_color(c.color); },
                [&](const rec::TextColor& c) { t.set_text_color(c.color); },
                [&](const rec::TextAlign& c) { t.set_text_align(c.flags); },
                [&](const rec::SelectPen& c) { t.select_pen(c.pen); },
                [&](const rec::SelectBrush& c) { t.select_brush(c.brush); },
                [&](const rec::SelectFont& c) { t.select_font(c.font); },
                [&](const rec::MoveTo& c) { t.move_to(c.p.x, c.p.y); },
                [&](const rec::LineTo& c) { t.line_to(c.p.x, c.p.y); },
                [&](const rec::Polyline& c) { t.polyline(c.points); },
                [&](const rec::Polygon& c) { t.polygon(c.points); },
                [&](const rec::Rectangle& c) {
                    t.rectangle(c.r.left, c.r.top, c.r.right, c.r.bottom);
                },
                [&](const rec::RoundRect& c) {
                    t.round_rect(c.r.left, c.r.top, c.r.right, c.r.bottom, c.corner_width,
                                 c.corner_height);
                },
                [&](const rec::Ellipse& c) { t.ellipse(c.r.left, c.r.top, c.r.right, c.r.bottom); },
                [&](const rec::Chord& c) {
                    t.chord(c.r.left, c.r.top, c.r.right, c.r.bottom, c.start.x, c.start.y, c.end.x,
                            c.end.y);
                },
                [&](const rec::Arc& c) {
                    t.arc(c.r.left, c.r.top, c.r.right, c.r.bottom, c.start.x, c.start.y, c.end.x,
                          c.end.y);
                },
                [&](const rec::FillRect& c) { t.fill_rect(c.r, c.brush); },
                [&](const rec::TextOut& c) { t.text_out(c.p.x, c.p.y, c.bytes); },
                [&](const rec::DrawImage& c) { t.draw_image(c.r, *c.image); },
                [&](const rec::Clip& c) { t.set_clip_rect(c.on ? &c.r : nullptr); },
            },
            command);
    }
}

std::string dump_command(const Command& command) {
    return std::visit(
        Overloaded{
            [](const rec::Rop2& c) { return "rop2 " + std::to_string(c.mode); },
            [](const rec::BkMode& c) { return "bk_mode " + std::to_string(c.mode); },
            [](const rec::BkColor& c) { return "bk_color " + hex6(c.color); },
            [](const rec::TextColor& c) { return "text_color " + hex6(c.color); },
            [](const rec::TextAlign& c) { return "text_align " + std::to_string(c.flags); },
            [](const rec::SelectPen& c) {
                return "pen " + std::to_string(c.pen.style) + " " + std::to_string(c.pen.width) +
                       " " + hex6(c.pen.color);
            },
            [](const rec::SelectBrush& c) {
                return "brush " + std::to_string(c.brush.style) + " " + hex6(c.brush.color) + " " +
                       std::to_string(c.brush.hatch);
            },
            [](const rec::SelectFont& c) {
                return "font \"" + escaped(c.font.face) + "\" " + std::to_string(c.font.height) +
                       " " + std::to_string(c.font.weight) + " " + std::to_string(c.font.italic) +
                       " " + std::to_string(c.font.charset) + " " +
                       std::to_string(c.font.escapement);
            },
            [](const rec::MoveTo& c) { return "move_to " + point_text(c.p); },
            [](const rec::LineTo& c) { return "line_to " + point_text(c.p); },
            [](const rec::Polyline& c) { return "polyline " + points_text(c.points); },
            [](const rec::Polygon& c) { return "polygon " + points_text(c.points); },
            [](const rec::Rectangle& c) { return "rectangle " + rect_text(c.r); },
            [](const rec::RoundRect& c) {
                return "round_rect " + rect_text(c.r) + " " + std::to_string(c.corner_width) + " " +
                       std::to_string(c.corner_height);
            },
            [](const rec::Ellipse& c) { return "ellipse " + rect_text(c.r); },
            [](const rec::Chord& c) {
                return "chord " + rect_text(c.r) + " " + point_text(c.start) + " " +
                       point_text(c.end);
            },
            [](const rec::Arc& c) {
                return "arc " + rect_text(c.r) + " " + point_text(c.start) + " " +
                       point_text(c.end);
            },
            [](const rec::FillRect& c) {
                return "fill_rect " + rect_text(c.r) + " " + std::to_string(c.brush.style) + " " +
                       hex6(c.brush.color) + " " + std::to_string(c.brush.hatch);
            },
            [](const rec::TextOut& c) {
                return "text_out " + point_text(c.p) + " \"" + escaped(c.bytes) + "\"";
            },
            [](const rec::DrawImage& c) {
                return "image " + rect_text(c.r) + " " + std::to_string(c.image->width) + "x" +
                       std::to_string(c.image->height);
            },
            [](const rec::Clip& c) {
                return c.on ? "clip " + rect_text(c.r) : std::string("clip none");
            },
        },
        command);
}

std::string RecordingSurface::dump() const {
    std::string s;
    for (const auto& c : commands_) {
        s += dump_command(c);
        s += '\n';
    }
    return s;
}

} // namespace plox
