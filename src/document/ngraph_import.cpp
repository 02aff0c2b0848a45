// Import of Ngraph 5.3 projects. The project is read strictly by position; lengths in tenths of
// a millimetre become hundredths, and Ngraph's colour, line, plot and font codes are translated.
#include "document/ngraph_import.h"

#include "document/document_io.h"
#include "document/graph_ops.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace plox {
namespace ngraph {
namespace {

constexpr std::array<int32_t, 40> PLOT_TYPES = {0,  0,  0,  0,  0,  0,  0, 2, 2,  2,  1,  1, 14, 14,
                                                6,  5,  5,  10, 9,  9,  4, 3, 3,  8,  7,  7, 11, 12,
                                                13, 13, 13, 26, 26, 26, 0, 0, 28, 27, 27, 27};

// Shift-JIS bytes of the two Japanese faces.
constexpr const char* MINCHO = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9"; // "ＭＳ 明朝"
constexpr const char* GOTHIC =
    "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e"; // "ＭＳ ゴシック"

char column(std::string_view line, size_t i) {
    return i < line.size() ? line[i] : ' ';
}

// Tenths of a millimetre to hundredths, saturating.
int32_t x10(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v * 10, -1'000'000'000, 1'000'000'000));
}

bool digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

void set_latin_family(LogFont& f, char code) {
    f.pitch_and_family = 18;
    if (code == 'C') {
        f.face = "Courier New";
        f.pitch_and_family = 49;
    } else if (code == 'H') {
        f.face = "Arial";
    } else {
        f.face = "Times New Roman";
    }
}

void set_size(FontSpec& s, int32_t points) {
    s.latin.height = s.japanese.height = -100 * points;
}

void set_style(FontSpec& s, int32_t weight, int italic) {
    for (LogFont* f : {&s.latin, &s.japanese}) {
        if (weight > 0) f->weight = weight;
        if (italic >= 0) f->italic = static_cast<uint8_t>(italic);
    }
}

} // namespace

int32_t colour(int32_t index) {
    static constexpr std::array<int32_t, 7> TABLE = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                     0x0000FF, 0xFF00FF, 0x00FFFF};
    return index >= 0 && index < 7 ? TABLE[static_cast<size_t>(index)] : 0xFFFFFF;
}

int32_t line_type(int32_t t) {
    switch (t) {
    case 1:
        return 3;
    case 2:
        return 2;
    case 3:
        return 4;
    default:
        return 1;
    }
}

int32_t plot_type(int32_t g) {
    return g >= 0 && g < 40 ? PLOT_TYPES[static_cast<size_t>(g)] : 0;
}

int32_t point_plot_type(int32_t k) {
    if (k == 0) return 29;
    if (k == 1) return 30;
    if (k == 2 || k == 3) return 31;
    if (k >= 4 && k <= 25) return plot_type(k + 3);
    if (k >= 26 && k <= 28) return 27;
    return 0;
}

FontSpec font_spec(std::string_view spec, int32_t escapement) {
    FontSpec s;
    for (LogFont* f : {&s.latin, &s.japanese}) {
        f->escapement = f->orientation = escapement;
        f->quality = 2;
        f->pitch_and_family = 18;
        f->weight = 400;
    }
    set_latin_family(s.latin, column(spec, 2));
    s.japanese.face = column(spec, 5) == 'G' ? GOTHIC : MINCHO;
    s.japanese.charset = 128;
    const char d1 = column(spec, 8), d2 = column(spec, 9);
    int32_t size = 0;
    if (digit(d1)) size = d1 - '0';
    if (digit(d2)) size = digit(d1) ? size * 10 + (d2 - '0') : d2 - '0';
    set_size(s, size);
    switch (column(spec, 16)) {
    case 'B':
        set_style(s, 700, -1);
        break;
    case 'I':
        set_style(s, 0, 1);
        break;
    case 'O':
        set_style(s, 700, 1);
        break;
    default:
        break;
    }
    const char c = column(spec, 19);
    s.color = colour(digit(c) ? c - '0' : -1);
    return s;
}

std::string transform_text(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '%')
            out += "#00";
        else
            out += c;
    }
    return out;
}

std::string fit_text(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && digit(text[i + 1]) && digit(text[i + 2])) {
            out += static_cast<char>('a' + (text[i + 2] - '0'));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Takes the leading codes off a text and applies them to its fonts and colour; later "%S" codes
// become size percentages of the (final) font height.
std::string apply_text_codes(std::string_view text, FontSpec& s) {
    size_t i = 0;
    while (i + 1 < text.size() && text[i] == '%') {
        const char code = text[i + 1];
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(code)));
        const char arg = i + 2 < text.size() ? text[i + 2] : '\0';
        if (up == 'C' && digit(arg)) {
            s.color = colour(arg - '0');
            i += 3;
        } else if ((code == 'F' || code == 'd') && arg != '\0') {
            set_latin_family(s.latin,
                             static_cast<char>(std::toupper(static_cast<unsigned char>(arg))));
            i += 3;
        } else if (up == 'J' && arg != '\0') {
            s.japanese.face =
                std::toupper(static_cast<unsigned char>(arg)) == 'G' ? GOTHIC : MINCHO;
            i += 3;
        } else if (up == 'I' || up == 'O' || up == 'B' || up == 'R') {
            if (up == 'I') set_style(s, 0, 1);
            if (up == 'O') set_style(s, 700, 1);
            if (up == 'B') set_style(s, 700, -1);
            if (up == 'R') set_style(s, 400, 0);
            i += 2;
        } else if (up == 'S' && digit(arg) && i + 3 < text.size() && digit(text[i + 3])) {
            set_size(s, (arg - '0') * 10 + (text[i + 3] - '0'));
            i += 4;
        } else {
            break;
        }
    }
    const int32_t points = -s.latin.height / 100;
    std::string out;
    for (size_t j = i; j < text.size(); ++j) {
        if (text[j] == '%' && j + 3 < text.size() && text[j + 1] == 'S' && digit(text[j + 2]) &&
            digit(text[j + 3])) {
            const int32_t size = (text[j + 2] - '0') * 10 + (text[j + 3] - '0');
            const int32_t percent = points > 0 ? std::min(size * 100 / points, 999) : 100;
            char buf[8];
            std::snprintf(buf, sizeof buf, "%03d", percent);
            out += '%';
            out += buf;
            j += 3;
        } else {
            out += text[j];
        }
    }
    return out;
}

} // namespace ngraph

namespace {

using namespace ngraph;

constexpr int FIT_BLOCK_LINES = 17;

struct ImportState {
    int fit_source = -1;
    int32_t x_offset = 0, y_offset = 0;
    std::array<FontSpec, 8> specs; // 1 to 7
};

// Lines 2.2 to 2.6 of one series.
void read_series_lines(LineReader& r, Series& s, std::string_view values, int index,
                       ImportState& st) {
    int32_t cx = 1, cy = 2, g = 0, t = 0, colour_index = 0;
    Scan(values)
        .i32(cx)
        .i32(cy)
        .i32(s.isRefUpAxis)
        .i32(s.isRefRightAxis)
        .i32(g)
        .i32(t)
        .i32(s.line.width)
        .i32(colour_index)
        .i32(s.PlotSize)
        .i32(s.line.pitch);
    s.marker_color = s.line.color = colour(colour_index);
    s.PlotSize = x10(s.PlotSize);
    s.line.pitch = x10(s.line.pitch);
    s.PlotType = plot_type(g);
    s.LineType = 0;
    s.degree = 1;
    if (g == 0) s.LineType = line_type(t);
    if (g >= 2 && g <= 5) {
        static constexpr int32_t VARIANTS[4] = {1, 2, 0, 3};
        s.kind = kind::Spline;
        s.degree = VARIANTS[g - 2];
    }
    if (g == 40) s.Errorbar2 = 1;
    if (g == 41) s.Errorbar1 = 1;
    if (g >= 42 && g <= 47) {
        s.kind = kind::Polynomial;
        s.degree = g - 41;
    }
    if (g == 48) s.kind = kind::Power;
    if (g == 49) s.kind = kind::Exponential;
    if (g == 50) s.kind = kind::Logarithmic;
    if (g == 51) {
        s.kind = kind::General;
        s.fit = FitFunction{};
        st.fit_source = index;
    }
    if (s.kind != kind::Data) s.curve_line_type = line_type(t);

    Scan(r.line()).i32(s.Start).i32(s.Step).i32(s.End).i32(s.XAvr).i32(s.YAvr);
    s.AbsLine = 1;
    Scan(r.line()).i32(s.analysis_option).real(s.analysis_values[0]).real(s.analysis_values[1]);
    set_text(s.Xtrans, transform_text(r.line(EXPRESSION_CAPACITY)), EXPRESSION_CAPACITY);
    set_text(s.Ytrans, transform_text(r.line(EXPRESSION_CAPACITY)), EXPRESSION_CAPACITY);
    // An empty transform switched on would fail every drawing with "No expression".
    s.IsXtrans = s.Xtrans.empty() ? 0 : 1;
    s.IsYtrans = s.Ytrans.empty() ? 0 : 1;
}

void read_all_series(LineReader& r, Graph& g, ReadInfo& info, ImportState& st) {
    int32_t count = 0;
    Scan(r.line()).i32(count);
    for (int32_t i = 0; i < count && !r.at_end(); ++i) {
        const std::string path(r.line(PATH_CAPACITY));
        const std::string values(r.line());
        if (g.series_count >= MAX_SERIES) {
            ++info.series_skipped;
            r.skip(4);
            continue;
        }
        const int index = add_series(g, path, nullptr);
        Series& s = g.series[index];
        int32_t cx = 1, cy = 2;
        Scan(values).i32(cx).i32(cy);
        s.ColumnX = cx - 1;
        s.ColumnY = cy - 1;
        read_series_lines(r, s, values, index, st);
    }
}

void read_fit_block(LineReader& r, Graph& g, const ImportState& st) {
    if (st.fit_source < 0) {
        r.skip(FIT_BLOCK_LINES);
        return;
    }
    FitFunction f;
    Scan(r.line()).real(f.tolerance);
    const bool derivatives = r.line().starts_with('Y');
    for (int i = 0; i < 7; ++i) {
        f.parameters[static_cast<size_t>(i)] = 0;
        Scan(r.line()).real(f.parameters[static_cast<size_t>(i)]);
    }
    f.parameters[7] = f.parameters[8] = 0;
    f.parameter_free.fill(1);
    set_text(f.function, fit_text(r.line(EXPRESSION_CAPACITY)), EXPRESSION_CAPACITY);
    for (int i = 0; i < 7; ++i) {
        const std::string d = fit_text(r.line(EXPRESSION_CAPACITY));
        if (derivatives) set_text(f.derivatives[static_cast<size_t>(i)], d, EXPRESSION_CAPACITY);
    }
    for (int i = 0; i < g.series_count; ++i)
        if (g.series[i].kind == kind::General) g.series[i].fit = f;
}

void read_frame(LineReader& r, Graph& g, ImportState& st) {
    int32_t type = g.FrameType, zoom = g.Magnification * 21;
    int32_t left = g.frame_left, top = g.frame_top, width = g.frame_width, height = g.frame_height;
    Scan sc(r.line());
    sc.i32(type)
        .i32(st.y_offset)
        .i32(st.x_offset)
        .i32(zoom)
        .i32(left)
        .i32(top)
        .i32(width)
        .i32(height);
    g.FrameType = type == 2 ? 3 : type;
    g.Magnification = std::clamp(zoom / 21, 5, 32000);
    if (sc.count() >= 8) {
        left = x10(left);
        top = x10(top);
        width = x10(width);
        height = x10(height);
    }
    clamp_frame(left, top, width, height);
    g.frame_left = left;
    g.frame_top = top;
    g.frame_width = width;
    g.frame_height = height;

    g.zero_shared = column(r.line(), 12) == 'Y' ? 1 : 0;
    const std::string specs(r.line());
    for (size_t i = 1; i <= 7; ++i) {
        const size_t at = (i - 1) * 20;
        st.specs[i] = font_spec(at < specs.size() ? std::string_view(specs).substr(at, 20) : "");
    }
    r.skip(24);
}

void read_masks(LineReader& r, Graph& g) {
    int32_t count = 0;
    Scan(r.line()).i32(count);
    g.mask_count = 0;
    for (int32_t i = 0; i < 20; ++i) {
        Mask m;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        Scan(r.line()).i32(m.series).real(x1).real(y1).real(x2).real(y2);
        m.area = {x1, x2, y1, y2};
        if (i < count && g.mask_count < MAX_MASKS) g.masks[g.mask_count++] = m;
    }
    r.skip(21);
}

} // namespace

namespace {

using namespace ngraph;

constexpr int TEXT_ENTRIES = 26;
constexpr int ARROW_ENTRIES = 20;
constexpr int POINT_ENTRIES = 20;
constexpr int PICTURE_ENTRIES = 10;

// Text entry n: the axis titles (2 to 5) are placed from the frame's edges, the free texts (6
// and later) from the page.
void place_text(GraphObject& o, int n, const Graph& g, int32_t x, int32_t y) {
    o.x = x10(x);
    o.y = x10(y);
    if (n == 1 || n == 2 || n == 3 || n == 5) o.y += g.frame_height;
    if (n == 5) o.x += g.frame_width;
    if (n >= 6) {
        o.x -= g.frame_left;
        o.y -= g.frame_top;
    }
}

void read_texts(LineReader& r, Graph& g, const ImportState& st) {
    static constexpr int32_t TITLE_ESCAPEMENT[4] = {0, 900, 0, 900};
    for (int n = 0; n < TEXT_ENTRIES && !r.at_end(); ++n) {
        const std::string text(r.line(OBJECT_TEXT_CAPACITY));
        int32_t x = 0, y = 0, direction = 0;
        Scan(r.line()).i32(x).i32(y).i32(direction);
        if (text.empty()) continue;
        FontSpec spec;
        if (n <= 1)
            spec = st.specs[1];
        else if (n <= 5)
            spec = st.specs[2];
        else
            spec = st.specs[3];
        const int32_t escapement = n <= 1   ? 0
                                   : n <= 5 ? TITLE_ESCAPEMENT[n - 2]
                                            : ((direction % 4 + 4) % 4) * 900;
        spec.latin.escapement = spec.latin.orientation = escapement;
        spec.japanese.escapement = spec.japanese.orientation = escapement;

        GraphObject& o = g.objects[static_cast<size_t>(100 + n)];
        o = GraphObject{};
        o.Type = n >= 2 && n <= 5 ? object_type::TitleX + (n - 2) : object_type::Text;
        place_text(o, n, g, x, y);
        o.Back = 1;
        o.alignment = 0;
        set_text(o.Str, apply_text_codes(text, spec), OBJECT_TEXT_CAPACITY);
        o.Font1 = spec.latin;
        o.Font2 = spec.japanese;
        o.Font3 = g.symbol_font;
        o.Color = spec.color;
        o.used = 1;
    }
}

// Millimetres relative to the frame corner from tenths of a millimetre on the page.
double frame_mm(double tenths, int32_t corner) {
    return (tenths * 10 - corner) / 100.0;
}

void read_arrows(LineReader& r, Graph& g) {
    for (int n = 0; n < ARROW_ENTRIES && !r.at_end(); ++n) {
        const std::string_view line = r.line();
        if (line.empty() || line.back() != '1') continue;
        GraphObject o;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        int32_t t = 0, colour_index = 0;
        Scan(line)
            .real(x1)
            .real(y1)
            .real(x2)
            .real(y2)
            .i32(o.Length)
            .i32(t)
            .i32(o.LineWidth)
            .i32(colour_index);
        o.position = {frame_mm(x1, g.frame_left), frame_mm(y1, g.frame_top),
                      frame_mm(x2, g.frame_left), frame_mm(y2, g.frame_top)};
        o.Type = object_type::FilledArrow;
        o.LineStyle = line_type(t);
        o.Color = colour(colour_index);
        o.Pitch = 100;
        o.Color2 = 0xFFFFFF;
        o.RefX = o.RefY = 0;
        o.alignment = 1;
        o.Open = 30;
        o.Shut = 100;
        o.used = 1;
        g.objects[static_cast<size_t>(10 + n)] = std::move(o);
    }
}

void read_point_objects(LineReader& r, Graph& g) {
    for (int n = 0; n < POINT_ENTRIES && !r.at_end(); ++n) {
        GraphObject o;
        for (Point32& p : o.points) {
            int32_t x = 0, y = 0;
            Scan(r.line()).i32(x).i32(y);
            p = {x10(int64_t{x} - g.frame_left / 10), x10(2100 - int64_t{y} - g.frame_top / 10)};
        }
        int32_t t = 0, k = 0, colour_index = 0, count = 0;
        Scan(r.line())
            .i32(t)
            .i32(o.LineWidth)
            .i32(k)
            .i32(colour_index)
            .i32(count)
            .i32(o.Size1)
            .i32(o.Pitch);
        if (count == 0) continue;
        o.Type = object_type::PointObject;
        o.alignment = std::clamp(count, 1, MAX_OBJECT_POINTS);
        o.Size1 = x10(o.Size1);
        o.Pitch = x10(o.Pitch);
        o.Color = o.Color2 = colour(colour_index);
        o.PlotType = point_plot_type(k);
        o.Length = 0;
        o.DotStyle = 0;
        o.fill_color = 0xFFFFFF;
        o.Hatch = 5;
        if (o.PlotType == 27 || (o.PlotType >= 29 && o.PlotType <= 32)) {
            o.LineStyle = line_type(t);
            o.DotStyle = 1;
            o.Hatch = 4;
        }
        if (k == 27 || k == 28) o.Color2 = 0xFFFFFF;
        if (k == 26 || k == 27) o.DotStyle = 0;
        o.used = 1;
        g.objects[static_cast<size_t>(50 + n)] = std::move(o);
    }
}

} // namespace

namespace {

using namespace ngraph;

// A four-column number at `at`, or -1 for 'A' (automatic).
int32_t field4(std::string_view line, size_t at) {
    if (column(line, at) == 'A') return -1;
    int32_t v = 0;
    const std::string part(at < line.size() ? line.substr(at, 4) : std::string_view{});
    Scan(part).i32(v);
    return v;
}

void read_axis_range(LineReader& r, Graph& g, int i) {
    Axis& a = g.axes[static_cast<size_t>(i)];
    int32_t p = 0, q = 0, step = 0, type = 0;
    Scan(r.line()).real(a.from).real(a.to).real(a.increment).i32(p).i32(q).i32(step);
    a.auto_step = step == 1 ? 0 : 1;
    Axis* partner = i == AxisU ? &g.axes[AxisX] : i == AxisR ? &g.axes[AxisY] : nullptr;
    const bool own = p != 0 || q != 0 || i <= AxisY;
    a.draw = own ? 1 : a.draw;
    a.draw_labels = own ? 1 : 0;
    a.common = own ? 0 : 1;
    if (partner) partner->common = a.common;
    a.overflow_digits = 1;

    Scan(r.line()).i32(type);
    a.scale_type = 0;
    if (type == 1) {
        a.scale_type = 1;
        a.from = std::pow(10.0, a.from);
        a.to = std::pow(10.0, a.to);
    } else if (type == 2) {
        a.scale_type = 2;
        if (a.from * a.to > 0) {
            a.from = 1 / a.from;
            a.to = 1 / a.to;
            if (a.increment != 0) a.increment = 1 / a.increment;
            a.scale_type = 4;
        }
    }
}

void read_axis_labels(LineReader& r, Axis& a) {
    const std::string_view line = r.line();
    Scan(line).i32(a.division);
    a.draw = column(line, 4) == 'Y' ? 1 : 0;
    a.limited_base_line = column(line, 8) == 'N' ? 1 : 0;
    a.crossing = field4(line, 12);
    a.label_count = field4(line, 20);
    a.label_start = field4(line, 24);
    a.label_interval = field4(line, 28);
    if (digit(column(line, 32))) a.integer_digits = column(line, 32) - '0';
    if (digit(column(line, 34))) a.fraction_digits = column(line, 34) - '0';
    a.plus_sign = column(line, 40) == 'Y' ? 1 : 0;
    a.keep_zero = column(line, 44) == 'Y' ? 1 : 0;

    int32_t side = 0, log_labels = 1, unused = 0;
    Scan(r.line())
        .i32(a.base_line_from)
        .i32(a.base_line_to)
        .i32(side)
        .i32(log_labels)
        .i32(unused)
        .i32(a.label_shift_right)
        .i32(a.label_shift_down);
    a.major_in = a.minor_in = side == 0 || side == 2 ? 1 : 0;
    a.major_out = a.minor_out = side == 1 || side == 2 ? 1 : 0;
    if (log_labels == 0 && a.scale_type == 1) a.scale_type = 3;
    a.label_shift_right = x10(a.label_shift_right);
    a.label_shift_down = x10(a.label_shift_down);
}

// The tick lines: minor from the second value and major from the third, or both from the fifth
// when the frame has a type; the X block also gives the frame's width and colour.
void read_axis_ticks(LineReader& r, Graph& g, int i) {
    Axis& a = g.axes[static_cast<size_t>(i)];
    std::array<std::array<int32_t, 5>, 3> v{};
    for (auto& row : v) {
        row = {1, 1, 1, 1, 1};
        Scan(r.line()).i32(row[0]).i32(row[1]).i32(row[2]).i32(row[3]).i32(row[4]);
    }
    const size_t minor = g.FrameType != 0 ? 4 : 1, major = g.FrameType != 0 ? 4 : 2;
    a.minor_line_type = line_type(v[0][minor]);
    a.major_line_type = line_type(v[0][major]);
    a.minor_line.width = v[1][minor];
    a.major_line.width = v[1][major];
    a.minor_line.color = colour(v[2][minor]);
    a.major_line.color = colour(v[2][major]);
    if (i == AxisX) {
        g.frame_line.width = v[1][0];
        g.frame_line.color = colour(v[2][0]);
    }
    int32_t minor_length = a.minor_length / 10, major_length = a.major_length / 10;
    Scan(r.line()).i32(minor_length).i32(major_length);
    a.minor_length = x10(minor_length);
    a.major_length = x10(major_length);
}

void read_axes(LineReader& r, Graph& g) {
    for (int i = 0; i < 4; ++i) {
        read_axis_range(r, g, i);
        read_axis_labels(r, g.axes[static_cast<size_t>(i)]);
        read_axis_ticks(r, g, i);
    }
}

void set_curves(Graph& g) {
    for (int i = 0; i < g.series_count; ++i) {
        Series& s = g.series[i];
        if (s.kind == kind::Data) continue;
        const Axis& x = g.axes[s.isRefUpAxis ? AxisU : AxisX];
        s.curve_scale_type = x.scale_type;
        s.curve_from = x.from;
        s.curve_to = x.to;
        s.curve_points = 101;
        s.curve_line = s.line;
    }
}

void read_pictures(LineReader& r, Graph& g) {
    for (int n = 0; n < PICTURE_ENTRIES && !r.at_end(); ++n) {
        const std::string path(r.line(PATH_CAPACITY));
        const std::string_view values = r.line();
        if (path.empty()) continue;
        double x = 0, y = 0;
        int32_t size = 0;
        Scan(values).real(x).real(y).i32(size);
        GraphObject o;
        o.Type = object_type::Picture;
        o.Str = path;
        o.position = {frame_mm(x, g.frame_left), frame_mm(y, g.frame_top), 0, 0};
        o.Length = size / 21 * 100;
        o.picture_box = {size, size, o.Length, 0};
        o.RefX = o.RefY = 0;
        o.used = 1;
        g.objects[static_cast<size_t>(n)] = std::move(o);
    }
}

} // namespace

void import_ngraph(LineReader& r, Graph& g, int code, ReadInfo& info, IoContext&) {
    g.page_width = 210;
    g.page_height = 297;
    g.paper_code = 2;
    g.comment = "Converted from Ngraph ver. 5.3 file";
    info.with_data = code == version::NgraphWithData ? 1 : 0;

    ImportState st;
    read_all_series(r, g, info, st);
    read_fit_block(r, g, st);
    read_frame(r, g, st);
    read_masks(r, g);
    for (int i = 0; i < 4; ++i) {
        g.axes[static_cast<size_t>(i)].label_font = st.specs[static_cast<size_t>(4 + i)].latin;
        g.axes[static_cast<size_t>(i)].label_color = st.specs[static_cast<size_t>(4 + i)].color;
    }
    read_texts(r, g, st);
    read_arrows(r, g);
    read_point_objects(r, g);
    int32_t left = x10(int64_t{g.frame_left / 10} + st.x_offset);
    int32_t top = x10(int64_t{g.frame_top / 10} + st.y_offset);
    int32_t width = g.frame_width, height = g.frame_height;
    clamp_frame(left, top, width, height);
    g.frame_left = left;
    g.frame_top = top;
    g.frame_width = width;
    g.frame_height = height;
    read_axes(r, g);
    set_curves(g);
    read_pictures(r, g);
    g.count_all_series = 0;
    compact_objects(g);
}

} // namespace plox
