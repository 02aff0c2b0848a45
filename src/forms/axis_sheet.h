// The axis sheet's three pages (range and type, ticks, numeric labels) as forms: the text each
// control shows, and how the texts are read back into the axis record with their limits.
#pragma once

#include "document/model.h"

#include <string>

namespace plox::forms {

// The axis a sheet opened for `axis` edits: U follows X while X's common flag is set, and R
// follows Y likewise, so their sheets edit X and Y.
int edited_axis(const Graph& graph, int axis);

// The caption of the axis sheet ("X軸" …) and the label of the common box on its range page.
std::string axis_sheet_caption(int axis);
std::string common_label(int axis);

// SET_SCALE1.
struct AxisRangePage {
    std::string from, to, increment, division;
    int scale_type = 0; // 0 "Linear" … 4 "Inverse(通常)"
    bool draw = true, auto_step = true, common = false;
    bool link = false; // "他のグラフとリンク": the program-wide switch of this axis

    void load(const Axis& axis, bool link_switch);
    // Writes the page into `axis`; `link_switch` takes the link box. Common only for X and Y.
    void apply(Axis& axis, int index, int32_t& link_switch) const;
};

// Settings of one set of ticks (major or minor).
struct TickFields {
    bool in = true, out = false;
    std::string width, pitch, length; // millimetres
    int line_type = 1;
    int32_t colour = 0;
};

// SET_SCALE2.
struct AxisTickPage {
    TickFields major, minor;
    bool limited_base_line = false;
    std::string base_from, base_to; // hundredths of a percent shown like millimetre text
    int crossing = 0;               // list index: 0 "おまかせ" (stored -1), n: stored n - 1

    void load(const Axis& axis);
    void apply(Axis& axis) const;
};

// SET_SCALE3. Two of its boxes are flags of the graph, not of the axis.
struct AxisLabelPage {
    bool draw_labels = false, zero_shared = false, zero_as_0 = true, keep_zero = false;
    bool plus_sign = false, overflow_digits = true, log_decades_as_numbers = false;
    std::string face; // document bytes, at most 31
    std::string size; // points
    int style = 0;    // bit 0 italic, bit 1 bold
    int32_t colour = 0;
    std::string shift_right, shift_down; // millimetres
    std::string start, count, interval;
    int integer_digits = 5, fraction_digits = 5; // list indexes = digits

    void load(const Graph& graph, const Axis& axis);
    void apply(Graph& graph, Axis& axis) const;
};

// The shared font rules of label pages: size in points clamped to 3..100 (height minus the
// size in hundredths of a point), style bit 0 italic, bit 1 bold (700, else 400).
std::string font_size_text(const LogFont& font);
void apply_font_size(LogFont& font, std::string_view size_text);
int font_style(const LogFont& font);
void apply_font_style(LogFont& font, int style);

// The whole axis sheet: the three pages over one axis.
struct AxisSheet {
    int axis = 0; // the axis edited (after edited_axis)
    AxisRangePage range;
    AxisTickPage ticks;
    AxisLabelPage labels;

    void load(const Graph& graph, int requested_axis, const GraphSet* set = nullptr);
    // Applies every page; the caller then runs the scale change.
    void apply(Graph& graph, GraphSet* set = nullptr) const;
};

} // namespace plox::forms
