// Graph, axis and series sheet pages: conversions, clamps and the records they write.
#include "forms/axis_sheet.h"
#include "forms/graph_sheet.h"
#include "forms/scale_change.h"
#include "forms/series_sheet.h"

#include "document/graph_ops.h"
#include "settings/store.h"

#include <gtest/gtest.h>

using namespace plox;
using namespace plox::forms;

TEST(FramePage, ClampsEachValueThenShortensTheLargerOfEachPair) {
    Graph g;
    FramePage page;
    page.load(g);
    page.left = "20";
    page.width = "320";
    page.top = "200";
    page.height = "200"; // a tie: the height gives way first, then they take turns
    page.apply(g);
    EXPECT_EQ(g.frame_left, 2000);
    EXPECT_EQ(g.frame_width, 30000);
    EXPECT_EQ(g.frame_top, 16000);
    EXPECT_EQ(g.frame_height, 16000);

    int32_t l = 25000, t = 5, w = 9000, h = 99999;
    clamp_frame_page(l, t, w, h);
    EXPECT_EQ(l, 23000); // the left margin is the larger: it loses 1000 at a time
    EXPECT_EQ(w, 9000);
    EXPECT_EQ(t, 1000);
    EXPECT_EQ(h, 31000);
}

TEST(FramePage, MovesAxisTitlesWithTheFrameAndKeepsTheOtherFields) {
    Graph g;
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::TitleX;
    g.objects[0].x = 100;
    g.objects[0].y = 200;
    FramePage page;
    page.load(g);
    EXPECT_EQ(page.width, "140");
    page.width = "150";
    page.frame_type = 3;
    page.line_width = "0.5";
    page.apply(g);
    EXPECT_EQ(g.objects[0].x, 600); // half of the 10 mm wider frame
    EXPECT_EQ(g.FrameType, 3);
    EXPECT_EQ(g.frame_line.width, 50);
}

TEST(TitlePage, RenamesInTheSameFolderAndLimitsTheZoom) {
    Graph g;
    g.file_name = "/data/run/old.qvp";
    g.extent_right = 20000;
    g.extent_bottom = 16000;
    TitlePage page;
    page.load(g);
    EXPECT_EQ(page.title, "old");
    page.title = "new";
    page.zoom = "400"; // 32000 / (20000 / 100) = 160 at most
    page.visible_only = true;
    page.apply(g);
    EXPECT_EQ(g.file_name, "/data/run/new.QVP");
    EXPECT_EQ(g.Magnification, 160);
    EXPECT_EQ(g.count_all_series, 0);

    page.load(g);
    page.title.clear(); // an empty title keeps the name
    page.zoom = "1";
    page.apply(g);
    EXPECT_EQ(g.file_name, "/data/run/new.QVP");
    EXPECT_EQ(g.Magnification, 5);
}

TEST(ScalePage, OnlyCheckedAxesTakeTheirValues) {
    Graph g;
    ScalePage page;
    page.load(g);
    page.axes[0].from = "-1.5";
    page.axes[0].to = "2e3";
    page.axes[1].set = false;
    page.axes[1].from = "7";
    page.apply(g);
    EXPECT_DOUBLE_EQ(g.axes[AxisX].from, -1.5);
    EXPECT_DOUBLE_EQ(g.axes[AxisX].to, 2000);
    EXPECT_DOUBLE_EQ(g.axes[AxisY].from, Axis::make_default(AxisY).from);
}

TEST(AxisSheet, UAndRSheetsEditXAndYWhileTheyAreCommon) {
    Graph g;
    g.axes[AxisY].common = 1;
    g.axes[AxisX].common = 0;
    EXPECT_EQ(edited_axis(g, AxisR), AxisY);
    EXPECT_EQ(edited_axis(g, AxisU), AxisU);

    AxisSheet sheet;
    sheet.load(g, AxisR);
    EXPECT_EQ(sheet.axis, AxisY);
    sheet.range.from = "3";
    sheet.apply(g);
    EXPECT_DOUBLE_EQ(g.axes[AxisY].from, 3);
    EXPECT_NE(g.axes[AxisR].from, 3);
}

TEST(AxisSheet, RangePageWritesTypeFlagsAndTheLinkSwitch) {
    Graph g;
    g.axes[AxisX].common = 0;
    GraphSet set;
    AxisSheet sheet;
    sheet.load(g, AxisU, &set);
    ASSERT_EQ(sheet.axis, AxisU);
    sheet.range.to = "1e6";
    sheet.range.scale_type = 1;
    sheet.range.common = true; // U cannot own the common flag
    sheet.range.link = true;
    sheet.range.division = "x";
    sheet.apply(g, &set);
    const Axis& u = g.axes[AxisU];
    EXPECT_DOUBLE_EQ(u.to, 1e6);
    EXPECT_EQ(u.scale_type, 1);
    EXPECT_EQ(u.common, Axis::make_default(AxisU).common);
    EXPECT_EQ(u.division, 0);
    EXPECT_EQ(set.axis_link[AxisU], 1);
}

TEST(AxisSheet, LabelPageClampsSizeCountIntervalAndStart) {
    Graph g;
    AxisSheet sheet;
    sheet.load(g, AxisX);
    EXPECT_EQ(sheet.labels.size, "24");
    EXPECT_EQ(sheet.labels.count, "auto");
    EXPECT_EQ(sheet.labels.start, "1");
    sheet.labels.size = "1";
    sheet.labels.count = "-5";
    sheet.labels.interval = "0";
    sheet.labels.start = "0";
    sheet.labels.style = 3;
    sheet.labels.zero_shared = true;
    sheet.apply(g);
    const Axis& x = g.axes[AxisX];
    EXPECT_EQ(x.label_font.height, -300);
    EXPECT_EQ(x.label_count, -1);
    EXPECT_EQ(x.label_interval, 1);
    EXPECT_EQ(x.label_start, 0);
    EXPECT_EQ(x.label_font.weight, 700);
    EXPECT_EQ(x.label_font.italic, 1);
    EXPECT_EQ(g.zero_shared, 1);

    sheet.labels.size = "250";
    sheet.labels.count = "Auto";
    sheet.labels.start = "3";
    sheet.apply(g);
    EXPECT_EQ(x.label_font.height, -10000);
    EXPECT_EQ(x.label_count, -1);
    EXPECT_EQ(x.label_start, 2);
    sheet.labels.count = "4";
    sheet.apply(g);
    EXPECT_EQ(x.label_count, 4);
}

TEST(AxisSheet, TickPageCrossingAndPercentages) {
    Graph g;
    AxisSheet sheet;
    sheet.load(g, AxisY);
    EXPECT_EQ(sheet.ticks.crossing, 0); // おまかせ
    EXPECT_EQ(sheet.ticks.base_to, "100");
    sheet.ticks.crossing = 3;
    sheet.ticks.base_from = "12.5";
    sheet.ticks.major.length = "4";
    sheet.ticks.minor.out = true;
    sheet.apply(g);
    const Axis& y = g.axes[AxisY];
    EXPECT_EQ(y.crossing, 2);
    EXPECT_EQ(y.base_line_from, 1250);
    EXPECT_EQ(y.major_length, 400);
    EXPECT_EQ(y.minor_out, 1);
    sheet.ticks.crossing = 0;
    sheet.apply(g);
    EXPECT_EQ(y.crossing, -1);
}

TEST(ScaleChange, CopiesLinkedAxesToTheOtherGraphsOnly) {
    GraphSet set;
    add_graph(set);
    add_graph(set);
    mark_saved(*set.graphs[1]);
    Axis& x = set.graphs[0]->axes[AxisX];
    x.from = 5;
    x.to = 50;
    x.scale_type = 1;
    set.graphs[0]->axes[AxisY].to = 99;
    set.axis_link[AxisX] = 1;
    for (int g = 0; g < 2; ++g) {
        Graph& graph = *set.graphs[static_cast<size_t>(g)];
        add_series(graph, "/d/fit.dat", nullptr);
        graph.series[0].kind = kind::Polynomial;
        graph.series[0].CountOutArea = 0;
        graph.series[0].needs_reading = 0;
    }
    auto changed = apply_scale_change(set, 0);
    ASSERT_EQ(changed, std::vector<int>{1});
    const Graph& other = *set.graphs[1];
    EXPECT_DOUBLE_EQ(other.axes[AxisX].to, 50);
    EXPECT_EQ(other.axes[AxisX].scale_type, 1);
    EXPECT_NE(other.axes[AxisY].to, 99);
    EXPECT_EQ(other.unmodified, 0);
    EXPECT_EQ(set.graphs[0]->scales_valid, 1);
    // Fits that leave out points outside the graph are computed for the new ranges.
    EXPECT_EQ(set.graphs[0]->series[0].needs_reading, 1);
    EXPECT_EQ(other.series[0].needs_reading, 1);

    set.axis_link[AxisX] = 0;
    mark_saved(*set.graphs[1]);
    EXPECT_TRUE(apply_scale_change(set, 0).empty());
    EXPECT_EQ(set.graphs[1]->unmodified, 1);
}

TEST(SeriesSheet, FillAndColumnListsMapToTheRecord) {
    int32_t style = 0, hatch = 0;
    apply_fill_entry(0, style, hatch);
    EXPECT_EQ(style, 0);
    EXPECT_EQ(hatch, 5);
    apply_fill_entry(1, style, hatch);
    EXPECT_EQ(style, 1);
    apply_fill_entry(7, style, hatch);
    EXPECT_EQ(style, 2);
    EXPECT_EQ(hatch, 5);
    apply_fill_entry(2, style, hatch);
    EXPECT_EQ(hatch, 0);
    EXPECT_EQ(fill_entry(2, 3), 5);
    EXPECT_EQ(fill_entry(1, 0), 1);

    EXPECT_EQ(column_of_entry(0), -1); // "Numbering"
    EXPECT_EQ(column_of_entry(3), 2);
    EXPECT_EQ(column_entry(-1), 0);
    EXPECT_EQ(column_entry(1), 2);
}

TEST(SeriesSheet, ApplyWritesEveryPageAndAsksForReadingAgain) {
    Series s;
    s.needs_reading = 0;
    s.kind = kind::Function;
    EXPECT_EQ(first_series_page(s), 1);
    SeriesSheet sheet;
    sheet.load(s);
    sheet.file.column_y = 0;
    sheet.file.error_y = 2;
    sheet.plot.plot_type = 5;
    sheet.plot.marker_colour = 0x0000FF;
    sheet.plot.size = "2.5";
    sheet.plot.y_transform = true;
    sheet.plot.y_expression = "y*2";
    sheet.reading.end = "-3";
    sheet.reading.bar_bottom = "0.25";
    sheet.reading.right_axis = true;
    sheet.apply(s);
    EXPECT_EQ(s.ColumnY, -1);
    EXPECT_EQ(s.Errorbar2, 2);
    EXPECT_EQ(s.PlotType, 5);
    EXPECT_EQ(s.marker_color, 0x0000FF);
    EXPECT_EQ(s.PlotSize, 250);
    EXPECT_EQ(s.IsYtrans, 1);
    EXPECT_EQ(s.Ytrans, "y*2");
    EXPECT_EQ(s.End, -3);
    EXPECT_DOUBLE_EQ(s.BarBottom, 0.25);
    EXPECT_EQ(s.isRefRightAxis, 1);
    EXPECT_EQ(s.needs_reading, 1);
}

TEST(SeriesSheet, SaveButtonsWriteOnePageGroupToTheirKey) {
    MemorySettingsStore store;
    Series s;
    s.file_name = "/d/a.csv";
    s.ColumnY = 4;
    s.PlotType = 9;
    ASSERT_TRUE(save_series_group(store, s, SeriesGroup::Columns, false));
    EXPECT_EQ(store.read_dword("Data Ini2\\csv", "ColumnY"), 4u);
    EXPECT_FALSE(store.read_dword("Data Ini2\\csv", "PlotType"));
    EXPECT_FALSE(store.has_key("Data Ini"));
    ASSERT_TRUE(save_series_group(store, s, SeriesGroup::Style, true));
    EXPECT_EQ(store.read_dword("Data Ini", "PlotType"), 9u);

    s.file_name = "/d/a.c"; // a one-letter extension has no key of its own
    EXPECT_FALSE(save_series_group(store, s, SeriesGroup::Reading, false));
}

TEST(SeriesSheet, TransformHistoryKeepsFiveWithoutDuplicates) {
    MemorySettingsStore store;
    for (const char* e : {"x*1", "x*2", "x*3", "x*4", "x*5", "x*6", "x*3"})
        record_transform(store, false, e);
    auto h = read_transform_history(store, false);
    EXPECT_EQ(h[0], "x*3");
    EXPECT_EQ(h[1], "x*6");
    EXPECT_EQ(h[2], "x*5");
    EXPECT_EQ(h[4], "x*2");
    EXPECT_EQ(read_transform_history(store, true)[0], "");
}
