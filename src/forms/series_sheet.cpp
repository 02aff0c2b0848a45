// Series sheet pages and their settings.
#include "forms/series_sheet.h"

#include "forms/dialog_helpers.h"
#include "settings/series_defaults.h"

#include <algorithm>

namespace plox::forms {

namespace {

constexpr std::string_view DATA_INI = "Data Ini";

} // namespace

int column_entry(int32_t column) {
    return std::clamp<int>(column < 0 ? 0 : column + 1, 0, COLUMN_ENTRIES - 1);
}

int32_t column_of_entry(int entry) {
    return std::clamp(entry, 0, COLUMN_ENTRIES - 1) - 1;
}

int fill_entry(int32_t dot_style, int32_t hatch) {
    if (dot_style == 0) return 0;
    if (dot_style == 1) return 1;
    return 2 + std::clamp<int>(hatch, 0, 5);
}

void apply_fill_entry(int entry, int32_t& dot_style, int32_t& hatch) {
    entry = std::clamp(entry, 0, 7);
    if (entry < 2) {
        dot_style = entry;
        hatch = 5;
    } else {
        dot_style = 2;
        hatch = entry - 2;
    }
}

void SeriesFilePage::load(const Series& s) {
    shown = s.shown != 0;
    converter = std::max(s.Converter, 0);
    column_x = column_entry(s.ColumnX);
    column_y = column_entry(s.ColumnY);
    error_x = std::clamp<int>(s.Errorbar1, 0, 2);
    error_y = std::clamp<int>(s.Errorbar2, 0, 2);
}

void SeriesFilePage::apply(Series& s) const {
    s.shown = shown;
    s.Converter = std::max(converter, 0);
    s.ColumnX = column_of_entry(column_x);
    s.ColumnY = column_of_entry(column_y);
    s.Errorbar1 = std::clamp(error_x, 0, 2);
    s.Errorbar2 = std::clamp(error_y, 0, 2);
}

void SeriesPlotPage::load(const Series& s) {
    plot_type = s.PlotType;
    line_type = std::clamp<int>(s.LineType, 0, 6);
    marker_colour = s.marker_color;
    fill_colour = s.fill_color;
    line_colour = s.line.color;
    size = millimetre_text(s.PlotSize);
    width = millimetre_text(s.line.width);
    pitch = millimetre_text(s.line.pitch);
    fill = fill_entry(s.DotStyle, s.Hatch);
    x_transform = s.IsXtrans != 0;
    y_transform = s.IsYtrans != 0;
    x_expression = s.Xtrans;
    y_expression = s.Ytrans;
}

void SeriesPlotPage::apply(Series& s) const {
    s.PlotType = std::max(plot_type, 0);
    s.LineType = std::clamp(line_type, 0, 6);
    s.marker_color = marker_colour;
    s.fill_color = fill_colour;
    s.line.color = line_colour;
    s.PlotSize = read_millimetres(size);
    s.line.width = read_millimetres(width);
    s.line.pitch = read_millimetres(pitch);
    apply_fill_entry(fill, s.DotStyle, s.Hatch);
    s.IsXtrans = x_transform;
    s.IsYtrans = y_transform;
    set_text(s.Xtrans, x_expression, EXPRESSION_CAPACITY);
    set_text(s.Ytrans, y_expression, EXPRESSION_CAPACITY);
}

void SeriesReadingPage::load(const Series& s) {
    start = std::to_string(s.Start);
    end = std::to_string(s.End);
    step = std::to_string(s.Step);
    skip_comment = s.SkipComment != 0;
    absolute_lines = s.AbsLine != 0;
    tab_as_space = s.TabEqSpc != 0;
    x_average = std::to_string(s.XAvr);
    y_average = std::to_string(s.YAvr);
    bar_bottom = number_text(s.BarBottom);
    up_axis = s.isRefUpAxis != 0;
    right_axis = s.isRefRightAxis != 0;
}

void SeriesReadingPage::apply(Series& s) const {
    s.Start = read_integer(start);
    s.End = read_integer(end);
    s.Step = read_integer(step);
    s.SkipComment = skip_comment;
    s.AbsLine = absolute_lines;
    s.TabEqSpc = tab_as_space;
    s.XAvr = read_integer(x_average);
    s.YAvr = read_integer(y_average);
    s.BarBottom = read_number(bar_bottom);
    s.isRefUpAxis = up_axis;
    s.isRefRightAxis = right_axis;
}

void SeriesSheet::apply(Series& s) const {
    file.apply(s);
    plot.apply(s);
    reading.apply(s);
    s.needs_reading = 1;
}

int first_series_page(const Series& s) {
    return s.kind == kind::Function ? 1 : 0;
}

bool save_series_group(SettingsStore& store, const Series& s, SeriesGroup group, bool common) {
    const std::string key = common ? std::string(DATA_INI) : data_extension_key(s.file_name);
    if (key.empty()) return false;
    switch (group) {
    case SeriesGroup::Columns:
        store.write(key, "Errorbar1", s.Errorbar1);
        store.write(key, "Errorbar2", s.Errorbar2);
        store.write(key, "ColumnX", s.ColumnX);
        store.write(key, "ColumnY", s.ColumnY);
        store.write(key, "Converter", s.Converter);
        break;
    case SeriesGroup::Style:
        store.write(key, "LineWidth", s.line.width);
        store.write(key, "LineColor", s.line.color);
        store.write(key, "LinePitch", s.line.pitch);
        store.write(key, "LineType", s.LineType);
        store.write(key, "PlotType", s.PlotType);
        store.write(key, "PlotSize", s.PlotSize);
        store.write(key, "BackColor", s.marker_color);
        store.write(key, "DotStyle", s.DotStyle);
        store.write(key, "DotColor", s.fill_color);
        store.write(key, "Hatch", s.Hatch);
        store.write(key, "IsXtrans", s.IsXtrans);
        store.write(key, "IsYtrans", s.IsYtrans);
        store.write_text(key, "Xtrans", s.Xtrans);
        store.write_text(key, "Ytrans", s.Ytrans);
        break;
    case SeriesGroup::Reading:
        store.write(key, "Start", s.Start);
        store.write(key, "End", s.End);
        store.write(key, "AbsLine", s.AbsLine);
        store.write(key, "isRefUpAxis", s.isRefUpAxis);
        store.write(key, "isRefRightAxis", s.isRefRightAxis);
        store.write(key, "TabEqSpc", s.TabEqSpc);
        store.write(key, "CountOutArea", s.CountOutArea);
        store.write(key, "SkipComment", s.SkipComment);
        store.write(key, "Step", s.Step);
        store.write(key, "XAvr", s.XAvr);
        store.write(key, "YAvr", s.YAvr);
        store.write(key, "BarBottom", s.BarBottom);
        break;
    }
    return true;
}

std::array<std::string, 5> read_transform_history(const SettingsStore& store, bool y) {
    std::array<std::string, 5> out;
    for (size_t i = 0; i < out.size(); ++i) {
        const std::string name = (y ? "Ytrans" : "Xtrans") + std::to_string(i + 1);
        if (auto t = store.read_text(DATA_INI, name)) out[i] = *t;
    }
    return out;
}

void record_transform(SettingsStore& store, bool y, const std::string& expression) {
    if (expression.empty()) return;
    const auto old = read_transform_history(store, y);
    std::vector<std::string> list{expression};
    for (const std::string& e : old)
        if (e != expression && list.size() < old.size()) list.push_back(e);
    for (size_t i = 0; i < list.size(); ++i)
        store.write_text(DATA_INI, (y ? "Ytrans" : "Xtrans") + std::to_string(i + 1), list[i]);
}

} // namespace plox::forms
