// Positional reader of the graph body of a QVP document, versions 1.0 to 1.8. Every section is
// a function of the version code; the object sections before 1.7 are in qvp_legacy.cpp.
#include "document/document_io.h"
#include "document/extension_io.h"
#include "document/graph_ops.h"
#include "document/qvp_format.h"
#include "document/qvp_legacy.h"

#include <algorithm>

namespace plox {
namespace {

constexpr size_t text_limit(size_t capacity) {
    return std::min(capacity, LineReader::LINE_LIMIT);
}

void read_text(LineReader& r, std::string& dst, size_t capacity) {
    set_text(dst, r.line(text_limit(capacity)), capacity);
}

uint8_t to_byte(int32_t v) {
    return static_cast<uint8_t>(v);
}

// Lines 2 and 3. Before 1.3 neither exists; up to 1.5 the second is not interpreted, so the page
// fields keep their defaults.
void read_header(LineReader& r, Graph& g, ReadInfo& info, int code) {
    if (code < version::V1_3) return;
    read_text(r, g.comment, COMMENT_CAPACITY);
    if (code < version::V1_6) {
        r.line();
        return;
    }
    int32_t landscape = 0, scale = 100, width = 210, height = 297;
    int16_t paper = 2;
    Scan sc(r.line());
    sc.i32(info.with_data)
        .i32(info.same_directory)
        .i32(width)
        .i32(height)
        .i32(landscape)
        .i32(scale)
        .i16(paper);
    if (sc.count() >= 3) {
        g.page_width = width;
        g.page_height = height;
        g.landscape = landscape;
        g.page_scale = scale;
        g.paper_code = paper;
    }
}

void read_fit_block(LineReader& r, Series& s) {
    FitFunction f;
    int32_t n = 0;
    Scan sc(r.line());
    sc.i32(n).real(f.tolerance);
    for (double& p : f.parameters)
        sc.real(p);
    const int given = std::clamp(n, 0, 9);
    for (int i = given; i < 9; ++i)
        f.parameters[i] = 0;
    read_text(r, f.function, EXPRESSION_CAPACITY);
    for (int32_t i = 0; i < n && !r.at_end(); ++i) {
        std::string d;
        read_text(r, d, EXPRESSION_CAPACITY);
        if (i < 9) f.derivatives[i] = std::move(d);
    }
    f.parameter_free.fill(1);
    s.fit = std::move(f);
}

// The count line and the lines of an extension analysis: to the module when one is bound and
// knows the analysis, else kept verbatim (no module) or dropped (the module refused it).
void read_extension_lines(LineReader& r, Series& s, IoContext& ctx) {
    const std::string_view count_line = r.line();
    int32_t count = 0;
    Scan(count_line).i32(count);
    const bool to_module = ctx.extension && ctx.extension->init_analysis(s);
    if (!ctx.extension) s.extension_lines.emplace_back(count_line);
    for (int32_t i = 0; i < count && !r.at_end(); ++i) {
        const std::string_view line = r.line();
        if (to_module)
            ctx.extension->load_line(s, line, i);
        else if (!ctx.extension)
            s.extension_lines.emplace_back(line);
    }
}

// Lines s4 to s11 and the fit or extension lines of one series block.
void read_series_details(LineReader& r, Series& s, IoContext& ctx) {
    Scan(r.line())
        .i32(s.line.width)
        .i32(s.line.color)
        .i32(s.line.pitch)
        .i32(s.TabEqSpc)
        .i32(s.AbsLine)
        .i32(s.SkipComment)
        .i32(s.CountOutArea);
    Scan(r.line()).i32(s.LineType).i32(s.PlotType).i32(s.PlotSize).i32(s.marker_color);
    Scan(r.line())
        .i32(s.isRefUpAxis)
        .i32(s.isRefRightAxis)
        .i32(s.Step)
        .i32(s.XAvr)
        .i32(s.YAvr)
        .u32(s.DotStyle)
        .i32(s.fill_color)
        .i32(s.Hatch);

    const std::string_view s7 = r.line();
    Scan(s7).i32(s.IsXtrans).i32(s.IsYtrans).i32(s.Converter);
    if (const size_t quote = s7.find('"');
        quote != std::string_view::npos && ctx.extension && ctx.extension->has_converter_module()) {
        std::string_view name = s7.substr(quote + 1);
        if (!name.empty()) name.remove_suffix(1); // the closing quote is the line's last character
        s.Converter = ctx.extension->converter_number(name);
    }
    read_text(r, s.Xtrans, EXPRESSION_CAPACITY);
    read_text(r, s.Ytrans, EXPRESSION_CAPACITY);
    Scan(r.line())
        .i32(s.curve_scale_type)
        .i32(s.curve_points)
        .i32(s.degree)
        .i32(s.analysis_option)
        .real(s.curve_from)
        .real(s.curve_to)
        .real(s.analysis_values[0])
        .real(s.analysis_values[1])
        .real(s.BarBottom);
    Scan(r.line())
        .i32(s.curve_line_type)
        .i32(s.curve_line.width)
        .i32(s.curve_line.color)
        .i32(s.curve_line.pitch)
        .i32(s.shown);

    if (s.kind == kind::General)
        read_fit_block(r, s);
    else if (s.kind == kind::Extension1 || s.kind == kind::Extension2)
        read_extension_lines(r, s, ctx);
    else
        s.analysis_name.clear();
    r.skip(2);
}

void read_series(LineReader& r, Graph& g, ReadInfo& info, IoContext& ctx, int code) {
    std::string_view bracketed = r.line(); // "[name]"
    if (bracketed.size() >= 2 && bracketed.front() == '[' && bracketed.back() == ']')
        bracketed = bracketed.substr(1, bracketed.size() - 2);
    const std::string name(bracketed);
    std::string path;
    read_text(r, path, PATH_CAPACITY);

    int32_t exponent = 0, literal = 0, errorbar1 = 0, errorbar2 = 0, column_x = 0, column_y = 1;
    int32_t points = 0, start = 0, end = -1;
    std::string analysis;
    if (code == version::V1_0) {
        int32_t ignored = 0;
        Scan(r.line())
            .i32(exponent)
            .i32(literal)
            .i32(ignored)
            .i32(column_x)
            .i32(column_y)
            .i32(points)
            .i32(start)
            .i32(end);
    } else {
        Scan(r.line())
            .i32(exponent)
            .i32(literal)
            .i32(errorbar1)
            .i32(errorbar2)
            .i32(column_x)
            .i32(column_y)
            .i32(points)
            .i32(start)
            .i32(end)
            .word(analysis);
    }

    Series scratch; // a series beyond the limit is read into this and dropped
    Series* s = &scratch;
    if (g.series_count < MAX_SERIES)
        s = &g.series[add_series(g, path, nullptr)];
    else
        ++info.series_skipped;

    s->kind = exponent >= 0 && exponent <= 10 ? int32_t{1} << exponent : kind::Data;
    s->Errorbar1 = errorbar1;
    s->Errorbar2 = errorbar2;
    s->ColumnX = literal == 3 ? -1 : column_x;
    s->ColumnY = column_y;
    s->Start = start;
    s->End = end;
    s->point_count = points; // only until the data file is read again
    set_text(s->analysis_name, analysis, EXPRESSION_CAPACITY);
    read_series_details(r, *s, ctx);
    if (s->kind == kind::Spline && code <= version::V1_2) s->degree = 0;
    // Up to 1.5 a series path that is just the series' own name marks embedded data.
    if (code <= version::V1_5 && s->kind != kind::Function && !path.empty() && path == name)
        info.with_data = 1;
}

void read_graph_section(LineReader& r, Graph& g, int code) {
    r.line(); // "[GRAPH]"
    int32_t left = g.frame_left, top = g.frame_top, width = g.frame_width, height = g.frame_height;
    Scan(r.line()).i32(left).i32(top).i32(width).i32(height);
    clamp_frame(left, top, width, height);
    g.frame_left = left;
    g.frame_top = top;
    g.frame_width = width;
    g.frame_height = height;
    const std::string_view g3 = r.line();
    if (code <= version::V1_1)
        Scan(g3).i32(g.Magnification).i32(g.FrameType);
    else
        Scan(g3)
            .i32(g.Magnification)
            .i32(g.FrameType)
            .i32(g.zero_shared)
            .i32(g.reserved_flag)
            .i32(g.count_all_series)
            .i32(g.log_decades_as_numbers);
    if (code <= version::V1_2) g.reserved_flag = 0;
    if (code <= version::V1_5) {
        g.count_all_series = 1;
        g.log_decades_as_numbers = 0;
    }
    g.Magnification = std::clamp(g.Magnification, 5, 32000);
    Scan(r.line())
        .i32(g.frame_line.width)
        .i32(g.frame_line.color)
        .i32(g.frame_line.pitch)
        .i32(g.background_color);
    r.skip(1);
}

void read_axis(LineReader& r, Axis& a, int code) {
    r.line(); // "[AXIS-n]"
    Scan a2(r.line());
    a2.real(a.from).real(a.to).real(a.increment);
    if (code >= version::V1_2)
        a2.i32(a.limited_base_line)
            .i32(a.base_line_from)
            .i32(a.base_line_to)
            .i32(a.crossing)
            .i32(a.label_count)
            .i32(a.label_start)
            .i32(a.label_interval)
            .i32(a.plus_sign)
            .i32(a.keep_zero)
            .i32(a.zero_as_0)
            .i32(a.integer_digits)
            .i32(a.fraction_digits)
            .real(a.reserved_real)
            .i32(a.overflow_digits);
    if (code <= version::V1_3) {
        a.overflow_digits = 1;
        a.limited_base_line = 0;
        a.base_line_from = 0;
        a.base_line_to = 10000;
    }
    Scan a3(r.line());
    a3.i32(a.division)
        .i32(a.scale_type)
        .i32(a.auto_step)
        .i32(a.common)
        .i32(a.draw)
        .i32(a.draw_labels)
        .i32(a.label_shift_right)
        .i32(a.label_shift_down)
        .i32(a.label_color);
    if (code >= version::V1_3) a3.i32(a.reserved1).i32(a.reserved2);
    read_font(r, a.label_font, code <= version::V1_5);
    Scan(r.line())
        .i32(a.major_in)
        .i32(a.major_out)
        .i32(a.major_length)
        .i32(a.major_line.width)
        .i32(a.major_line.color)
        .i32(a.major_line.pitch)
        .i32(a.major_line_type);
    Scan(r.line())
        .i32(a.minor_in)
        .i32(a.minor_out)
        .i32(a.minor_length)
        .i32(a.minor_line.width)
        .i32(a.minor_line.color)
        .i32(a.minor_line.pitch)
        .i32(a.minor_line_type);
    r.skip(1);
}

} // namespace

void read_object_line(LineReader& r, GraphObject& o) {
    int32_t type = o.Type;
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
        .i32(type)
        .i32(o.Pitch)
        .i32(o.LineStyle)
        .i32(o.Color2)
        .i32(o.Size1)
        .i32(o.Size2)
        .i32(o.alignment)
        .i32(o.Open)
        .i32(o.Shut);
    if (sc.count() <= 15) {
        o.alignment = 1;
        o.Open = 30;
        o.Shut = 100;
    }
}

namespace {

// One object block after its type line; false for an unknown type (one line skipped). 1.7 stores
// neither the third text font nor the picture box.
bool read_object(LineReader& r, GraphObject& o, int32_t type, int code) {
    o = GraphObject{};
    o.Type = type;
    if (type >= object_type::TitleX && type <= object_type::Text) {
        Scan sc(r.line());
        sc.i32(o.x).i32(o.y).i32(o.Color).i32(o.Back).i32(o.alignment);
        if (sc.count() < 5) o.alignment = 0;
        read_text(r, o.Str, OBJECT_TEXT_CAPACITY);
        read_font(r, o.Font1);
        read_font(r, o.Font2);
        if (code >= version::V1_8) read_font(r, o.Font3);
    } else if (type == object_type::PointObject) {
        legacy::scan_point_object_line(r.line(), o);
        int32_t n = 1;
        Scan(r.line()).i32(n);
        for (int32_t i = 1; i < n && !r.at_end(); ++i) {
            Point32 p;
            Scan(r.line()).i32(p.x).i32(p.y);
            if (i < MAX_OBJECT_POINTS) o.points[i] = p;
        }
        o.alignment = std::clamp(n, 1, MAX_OBJECT_POINTS);
        r.line(); // "0 0 0.0 0.0"
    } else if (type == object_type::Picture) {
        read_text(r, o.Str, PATH_CAPACITY);
        if (code >= version::V1_8)
            Scan(r.line())
                .i32(o.picture_box[0])
                .i32(o.picture_box[1])
                .i32(o.picture_box[2])
                .i32(o.picture_box[3]);
        read_object_line(r, o);
        if (code < version::V1_8) o.picture_box = {0, 0, o.Length, 0};
    } else if (type >= object_type::FilledArrow && type <= object_type::Rectangle) {
        read_object_line(r, o);
    } else {
        r.skip(1);
        return false;
    }
    r.skip(1);
    o.used = 1;
    return true;
}

void read_objects(LineReader& r, Graph& g, int code) {
    r.line(); // "[LEGEND]"
    int32_t count = 0;
    Scan(r.line()).i32(count);
    int slot = 0;
    for (int32_t i = 0; i < count && !r.at_end(); ++i) {
        int32_t type = -1;
        Scan(r.line()).i32(type);
        GraphObject o;
        if (read_object(r, o, type, code) && slot < MAX_OBJECTS) g.objects[slot++] = std::move(o);
    }
}

void read_trailer(LineReader& r, Graph& g, ReadInfo& info, int code) {
    r.line(); // "[OTHERS]"
    int32_t groups = 0;
    Scan(r.line()).i32(groups);
    if (groups >= 2) {
        Scan sc(r.line());
        for (double& c : g.user_constants)
            sc.real(c);
        read_font(r, g.symbol_font, code <= version::V1_5);
    }
    if (groups >= 3) info.saved_path = std::string(r.line(PATH_CAPACITY));
    r.skip(1);
    if (code <= version::V1_4) return;

    r.line(); // "[MASKS]"
    int32_t count = 0;
    Scan(r.line()).i32(count);
    g.mask_count = 0;
    for (int32_t i = 0; i < count && !r.at_end(); ++i) {
        Mask m;
        Scan(r.line()).i32(m.series).real(m.area[0]).real(m.area[1]).real(m.area[2]).real(
            m.area[3]);
        if (g.mask_count < MAX_MASKS) g.masks[g.mask_count++] = m;
    }
    r.skip(3); // "0", "0", empty
}

} // namespace

void read_font(LineReader& r, LogFont& f, bool points) {
    int32_t v[13] = {f.height,          f.width,         -f.escapement,    f.orientation,
                     f.weight,          f.italic,        f.underline,      f.strike_out,
                     f.charset,         f.out_precision, f.clip_precision, f.quality,
                     f.pitch_and_family};
    Scan sc(r.line());
    for (int32_t& x : v)
        sc.i32(x);
    f.height =
        points
            ? static_cast<int32_t>(std::clamp<int64_t>(int64_t{v[0]} * 100, INT32_MIN, INT32_MAX))
            : v[0];
    f.width = v[1];
    int64_t e = v[2] > 0 ? 3600 - int64_t{v[2]} : -int64_t{v[2]};
    e %= 3600;
    if (e < 0) e += 3600;
    f.escapement = static_cast<int32_t>(e);
    f.orientation = f.escapement;
    f.weight = v[4];
    f.italic = to_byte(v[5]);
    f.underline = to_byte(v[6]);
    f.strike_out = to_byte(v[7]);
    f.charset = to_byte(v[8]);
    f.out_precision = to_byte(v[9]);
    f.clip_precision = to_byte(v[10]);
    f.quality = to_byte(v[11]);
    f.pitch_and_family = to_byte(v[12]);
    read_text(r, f.face, FACE_CAPACITY);
}

bool read_graph_body(LineReader& r, Graph& g, int code, ReadInfo& info, IoContext& ctx) {
    if (code < version::V1_0 || code > version::V1_8) return false;
    read_header(r, g, info, code);
    int32_t count = 0;
    Scan(r.line()).i32(count);
    for (int32_t i = 0; i < count && !r.at_end(); ++i)
        read_series(r, g, info, ctx, code);
    read_graph_section(r, g, code);
    for (Axis& a : g.axes)
        read_axis(r, a, code);
    if (code >= version::V1_7)
        read_objects(r, g, code);
    else
        legacy::read_object_sections(r, g, code);
    read_trailer(r, g, info, code);

    for (GraphObject& o : g.objects) {
        if (!o.used || o.Type < object_type::TitleX || o.Type > object_type::Text) continue;
        if (code <= version::V1_7) o.Font3 = g.symbol_font;
        if (code <= version::V1_1)
            set_text(o.Str, legacy::rewrite_percent_codes(o.Str), OBJECT_TEXT_CAPACITY);
    }
    return true;
}

} // namespace plox
