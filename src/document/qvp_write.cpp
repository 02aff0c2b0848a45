// Writers of version 1.8 documents and of the 1.5 layout of the 16-bit edition: exactly the lines
// of the format, in order, CR LF ends.
#include "document/document_io.h"
#include "document/extension_io.h"
#include "document/paths.h"
#include "document/qvp_format.h"
#include "document/qvp_legacy.h"

#include <algorithm>
#include <bit>

namespace plox {
namespace {

using U = LineWriter::Unsigned;

// A text field fills one line: a stray line break inside it would shift every later line.
void text_line(LineWriter& w, std::string_view s) {
    std::string t(s);
    std::replace_if(
        t.begin(), t.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    w.line(t);
}

int32_t kind_exponent(int32_t kind) {
    const auto k = static_cast<uint32_t>(kind);
    return std::has_single_bit(k) && k <= 1024u ? std::countr_zero(k) : 0;
}

// Series and picture paths: by name when next to the document and the same-directory setting
// is on, otherwise in full. The 1.5 layout knows no same-directory setting: a bare name there
// means embedded data.
std::string stored_path(std::string_view path, const WriteOptions& o, bool picture,
                        bool layout_1_5 = false) {
    if (layout_1_5) return std::string(o.with_data ? paths::file_name_of(path) : path);
    if (o.with_data) return std::string(picture ? paths::file_name_of(path) : path);
    if (o.same_directory && !path.empty() && !o.document_path.empty() &&
        paths::equal_nocase(paths::directory_of(path), paths::directory_of(o.document_path)))
        return std::string(paths::file_name_of(path));
    return std::string(path);
}

void write_series(LineWriter& w, const Series& s, const WriteOptions& o, IoContext& ctx,
                  bool layout_1_5) {
    const bool extension = s.kind == kind::Extension1 || s.kind == kind::Extension2;
    w.text("[").text(paths::display_name(s.file_name)).text("]").end();
    text_line(w, stored_path(s.file_name, o, false, layout_1_5));
    w.fields(kind_exponent(s.kind), 0, s.Errorbar1, s.Errorbar2, s.ColumnX, s.ColumnY,
             s.point_count, s.Start, s.End);
    text_line(w.text(" "), extension ? std::string_view(s.analysis_name) : std::string_view{});
    w.values(s.line.width, s.line.color, s.line.pitch, s.TabEqSpc, s.AbsLine, s.SkipComment,
             s.CountOutArea);
    w.values(s.LineType, s.PlotType, s.PlotSize, s.marker_color);
    w.values(s.isRefUpAxis, s.isRefRightAxis, s.Step, s.XAvr, s.YAvr,
             U{static_cast<uint32_t>(s.DotStyle)}, s.fill_color, s.Hatch);
    w.fields(s.IsXtrans, s.IsYtrans, s.Converter);
    if (s.Converter != 0 && ctx.extension && ctx.extension->has_converter_module())
        text_line(w.text(" \""), ctx.extension->converter_name(s.Converter) + "\"");
    else
        w.end();
    text_line(w, s.Xtrans);
    text_line(w, s.Ytrans);
    w.values(s.curve_scale_type, s.curve_points, s.degree, s.analysis_option, s.curve_from,
             s.curve_to, s.analysis_values[0], s.analysis_values[1], s.BarBottom);
    w.values(s.curve_line_type, s.curve_line.width, s.curve_line.color, s.curve_line.pitch,
             s.shown);

    // The reader expects these lines for every series of the kind, so a series without its block
    // writes a default one rather than nothing.
    if (s.kind == kind::General) {
        const FitFunction f = s.fit.value_or(FitFunction{});
        const auto& p = f.parameters;
        w.values(9, f.tolerance, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]);
        text_line(w, f.function);
        for (const std::string& d : f.derivatives)
            text_line(w, d);
    } else if (extension) {
        std::vector<std::string> lines;
        if (s.extension && ctx.extension)
            lines = ctx.extension->save_lines(s);
        else
            lines = s.extension_lines;
        if (lines.empty()) lines.emplace_back("0");
        for (const std::string& l : lines)
            text_line(w, l);
    }
    w.line("").line("");
}

void write_object_line(LineWriter& w, const GraphObject& o) {
    const auto& p = o.position;
    w.values(p[0], p[1], p[2], p[3], o.RefX, o.RefY, o.LineWidth, o.Length, o.Color, o.Type,
             o.Pitch, o.LineStyle, o.Color2, o.Size1, o.Size2, o.alignment, o.Open, o.Shut);
}

bool known_type(int32_t type) {
    return type >= object_type::FilledArrow && type <= object_type::Picture;
}

void write_object(LineWriter& w, const GraphObject& o, const WriteOptions& opt) {
    w.values(o.Type);
    if (o.Type >= object_type::TitleX && o.Type <= object_type::Text) {
        w.values(o.x, o.y, o.Color, o.Back, o.alignment);
        text_line(w, o.Str);
        write_font(w, o.Font1);
        write_font(w, o.Font2);
        write_font(w, o.Font3);
    } else if (o.Type == object_type::PointObject) {
        // Point objects of documents before 1.5 keep their count of 0.
        const int n = std::clamp(o.alignment, 0, MAX_OBJECT_POINTS);
        w.values(o.points[0].x, o.points[0].y, o.PlotType, o.LineWidth, o.Length, o.LineStyle,
                 o.Size1, o.Color, o.Color2, o.Pitch, U{static_cast<uint32_t>(o.DotStyle)},
                 o.fill_color, o.Hatch);
        w.values(n);
        for (int i = 1; i < n; ++i)
            w.values(o.points[i].x, o.points[i].y);
        w.line("0 0 0.0 0.0");
    } else if (o.Type == object_type::Picture) {
        text_line(w, stored_path(o.Str, opt, true));
        w.values(o.picture_box[0], o.picture_box[1], o.picture_box[2], o.picture_box[3]);
        write_object_line(w, o);
    } else {
        write_object_line(w, o);
    }
    w.line("");
}

void write_axis(LineWriter& w, const Axis& a, int index, bool points) {
    w.text("[AXIS-").text(std::to_string(index)).line("]");
    w.values(a.from, a.to, a.increment, a.limited_base_line, a.base_line_from, a.base_line_to,
             a.crossing, a.label_count, a.label_start, a.label_interval, a.plus_sign, a.keep_zero,
             a.zero_as_0, a.integer_digits, a.fraction_digits, a.reserved_real, a.overflow_digits);
    w.values(a.division, a.scale_type, a.auto_step, a.common, a.draw, a.draw_labels,
             a.label_shift_right, a.label_shift_down, a.label_color, a.reserved1, a.reserved2);
    write_font(w, a.label_font, points);
    w.values(a.major_in, a.major_out, a.major_length, a.major_line.width, a.major_line.color,
             a.major_line.pitch, a.major_line_type);
    w.values(a.minor_in, a.minor_out, a.minor_length, a.minor_line.width, a.minor_line.color,
             a.minor_line.pitch, a.minor_line_type);
    w.line("");
}

void write_masks(LineWriter& w, const Graph& g, const WriteOptions& o) {
    w.line("[MASKS]");
    const int masks = o.template_document ? 0 : std::clamp(g.mask_count, 0, MAX_MASKS);
    w.text(" ").values(masks);
    for (int i = 0; i < masks; ++i) {
        const Mask& m = g.masks[i];
        w.values(m.series, m.area[0], m.area[1], m.area[2], m.area[3]);
    }
    w.line("0").line("0").line("");
}

// [TITLE]: the four axis titles in the order X, Y, U, R (a default entry for a missing one),
// then the free texts.
void write_titles_1_5(LineWriter& w, const Graph& g) {
    const auto is_text = [](const GraphObject& ob) {
        return ob.used && ob.Type == object_type::Text;
    };
    w.line("[TITLE]");
    w.values(static_cast<int32_t>(4 + std::count_if(g.objects.begin(), g.objects.end(), is_text)));
    const auto entry = [&w](const GraphObject& ob) {
        w.values(ob.x, ob.y, ob.Color, ob.Back);
        text_line(w, ob.Str);
        write_font(w, ob.Font1, true);
        write_font(w, ob.Font2, true);
        w.line("");
    };
    for (int32_t type = object_type::TitleX; type <= object_type::TitleR; ++type) {
        const auto title =
            std::find_if(g.objects.begin(), g.objects.end(),
                         [type](const GraphObject& ob) { return ob.used && ob.Type == type; });
        if (title != g.objects.end()) {
            entry(*title);
            continue;
        }
        w.line("4900 11600 0 1").line("");
        w.line("-24 0 0 0 700 255 0 0 0 3 2 1 18").line("Times New Roman");
        w.line("-24 0 0 0 700 1 0 0 128 3 2 1 17");
        w.line("\x82\x6c\x82\x72 \x96\xbe\x92\xa9"); // "ＭＳ 明朝" in Shift-JIS
        w.line("");
    }
    for (const GraphObject& ob : g.objects)
        if (is_text(ob)) entry(ob);
}

// [ARROW]: arrows, lines, rectangles and pictures, the picture path at the end of the line.
void write_arrows_1_5(LineWriter& w, const Graph& g, const WriteOptions& o) {
    const auto is_arrow = [](const GraphObject& ob) {
        return ob.used &&
               ((ob.Type >= object_type::FilledArrow && ob.Type <= object_type::Rectangle) ||
                ob.Type == object_type::Picture);
    };
    w.line("[ARROW]");
    w.values(static_cast<int32_t>(std::count_if(g.objects.begin(), g.objects.end(), is_arrow)));
    for (const GraphObject& ob : g.objects) {
        if (!is_arrow(ob)) continue;
        const auto& p = ob.position;
        w.fields(p[0], p[1], p[2], p[3], ob.RefX, ob.RefY, ob.LineWidth, ob.Length, ob.Color,
                 ob.Type, ob.Pitch, ob.LineStyle, ob.Color2);
        const bool picture = ob.Type == object_type::Picture;
        text_line(w.text(" "), picture ? stored_path(ob.Str, o, true, true) : std::string());
        w.line("");
    }
}

void write_dots_1_5(LineWriter& w, const Graph& g) {
    const auto is_dot = [](const GraphObject& ob) {
        return ob.used && ob.Type == object_type::PointObject;
    };
    w.line("[DOT]");
    w.values(static_cast<int32_t>(std::count_if(g.objects.begin(), g.objects.end(), is_dot)));
    for (const GraphObject& ob : g.objects) {
        if (!is_dot(ob)) continue;
        const int n = std::clamp(ob.alignment, 0, MAX_OBJECT_POINTS);
        w.values(ob.points[0].x, ob.points[0].y, ob.PlotType, ob.LineWidth, ob.Length, ob.LineStyle,
                 ob.Size1, ob.Color, ob.Color2, ob.Pitch, U{static_cast<uint32_t>(ob.DotStyle)},
                 ob.fill_color, ob.Hatch);
        w.values(n);
        for (int i = 1; i < n; ++i)
            w.values(ob.points[i].x, ob.points[i].y);
        w.line("");
    }
}

} // namespace

void write_font(LineWriter& w, const LogFont& f, bool points) {
    w.values(points ? f.height / 100 : f.height, f.width,
             static_cast<int32_t>(-int64_t{f.escapement}), f.orientation, f.weight,
             int32_t{f.italic}, int32_t{f.underline}, int32_t{f.strike_out}, int32_t{f.charset},
             int32_t{f.out_precision}, int32_t{f.clip_precision}, int32_t{f.quality},
             int32_t{f.pitch_and_family});
    text_line(w, f.face);
}

void write_graph_document(LineWriter& w, const Graph& g, const WriteOptions& o, IoContext& ctx) {
    w.line(VERSION_LINE_1_8);
    text_line(w, g.comment);
    w.values(o.with_data ? 1 : 0, o.same_directory ? 1 : 0, g.page_width, g.page_height,
             g.landscape, g.page_scale, g.paper_code);
    const int series = o.template_document ? 0 : std::clamp(g.series_count, 0, MAX_SERIES);
    w.values(series);
    for (int i = 0; i < series; ++i)
        write_series(w, g.series[i], o, ctx, false);

    w.line("[GRAPH]");
    w.values(g.frame_left, g.frame_top, g.frame_width, g.frame_height);
    w.values(g.Magnification, g.FrameType, g.zero_shared, g.reserved_flag, g.count_all_series,
             g.log_decades_as_numbers);
    w.values(g.frame_line.width, g.frame_line.color, g.frame_line.pitch, g.background_color);
    w.line("");
    for (int i = 0; i < 4; ++i)
        write_axis(w, g.axes[i], i, false);

    w.line("[LEGEND]");
    w.values(static_cast<int32_t>(
        std::count_if(g.objects.begin(), g.objects.end(),
                      [](const GraphObject& ob) { return ob.used && known_type(ob.Type); })));
    for (const GraphObject& ob : g.objects)
        if (ob.used && known_type(ob.Type)) write_object(w, ob, o);

    w.line("[OTHERS]");
    w.line(o.with_data ? " 2" : " 3");
    const auto& c = g.user_constants;
    w.values(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    write_font(w, g.symbol_font);
    if (!o.with_data) text_line(w, o.document_path);
    w.line("");
    write_masks(w, g, o);
}

void write_graph_document_1_5(LineWriter& w, const Graph& g, const WriteOptions& o,
                              IoContext& ctx) {
    w.line(VERSION_LINE_1_5);
    text_line(w, g.comment);
    w.line("");
    const int series = o.template_document ? 0 : std::clamp(g.series_count, 0, MAX_SERIES);
    w.values(series);
    for (int i = 0; i < series; ++i)
        write_series(w, g.series[i], o, ctx, true);

    w.line("[GRAPH]");
    w.values(g.frame_left, g.frame_top, g.frame_width, g.frame_height);
    w.values(g.Magnification, g.FrameType, g.zero_shared, g.reserved_flag);
    w.values(g.frame_line.width, g.frame_line.color, g.frame_line.pitch, g.background_color);
    w.line("");
    for (int i = 0; i < 4; ++i)
        write_axis(w, g.axes[i], i, true);

    write_titles_1_5(w, g);
    write_arrows_1_5(w, g, o);
    write_dots_1_5(w, g);

    w.line("[OTHERS]");
    w.line(" 2");
    const auto& c = g.user_constants;
    w.values(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    write_font(w, g.symbol_font, true);
    w.line("");
    write_masks(w, g, o);
}

} // namespace plox
