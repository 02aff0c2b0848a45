// Object sections of documents before 1.7 and the text codes of 1.0 and 1.1.
#include "document/qvp_legacy.h"

#include "document/document_io.h"
#include "document/qvp_format.h"

#include <algorithm>
#include <cctype>

namespace plox::legacy {
namespace {

void read_title(LineReader& r, GraphObject& o, int entry, int code) {
    o = GraphObject{};
    Scan sc(r.line());
    sc.i32(o.x).i32(o.y).i32(o.Color).i32(o.Back);
    if (sc.count() <= 3) o.Back = 1;
    o.alignment = 0;
    set_text(o.Str, r.line(OBJECT_TEXT_CAPACITY), OBJECT_TEXT_CAPACITY);
    read_font(r, o.Font1, code <= version::V1_5);
    read_font(r, o.Font2, code <= version::V1_5);
    o.Type = object_type::Text;
    if (entry == 0) o.Type = object_type::TitleX;
    if (entry == 1) o.Type = object_type::TitleY;
    if (code >= version::V1_6 && entry == 2) o.Type = object_type::TitleU;
    if (code >= version::V1_6 && entry == 3) o.Type = object_type::TitleR;
    o.used = 1;
}

// Arrows, lines, rectangles and pictures; false for a type that does not belong here.
bool read_arrow(LineReader& r, GraphObject& o) {
    o = GraphObject{};
    Scan sc(r.line());
    sc.real(o.position[0])
        .real(o.position[1])
        .real(o.position[2])
        .real(o.position[3])
        .i32(o.RefX)
        .i32(o.RefY)
        .i32(o.LineWidth)
        .i32(o.Length)
        .i32(o.Color)
        .i32(o.Type)
        .i32(o.Pitch)
        .i32(o.LineStyle)
        .i32(o.Color2);
    if (sc.count() < 13) o.Color2 = 0xFFFFFF;
    if (sc.count() < 10) {
        o.Type = object_type::FilledArrow;
        o.Pitch = 300;
        o.LineStyle = 1;
    }
    o.alignment = 1;
    o.Open = 30;
    o.Shut = 100;
    o.Size1 = o.Size2 = 0;
    if (o.Type == object_type::Picture) {
        // The rest of the line is the path, spaces included.
        std::string_view path = sc.count() == 13 ? sc.rest() : std::string_view{};
        while (!path.empty() && (path.front() == ' ' || path.front() == '\t'))
            path.remove_prefix(1);
        set_text(o.Str, path, PATH_CAPACITY);
        o.picture_box = {0, 0, o.Length, 0};
    }
    o.used = 1;
    return (o.Type >= object_type::FilledArrow && o.Type <= object_type::Rectangle) ||
           o.Type == object_type::Picture;
}

void read_dot(LineReader& r, GraphObject& o, int code) {
    o = GraphObject{};
    o.Type = object_type::PointObject;
    if (scan_point_object_line(r.line(), o) < 12) {
        o.DotStyle = 0;
        o.fill_color = 0xFFFFFF;
        o.Hatch = 5;
    }
    o.alignment = 0;
    if (code >= version::V1_5) {
        int32_t n = 1;
        Scan(r.line()).i32(n);
        for (int32_t i = 1; i < n && !r.at_end(); ++i) {
            Point32 p;
            Scan(r.line()).i32(p.x).i32(p.y);
            if (i < MAX_OBJECT_POINTS) o.points[i] = p;
        }
        o.alignment = std::clamp(n, 1, MAX_OBJECT_POINTS);
    }
    o.used = 1;
}

// A section header and its count; entries beyond what the slots hold are read and dropped.
int32_t section_count(LineReader& r) {
    r.line(); // "[TITLE]", "[ARROW]" or "[DOT]"
    int32_t count = 0;
    Scan(r.line()).i32(count);
    return count;
}

} // namespace

void read_object_sections(LineReader& r, Graph& g, int code) {
    GraphObject o;
    int32_t count = section_count(r);
    for (int32_t n = 0; n < count && !r.at_end(); ++n) {
        read_title(r, o, n, code);
        r.skip(1);
        if (FIRST_TEXT_SLOT + n < MAX_OBJECTS) g.objects[FIRST_TEXT_SLOT + n] = std::move(o);
    }
    count = section_count(r);
    for (int32_t n = 0; n < count && !r.at_end(); ++n) {
        const bool known = read_arrow(r, o);
        r.skip(1);
        if (known && n < FIRST_POINT_SLOT) g.objects[n] = std::move(o);
    }
    count = section_count(r);
    for (int32_t n = 0; n < count && !r.at_end(); ++n) {
        read_dot(r, o, code);
        r.skip(1);
        if (FIRST_POINT_SLOT + n < FIRST_TEXT_SLOT) g.objects[FIRST_POINT_SLOT + n] = std::move(o);
    }
}

int scan_point_object_line(std::string_view line, GraphObject& o) {
    Scan sc(line);
    sc.i32(o.points[0].x)
        .i32(o.points[0].y)
        .i32(o.PlotType)
        .i32(o.LineWidth)
        .i32(o.Length)
        .i32(o.LineStyle)
        .i32(o.Size1)
        .i32(o.Color)
        .i32(o.Color2)
        .i32(o.Pitch)
        .u32(o.DotStyle)
        .i32(o.fill_color)
        .i32(o.Hatch);
    return sc.count();
}

std::string rewrite_percent_codes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 3 < text.size() && (text[i + 1] == 'D' || text[i + 1] == 'N') &&
            digit(text[i + 2]) && digit(text[i + 3])) {
            out += '%';
            out.append(text.substr(i + 2, 2));
            out += text[i + 1] == 'D' ? 'E' : 'N';
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace plox::legacy
