// Axis sheet pages.
#include "forms/axis_sheet.h"

#include "forms/dialog_helpers.h"

#include <algorithm>
#include <cmath>

namespace plox::forms {

int edited_axis(const Graph& g, int axis) {
    axis = std::clamp(axis, 0, 3);
    if (axis == AxisU && g.axes[AxisX].common) return AxisX;
    if (axis == AxisR && g.axes[AxisY].common) return AxisY;
    return axis;
}

std::string axis_sheet_caption(int axis) {
    static const char* names[] = {"X軸", "Y軸", "U軸", "R軸"};
    return names[std::clamp(axis, 0, 3)];
}

std::string common_label(int axis) {
    static const char* labels[] = {"U軸も同じ", "R軸も同じ", "X軸も同じ", "Y軸も同じ"};
    return labels[std::clamp(axis, 0, 3)];
}

void AxisRangePage::load(const Axis& a, bool link_switch) {
    from = number_text(a.from);
    to = number_text(a.to);
    increment = number_text(a.increment);
    division = std::to_string(a.division);
    scale_type = std::clamp<int>(a.scale_type, 0, 4);
    draw = a.draw != 0;
    auto_step = a.auto_step != 0;
    common = a.common != 0;
    link = link_switch;
}

void AxisRangePage::apply(Axis& a, int index, int32_t& link_switch) const {
    a.from = read_number(from);
    a.to = read_number(to);
    a.increment = read_number(increment);
    a.division = read_integer(division);
    a.scale_type = std::clamp(scale_type, 0, 4);
    a.draw = draw;
    a.auto_step = auto_step;
    // U and R show their mirrored flag, disabled: only X and Y own it.
    if (index == AxisX || index == AxisY) a.common = common;
    link_switch = link;
}

namespace {

TickFields load_ticks(int32_t in, int32_t out, const LineAttr& line, int32_t length,
                      int32_t line_type) {
    TickFields t;
    t.in = in != 0;
    t.out = out != 0;
    t.width = millimetre_text(line.width);
    t.pitch = millimetre_text(line.pitch);
    t.length = millimetre_text(length);
    t.line_type = std::clamp<int>(line_type, 0, 6);
    t.colour = line.color;
    return t;
}

void apply_ticks(const TickFields& t, int32_t& in, int32_t& out, LineAttr& line, int32_t& length,
                 int32_t& line_type) {
    in = t.in;
    out = t.out;
    line.width = read_millimetres(t.width);
    line.pitch = read_millimetres(t.pitch);
    line.color = t.colour;
    length = read_millimetres(t.length);
    line_type = std::clamp(t.line_type, 0, 6);
}

} // namespace

void AxisTickPage::load(const Axis& a) {
    major = load_ticks(a.major_in, a.major_out, a.major_line, a.major_length, a.major_line_type);
    minor = load_ticks(a.minor_in, a.minor_out, a.minor_line, a.minor_length, a.minor_line_type);
    limited_base_line = a.limited_base_line != 0;
    base_from = millimetre_text(a.base_line_from);
    base_to = millimetre_text(a.base_line_to);
    crossing = std::clamp(a.crossing + 1, 0, 20);
}

void AxisTickPage::apply(Axis& a) const {
    apply_ticks(major, a.major_in, a.major_out, a.major_line, a.major_length, a.major_line_type);
    apply_ticks(minor, a.minor_in, a.minor_out, a.minor_line, a.minor_length, a.minor_line_type);
    a.limited_base_line = limited_base_line;
    a.base_line_from = read_millimetres(base_from);
    a.base_line_to = read_millimetres(base_to);
    a.crossing = std::clamp(crossing, 0, 20) - 1;
}

std::string font_size_text(const LogFont& f) {
    return number_text(-static_cast<double>(f.height) / 100.0);
}

void apply_font_size(LogFont& f, std::string_view size_text) {
    const double points = std::clamp(read_number(size_text), 3.0, 100.0);
    f.height = -static_cast<int32_t>(std::lround(points * 100.0));
}

int font_style(const LogFont& f) {
    return (f.italic ? 1 : 0) | (f.weight >= 700 ? 2 : 0);
}

void apply_font_style(LogFont& f, int style) {
    f.italic = (style & 1) ? 1 : 0;
    f.weight = (style & 2) ? 700 : 400;
}

void AxisLabelPage::load(const Graph& g, const Axis& a) {
    draw_labels = a.draw_labels != 0;
    zero_shared = g.zero_shared != 0;
    zero_as_0 = a.zero_as_0 != 0;
    keep_zero = a.keep_zero != 0;
    plus_sign = a.plus_sign != 0;
    overflow_digits = a.overflow_digits != 0;
    log_decades_as_numbers = g.log_decades_as_numbers != 0;
    face = a.label_font.face;
    size = font_size_text(a.label_font);
    style = font_style(a.label_font);
    colour = a.label_color;
    shift_right = millimetre_text(a.label_shift_right);
    shift_down = millimetre_text(a.label_shift_down);
    start = std::to_string(static_cast<int64_t>(a.label_start) + 1);
    count = a.label_count < 0 ? "auto" : std::to_string(a.label_count);
    interval = std::to_string(a.label_interval);
    integer_digits = a.integer_digits;
    fraction_digits = a.fraction_digits;
}

void AxisLabelPage::apply(Graph& g, Axis& a) const {
    a.draw_labels = draw_labels;
    g.zero_shared = zero_shared;
    a.zero_as_0 = zero_as_0;
    a.keep_zero = keep_zero;
    a.plus_sign = plus_sign;
    a.overflow_digits = overflow_digits;
    g.log_decades_as_numbers = log_decades_as_numbers;
    if (!face.empty()) set_text(a.label_font.face, face, FACE_CAPACITY);
    apply_font_size(a.label_font, size);
    apply_font_style(a.label_font, style);
    a.label_color = colour;
    a.label_shift_right = read_millimetres(shift_right);
    a.label_shift_down = read_millimetres(shift_down);
    a.label_start = std::max(read_integer(start), 1) - 1;
    const bool automatic = !count.empty() && (count[0] == 'a' || count[0] == 'A');
    const int32_t n = read_integer(count);
    a.label_count = automatic || n < 0 ? -1 : n;
    a.label_interval = std::max(read_integer(interval), 1);
    a.integer_digits = std::max(integer_digits, 0);
    a.fraction_digits = std::max(fraction_digits, 0);
}

void AxisSheet::load(const Graph& g, int requested_axis, const GraphSet* set) {
    axis = edited_axis(g, requested_axis);
    const Axis& a = g.axes[axis];
    range.load(a, set && set->axis_link[axis] != 0);
    ticks.load(a);
    labels.load(g, a);
}

void AxisSheet::apply(Graph& g, GraphSet* set) const {
    Axis& a = g.axes[axis];
    int32_t link = 0;
    range.apply(a, axis, link);
    if (set) set->axis_link[axis] = link;
    ticks.apply(a);
    labels.apply(g, a);
}

} // namespace plox::forms
