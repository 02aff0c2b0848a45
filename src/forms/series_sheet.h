// The series sheet "Property" as forms: the pages "ﾌｧｲﾙ", "ﾌﾟﾛｯﾄ" and "高度", the fill and
// column lists, and what "共通保存(&V)" and "保存" write to the settings.
#pragma once

#include "document/model.h"
#include "settings/store.h"

#include <array>
#include <string>
#include <vector>

namespace plox::forms {

// Column lists: entry 0 "Numbering" (the point's ordinal number, column -1), entry n column n-1.
inline constexpr int COLUMN_ENTRIES = 65;
int column_entry(int32_t column);
int32_t column_of_entry(int entry);

// "ﾄﾞｯﾄのﾌﾞﾗｼ(&H)": entry 0 DotStyle 0, entry 1 DotStyle 1, entries 2..7 DotStyle 2 with
// Hatch 0..5; the first two keep Hatch 5.
int fill_entry(int32_t dot_style, int32_t hatch);
void apply_fill_entry(int entry, int32_t& dot_style, int32_t& hatch);

// UPDATEDIALOG1.
struct SeriesFilePage {
    bool shown = true;
    int converter = 0;              // 0 none, n: converter n of the module
    int column_x = 1, column_y = 2; // list entries
    int error_x = 0, error_y = 0;   // Errorbar1, Errorbar2: 0 none, 1 (+,+), 2 (+/-)

    void load(const Series& series);
    void apply(Series& series) const;
};

// UPDATEDIALOG2.
struct SeriesPlotPage {
    int32_t plot_type = 2;
    int line_type = 0;
    int32_t marker_colour = 0, fill_colour = 0xFFFFFF, line_colour = 0;
    std::string size, width, pitch; // millimetres
    int fill = 0;
    bool x_transform = false, y_transform = false;
    std::string x_expression, y_expression;

    void load(const Series& series);
    void apply(Series& series) const;
};

// UPDATEDIALOG3.
struct SeriesReadingPage {
    std::string start, end, step;
    bool skip_comment = false, absolute_lines = false, tab_as_space = false;
    std::string x_average, y_average;
    std::string bar_bottom;                   // "%g"
    bool up_axis = false, right_axis = false; // "&X 参照軸" U, "&Y 参照軸" R

    void load(const Series& series);
    void apply(Series& series) const;
};

// The three pages over one series; the curve page of computed series is separate.
struct SeriesSheet {
    SeriesFilePage file;
    SeriesPlotPage plot;
    SeriesReadingPage reading;

    void load(const Series& series) {
        file.load(series);
        plot.load(series);
        reading.load(series);
    }
    // Applies the pages and marks the series for reading again.
    void apply(Series& series) const;
};

// The page a series opens on: "ﾌﾟﾛｯﾄ" (1) for a drawn function, else "ﾌｧｲﾙ" (0).
int first_series_page(const Series& series);

// Which page's group of values a save button writes.
enum class SeriesGroup { Columns, Style, Reading };
// "共通保存(&V)" writes to "Data Ini" (common true), "保存" to "Data Ini2\<extension>" of the
// series' file; false when the extension is too short for a key of its own (nothing written).
bool save_series_group(SettingsStore& store, const Series& series, SeriesGroup group, bool common);

// The five last transform expressions ("Xtrans1".."Xtrans5" of "Data Ini", most recent first).
std::array<std::string, 5> read_transform_history(const SettingsStore& store, bool y);
// Puts `expression` first, keeping the older entries in order without its duplicates.
void record_transform(SettingsStore& store, bool y, const std::string& expression);

} // namespace plox::forms
