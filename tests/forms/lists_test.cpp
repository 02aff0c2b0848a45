// The series chooser, the data manager's list and the small dialogs' rules.
#include "forms/manager_list.h"
#include "forms/series_chooser.h"
#include "forms/small_dialogs.h"

#include "document/graph_ops.h"

#include <gtest/gtest.h>

using namespace plox;
using namespace plox::forms;

namespace {

struct ScriptedView : SeriesChooserView {
    SeriesChoice answer;
    std::vector<int> offered;
    int calls = 0;
    SeriesChoice show(const Graph&, const ChooserRequest&, std::span<const int> o) override {
        ++calls;
        offered.assign(o.begin(), o.end());
        return answer;
    }
};

Graph graph_of(std::initializer_list<int32_t> kinds) {
    Graph g;
    for (int32_t k : kinds) {
        const int i = add_series(g, "/d/f" + std::to_string(g.series_count) + ".dat", nullptr);
        g.series[i].kind = k;
    }
    return g;
}

} // namespace

TEST(SeriesChooser, OneQualifyingSeriesIsChosenWithoutTheList) {
    Graph g = graph_of({kind::Data, kind::Function});
    ChooserRequest masks;
    masks.mask = kind::NonFunction; // the drawn function is not offered
    ScriptedView view;
    SeriesChoice c = choose_series(g, masks, view);
    EXPECT_EQ(view.calls, 0);
    EXPECT_TRUE(c.chosen());
    EXPECT_FALSE(c.shown);
    EXPECT_EQ(c.series, std::vector<int>{0});

    masks.choose_single = false;
    view.answer.answer = SeriesChoice::Answer::Chosen;
    view.answer.series = {0};
    c = choose_series(g, masks, view);
    EXPECT_EQ(view.calls, 1);
    EXPECT_TRUE(c.shown);
    EXPECT_EQ(view.offered, std::vector<int>{0});
}

TEST(SeriesChooser, ExcludesOneSeriesAndKeepsOnlyWhatWasOffered) {
    Graph g = graph_of({kind::Polynomial, kind::Spline, kind::Data, kind::Extension1});
    ChooserRequest r;
    r.mask = kind::ComputedCurve;
    r.exclude = 1;
    EXPECT_EQ(offered_series(g, r), (std::vector<int>{0, 3}));

    ScriptedView view;
    view.answer.answer = SeriesChoice::Answer::Chosen;
    view.answer.series = {2, 3, 0}; // 2 was never offered
    r.multiple = false;
    SeriesChoice c = choose_series(g, r, view);
    EXPECT_EQ(c.series, std::vector<int>{3});

    view.answer.series.clear(); // "選択" with nothing selected is no choice
    EXPECT_EQ(choose_series(g, r, view).answer, SeriesChoice::Answer::Cancelled);
    view.answer.answer = SeriesChoice::Answer::New;
    EXPECT_EQ(choose_series(g, r, view).answer, SeriesChoice::Answer::New);

    r.mask = kind::Function; // nothing qualifies: no list
    const int calls = view.calls;
    EXPECT_EQ(choose_series(g, r, view).answer, SeriesChoice::Answer::Cancelled);
    EXPECT_EQ(view.calls, calls);
}

TEST(SeriesChooser, EntriesNameTheFileAndTheComputedKind) {
    Series s;
    s.file_name = "C:\\data\\run.dat";
    EXPECT_EQ(series_entry_text(s), "run.dat");
    s.kind = kind::Polynomial;
    EXPECT_EQ(series_entry_text(s), "run.dat (F多項式)");
    s.kind = kind::Spline;
    s.degree = 2;
    EXPECT_EQ(series_suffix(s), " (SPL 〇)");
    s.degree = 4;
    EXPECT_EQ(series_suffix(s), " (SPL ? )");
    s.kind = kind::Extension2;
    s.analysis_name = "Peak";
    EXPECT_EQ(series_suffix(s, [](std::string_view b) { return "<" + std::string(b) + ">"; }),
              " (<Peak>)");
    EXPECT_EQ(chooser_caption({}), "File の選択");
}

TEST(ManagerList, MovesClosesAndSelectsLikeTheButtons) {
    ManagerList list(5);
    list.set_selected(1, true);
    list.set_selected(3, true);
    list.move_to_top();
    EXPECT_EQ(list.order(), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(list.selection(), (std::vector<int>{1, 3}));
    list.move_to_bottom();
    EXPECT_EQ(list.order(), (std::vector<int>{0, 2, 4, 1, 3}));
    list.set_selected(3, false);
    list.take_out(); // series 3 leaves the list
    EXPECT_EQ(list.order(), (std::vector<int>{0, 2, 4, 1}));
    EXPECT_EQ(list.taken_out(), std::vector<int>{3});
    EXPECT_FALSE(list.any_selected());
    list.toggle_all();
    EXPECT_EQ(list.selection().size(), 4u);
    list.toggle_all();
    EXPECT_FALSE(list.any_selected());
}

TEST(ManagerList, ReorderingClosesSeriesAndRenumbersTheirMasks) {
    Graph g = graph_of({kind::Data, kind::Data, kind::Data});
    g.mask_count = 3;
    g.masks[0].series = 0; // all series
    g.masks[1].series = 1; // series 0, which is closed
    g.masks[2].series = 3; // series 2, which becomes the first
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::Text;
    g.objects[0].Str = "%01E %02N %03E";
    reorder_series(g, {2, 1});
    // Codes follow their series; the closed series' code goes.
    EXPECT_EQ(g.objects[0].Str, " %02N %01E");
    EXPECT_EQ(g.series_count, 2);
    EXPECT_EQ(g.series[0].file_name, "/d/f2.dat");
    EXPECT_EQ(g.series[1].file_name, "/d/f1.dat");
    EXPECT_TRUE(g.series[2].file_name.empty());
    ASSERT_EQ(g.mask_count, 2);
    EXPECT_EQ(g.masks[0].series, 0);
    EXPECT_EQ(g.masks[1].series, 1);
}

TEST(SmallDialogs, AboutLinesShowModuleVersionsOrNone) {
    auto lines = about_lines(0x0504, std::nullopt);
    EXPECT_EQ(lines[0], "Plox for Windows95/98/NT  ver. 1.48");
    EXPECT_EQ(lines[1], "Ploxext.dll: 4.05");
    EXPECT_EQ(lines[2], "Ploxfil.dll: none");
    EXPECT_EQ(about_lines(0x0004, 0x0A01)[2], "Ploxfil.dll: 1.10");
}

TEST(SmallDialogs, AFoundFileAlsoResolvesSameNamesInItsFolder) {
    GraphSet set;
    add_graph(set);
    Graph& g = *set.graphs[0];
    add_series(g, "C:\\old\\a.dat", nullptr);
    add_series(g, "C:\\old\\b.dat", nullptr);
    add_series(g, "C:\\old\\c.dat", nullptr);
    std::vector<MissingFile> list{{0, 0}, {0, 1}, {0, 2}};
    auto exists = [](const std::string& p) { return p == "/new/b.dat"; };
    EXPECT_EQ(apply_found_file(set, list, 0, "/new/a.dat", exists), 2);
    EXPECT_EQ(g.series[0].file_name, "/new/a.dat");
    EXPECT_EQ(g.series[1].file_name, "/new/b.dat");
    EXPECT_EQ(g.series[2].file_name, "C:\\old\\c.dat");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].series, 2);
}
