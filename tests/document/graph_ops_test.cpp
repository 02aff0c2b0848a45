// Graph and graph-set operations: limits, frame moves, flags, object slots.
#include "document/graph_ops.h"
#include "document/prompter.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

TEST(GraphSet, FreeingTheOnlyGraphLeavesANewEmptyOne) {
    GraphSet set;
    Graph* g = add_graph(set);
    ASSERT_NE(g, nullptr);
    g->FrameType = 3;
    add_series(*g, "x.dat", nullptr);
    free_graph(set, 0);
    ASSERT_EQ(set.graphs.size(), 1u);
    EXPECT_EQ(set.current, 0);
    EXPECT_EQ(set.graphs[0]->FrameType, 1);
    EXPECT_EQ(set.graphs[0]->series_count, 0);
}

TEST(GraphSet, AddingStopsAtTwentyAndFreeingKeepsOrder) {
    GraphSet set;
    for (int i = 0; i < MAX_GRAPHS; ++i)
        add_graph(set)->comment = std::to_string(i);
    EXPECT_EQ(set.current, 19);
    EXPECT_EQ(add_graph(set), nullptr);
    set.current = 5;
    free_graph(set, 2);
    EXPECT_EQ(set.graphs.size(), 19u);
    EXPECT_EQ(set.graphs[2]->comment, "3");
    EXPECT_EQ(set.current, 4); // still the graph that was current
    free_graph(set, 4);
    EXPECT_EQ(set.current, 17); // the current graph went: the last becomes current
}

TEST(GraphSet, TemplateReaderFillsTheNewGraphOrIsIgnored) {
    GraphSet set;
    Graph* g = add_graph(set, [](Graph& t) {
        t.FrameType = 2;
        t.scales_valid = 1;
        return true;
    });
    EXPECT_EQ(g->FrameType, 2);
    EXPECT_EQ(g->scales_valid, 0);
    EXPECT_EQ(g->unmodified, 1);
    g = add_graph(set, [](Graph& t) {
        t.FrameType = 2;
        return false;
    });
    EXPECT_EQ(g->FrameType, 1);
}

TEST(GraphOps, FiftyFirstSeriesIsReportedAndRefused) {
    Graph g;
    for (int i = 0; i < MAX_SERIES; ++i)
        EXPECT_EQ(add_series(g, "f" + std::to_string(i), nullptr), i);
    RecordingPrompter prompter;
    EXPECT_EQ(add_series(g, "one more", &prompter), -1);
    EXPECT_EQ(add_series(g, "while reading", &prompter, LimitMessage::Reading), -1);
    EXPECT_EQ(g.series_count, MAX_SERIES);
    EXPECT_EQ(g.series[49].file_name, "f49");
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "50個以上のファイルは開けません");
    EXPECT_EQ(prompter.shown[1].text, "cannot open over 50 files");
    EXPECT_EQ(prompter.shown[1].title, "Error");
}

TEST(GraphOps, NewSeriesTakesTheDefaultsAndACutPath) {
    Graph g;
    g.series[0].PlotType = 9;
    const int i = add_series(g, std::string(400, 'p'), nullptr);
    EXPECT_EQ(g.series[i].PlotType, 2);
    EXPECT_EQ(g.series[i].file_name.size(), PATH_CAPACITY - 1);
    EXPECT_EQ(g.series[i].needs_reading, 1);
}

TEST(GraphOps, SetFrameMovesAxisTitlesByTruncatedHalves) {
    Graph g;
    const int32_t types[] = {object_type::TitleX, object_type::TitleY, object_type::TitleU,
                             object_type::TitleR, object_type::Text};
    for (int i = 0; i < 5; ++i) {
        g.objects[i].used = 1;
        g.objects[i].Type = types[i];
        g.objects[i].x = 1000;
        g.objects[i].y = 2000;
    }
    set_frame(g, 4000, 1500, 14000 - 3, 10000 + 5); // dw = -3, dh = 5
    EXPECT_EQ(g.objects[0].x, 1000 - 1);
    EXPECT_EQ(g.objects[0].y, 2000 + 5);
    EXPECT_EQ(g.objects[1].x, 1000);
    EXPECT_EQ(g.objects[1].y, 2000 + 2);
    EXPECT_EQ(g.objects[2].x, 1000 - 1);
    EXPECT_EQ(g.objects[2].y, 2000);
    EXPECT_EQ(g.objects[3].x, 1000 - 3);
    EXPECT_EQ(g.objects[3].y, 2000 + 2);
    EXPECT_EQ(g.objects[4].x, 1000);
    EXPECT_EQ(g.objects[4].y, 2000);
    EXPECT_EQ(g.frame_width, 13997);
    EXPECT_EQ(g.frame_height, 10005);
}

TEST(GraphOps, FrameStaysOnThePaper) {
    int32_t l = 500, t = 30000, w = 31000, h = 1200;
    clamp_frame(l, t, w, h);
    EXPECT_EQ(l, 1000);
    EXPECT_EQ(t, 28000);
    EXPECT_EQ(w, 28000);
    EXPECT_EQ(h, 1200);
    l = 20000;
    w = 20000;
    clamp_frame(l, t, w, h);
    EXPECT_EQ(l + w, 32000);
}

TEST(GraphOps, FlagsAndCachedDrawing) {
    Graph g;
    g.scales_valid = 1;
    mark_modified(g);
    EXPECT_EQ(g.unmodified, 0);
    mark_saved(g);
    EXPECT_EQ(g.unmodified, 1);
    invalidate_scales(g);
    EXPECT_EQ(g.scales_valid, 0);
    EXPECT_TRUE(is_empty_graph(g));
    add_series(g, "x", nullptr);
    EXPECT_FALSE(is_empty_graph(g));
}

TEST(GraphOps, ObjectSlotsCountAndCompactInOrder) {
    Graph g;
    EXPECT_EQ(find_free_object_slot(g), 0);
    for (int i = 0; i < 5; ++i) {
        g.objects[i].used = 1;
        g.objects[i].Type = i % 2 ? object_type::Text : object_type::Line;
        g.objects[i].x = i;
    }
    EXPECT_EQ(count_objects(g, object_type::Text), 2);
    EXPECT_EQ(find_object(g, object_type::Text), 1);
    EXPECT_EQ(find_object(g, object_type::TitleX), -1);
    g.objects[1].used = 0;
    g.objects[3].used = 0;
    EXPECT_EQ(find_free_object_slot(g), 1);
    compact_objects(g);
    EXPECT_EQ(g.objects[0].x, 0);
    EXPECT_EQ(g.objects[1].x, 2);
    EXPECT_EQ(g.objects[2].x, 4);
    EXPECT_EQ(g.objects[3].used, 0);
    delete_object(g, 0);
    EXPECT_EQ(g.objects[0].x, 2);
    EXPECT_EQ(find_free_object_slot(g), 2);
    for (auto& o : g.objects)
        o.used = 1;
    EXPECT_EQ(find_free_object_slot(g), -1);

    // Texts left empty are dropped by compacting; other objects without text stay.
    Graph h;
    for (int i = 0; i < 3; ++i) {
        h.objects[i].used = 1;
        h.objects[i].Type = i == 1 ? object_type::TitleY : object_type::Rectangle;
    }
    compact_objects(h);
    EXPECT_EQ(h.objects[0].Type, object_type::Rectangle);
    EXPECT_EQ(h.objects[1].Type, object_type::Rectangle);
    EXPECT_EQ(h.objects[1].used, 1);
    EXPECT_EQ(h.objects[2].used, 0);
}

} // namespace
} // namespace plox

namespace plox {
namespace {

Graph graph_with_legend(int series, const std::string& legend) {
    Graph g;
    for (int i = 0; i < series; ++i)
        add_series(g, "s" + std::to_string(i + 1) + ".dat", nullptr);
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::Text;
    g.objects[0].Str = legend;
    return g;
}

TEST(SeriesReferences, FollowTheSeriesWhenOneIsClosed) {
    Graph g = graph_with_legend(3, "%01E one\\n%02E two %02C0103\\n%03N three %04E %%01 %Q065");
    close_series(g, 1);
    ASSERT_EQ(g.series_count, 2);
    EXPECT_EQ(g.series[1].file_name, "s3.dat");
    // The closed series' codes go, later ones move down, codes that named nothing stay.
    EXPECT_EQ(g.objects[0].Str, "%01E one\\n two \\n%02N three %04E %%01 %Q065");
}

TEST(SeriesReferences, CountOnlyShownSeriesWhenTheGraphSaysSo) {
    Graph g = graph_with_legend(3, "%00E %01E %02E");
    g.count_all_series = 0;
    g.series[0].shown = 0; // numbers: series 2 is %01, series 3 is %02
    // Reverse the order: old 0 → 2, 1 → 1, 2 → 0.
    std::vector<bool> old_shown{false, true, true};
    std::swap(g.series[0], g.series[2]);
    renumber_series_references(g, {2, 1, 0}, old_shown);
    // Now shown: index 0 (old series 3) is %01, index 1 (old 2) is %02.
    EXPECT_EQ(g.objects[0].Str, "%02E %02E %01E");
}

} // namespace
} // namespace plox
