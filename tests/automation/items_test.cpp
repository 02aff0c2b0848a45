// Item lists of Data, AxisSet and FrameSet: parsing, order, and each keyword's rule.
#include "fixtures.h"

#include "automation/item_lists.h"

#include <gmock/gmock.h>

namespace plox::test {

namespace {

using ::testing::ElementsAre;

struct Items {
    Series tmpl;
    std::unique_ptr<Graph> graph = create_graph();
    std::vector<std::pair<std::string, Series>> opened;
    std::vector<int> cleared;

    bool apply(ItemCommand c, std::string_view text) {
        ItemTarget t;
        t.data_template = &tmpl;
        t.graph = graph.get();
        t.open = [this](const std::string& p) { opened.emplace_back(p, tmpl); };
        t.clear_scale = [this](int axis) { cleared.push_back(axis); };
        return apply_items(c, text, t);
    }
};

} // namespace

TEST(ItemLists, ItemsTakeEffectLeftToRight) {
    Items it;
    EXPECT_TRUE(it.apply(ItemCommand::Data, "COLUMNX 2, COLUMNY 3, OPEN a.dat, COLUMNX 4"));
    ASSERT_EQ(it.opened.size(), 1u);
    EXPECT_EQ(it.opened[0].first, "a.dat");
    EXPECT_EQ(it.opened[0].second.ColumnX, 2);
    EXPECT_EQ(it.opened[0].second.ColumnY, 3);
    EXPECT_EQ(it.tmpl.ColumnX, 4);

    Items before;
    before.apply(ItemCommand::Data, "OPEN a.dat, COLUMNX 2");
    EXPECT_EQ(before.opened[0].second.ColumnX, 0);
}

TEST(ItemLists, KeywordsEndAtBlanksAndValuesAtCommas) {
    Items it;
    // "COLUMNX=2" is one unknown word: the list ends there, successfully.
    EXPECT_TRUE(it.apply(ItemCommand::Data, "COLUMNY 5, COLUMNX=2, COLUMNY 7"));
    EXPECT_EQ(it.tmpl.ColumnY, 5);
    EXPECT_EQ(it.tmpl.ColumnX, 0);
    // Keywords in any case; blanks are spaces and tabs; values keep their trailing blanks.
    EXPECT_TRUE(it.apply(ItemCommand::Data, "\tplottype\t 7 ,OPEN  b c.dat  "));
    EXPECT_EQ(it.tmpl.PlotType, 7);
    EXPECT_EQ(it.opened.back().first, "b c.dat  ");
    // A comma inside an expression splits it; the rest is read as the next item.
    EXPECT_TRUE(it.apply(ItemCommand::Data, "XTRANS max(x, 1), COLUMNX 9"));
    EXPECT_EQ(it.tmpl.Xtrans, "max(x");
    EXPECT_EQ(it.tmpl.ColumnX, 0);
    EXPECT_TRUE(it.apply(ItemCommand::Data, ""));
}

TEST(ItemLists, AnotherCommandsKeywordFailsAfterTheItemsBeforeIt) {
    Items it;
    EXPECT_FALSE(it.apply(ItemCommand::Data, "COLUMNX 2, XSCALE 0 1, COLUMNY 9"));
    EXPECT_EQ(it.tmpl.ColumnX, 2);
    EXPECT_EQ(it.tmpl.ColumnY, 1);
    EXPECT_EQ(it.graph->axes[AxisX].from, 0);
    EXPECT_FALSE(it.apply(ItemCommand::AxisSet, "POS 1 2 3 4"));
    EXPECT_FALSE(it.apply(ItemCommand::FrameSet, "OPEN a.dat"));
    EXPECT_TRUE(it.opened.empty());
    // COLOR and LINEWIDTH belong to several commands.
    EXPECT_TRUE(it.apply(ItemCommand::FrameSet, "LINEWIDTH 50, COLOR 255"));
    EXPECT_TRUE(it.apply(ItemCommand::AxisSet, "COLOR 255"));
}

TEST(ItemLists, IntegersReadAsTheProgramReadsThem) {
    EXPECT_EQ(read_item_integer("  -12abc"), -12);
    EXPECT_EQ(read_item_integer("+7"), 7);
    EXPECT_EQ(read_item_integer("x1"), 0);
    EXPECT_EQ(read_item_integer(""), 0);
    EXPECT_EQ(read_item_integer("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(read_item_integer("-99999999999999999999"), INT32_MIN);
}

TEST(ItemLists, TransformsSwitchOrKeepTheirExpression) {
    Items it;
    it.apply(ItemCommand::Data, "XTRANS x*2, XTRANS ON");
    EXPECT_EQ(it.tmpl.Xtrans, "x*2");
    EXPECT_EQ(it.tmpl.IsXtrans, 1);
    it.apply(ItemCommand::Data, "XTRANS off");
    EXPECT_EQ(it.tmpl.IsXtrans, 0);
    EXPECT_EQ(it.tmpl.Xtrans, "x*2");
    it.apply(ItemCommand::Data, "YTRANS on, YTRANS y+1");
    EXPECT_EQ(it.tmpl.IsYtrans, 1);
    EXPECT_EQ(it.tmpl.Ytrans, "y+1");
    it.apply(ItemCommand::Data, "YTRANS " + std::string(5000, 'y'));
    EXPECT_EQ(it.tmpl.Ytrans.size(), EXPRESSION_CAPACITY - 1);
}

TEST(ItemLists, DataKeywordsFillTheirTemplateFields) {
    Items it;
    it.apply(ItemCommand::Data, "LINETYPE 3, PLOTSIZE 250, COLOR 255, LINECOLOR 65280, "
                                "LINEWIDTH 20, LINEPITCH 400");
    EXPECT_EQ(it.tmpl.LineType, 3);
    EXPECT_EQ(it.tmpl.PlotSize, 250);
    EXPECT_EQ(it.tmpl.marker_color, 255);
    EXPECT_EQ(it.tmpl.line.color, 65280);
    EXPECT_EQ(it.tmpl.line.width, 20);
    EXPECT_EQ(it.tmpl.line.pitch, 400);
}

TEST(ItemLists, ScalesTakeTwoOrFourNumbersOrClear) {
    Items it;
    Axis& x = it.graph->axes[AxisX];
    it.apply(ItemCommand::AxisSet, "XSCALE 0 10");
    EXPECT_EQ(x.from, 0);
    EXPECT_EQ(x.to, 10);
    EXPECT_EQ(x.auto_step, 1);
    it.apply(ItemCommand::AxisSet, "XSCALE -5 5 2 5");
    EXPECT_EQ(x.from, -5);
    EXPECT_EQ(x.increment, 2);
    EXPECT_EQ(x.division, 5);
    EXPECT_EQ(x.auto_step, 0);
    it.apply(ItemCommand::AxisSet, "XSCALE 1 2 3");
    EXPECT_EQ(x.from, 1);
    EXPECT_EQ(x.increment, 2); // the third number is read and not used
    EXPECT_EQ(x.auto_step, 1);
    it.apply(ItemCommand::AxisSet, "XSCALE 7");
    EXPECT_EQ(x.from, 1);
    it.apply(ItemCommand::AxisSet, "XSCALE nan inf");
    EXPECT_EQ(x.from, 1);

    it.apply(ItemCommand::AxisSet, "YSCALE CLEAR, RSCALE clear");
    EXPECT_THAT(it.cleared, ElementsAre(AxisY, AxisR));
    EXPECT_EQ(it.graph->axes[AxisY].common, 1);

    it.apply(ItemCommand::AxisSet, "USCALE 0 1");
    EXPECT_EQ(it.graph->axes[AxisX].common, 0);
    EXPECT_EQ(it.graph->axes[AxisU].common, 0);
    EXPECT_EQ(it.graph->axes[AxisY].common, 1);
    it.apply(ItemCommand::AxisSet, "RSCALE 0 1");
    EXPECT_EQ(it.graph->axes[AxisY].common, 0);
    EXPECT_EQ(it.graph->axes[AxisR].common, 0);
}

TEST(ItemLists, ScaleTypesByWord) {
    Items it;
    it.apply(ItemCommand::AxisSet, "XSCALETYPE LOG, USCALETYPE inverse2, RSCALETYPE LogNormal");
    EXPECT_EQ(it.graph->axes[AxisX].scale_type, 1);
    EXPECT_EQ(it.graph->axes[AxisU].scale_type, 4);
    EXPECT_EQ(it.graph->axes[AxisR].scale_type, 3);
    it.apply(ItemCommand::AxisSet, "XSCALETYPE logarithmic");
    EXPECT_EQ(it.graph->axes[AxisX].scale_type, 0);
}

TEST(ItemLists, ColoursOfAxesAndFrame) {
    Items it;
    it.apply(ItemCommand::AxisSet, "COLOR 255 65280");
    for (const Axis& a : it.graph->axes) {
        EXPECT_EQ(a.major_line.color, 255);
        EXPECT_EQ(a.minor_line.color, 65280);
    }
    it.apply(ItemCommand::AxisSet, "COLOR 16711680");
    EXPECT_EQ(it.graph->axes[AxisR].major_line.color, 16711680);
    EXPECT_EQ(it.graph->axes[AxisR].minor_line.color, 65280);

    it.apply(ItemCommand::FrameSet, "COLOR 255");
    EXPECT_EQ(it.graph->frame_line.color, 255);
    EXPECT_EQ(it.graph->background_color, 0xFFFFFF);
    it.apply(ItemCommand::FrameSet, "COLOR 1 2");
    EXPECT_EQ(it.graph->background_color, 2);
}

TEST(ItemLists, FramePositionIsClampedWithTheTieGoingToTheSize) {
    Items it;
    Graph& g = *it.graph;
    it.apply(ItemCommand::FrameSet, "POS 10000 2000 40000 5000");
    EXPECT_EQ(std::vector<int32_t>({g.frame_left, g.frame_top, g.frame_width, g.frame_height}),
              std::vector<int32_t>({10000, 2000, 22000, 5000}));
    it.apply(ItemCommand::FrameSet, "POS 16000 16000 16000 16000");
    EXPECT_EQ(std::vector<int32_t>({g.frame_left, g.frame_top, g.frame_width, g.frame_height}),
              std::vector<int32_t>({16000, 16000, 16000, 16000}));
    it.apply(ItemCommand::FrameSet, "POS 17000 1000 17000 1000");
    EXPECT_EQ(g.frame_left, 16000);
    EXPECT_EQ(g.frame_width, 16000);
    it.apply(ItemCommand::FrameSet, "POS -5 99999 3000 28000");
    EXPECT_EQ(std::vector<int32_t>({g.frame_left, g.frame_top, g.frame_width, g.frame_height}),
              std::vector<int32_t>({1000, 16000, 3000, 16000}));
    // Missing numbers keep the current values.
    it.apply(ItemCommand::FrameSet, "POS 5000");
    EXPECT_EQ(g.frame_left, 5000);
    EXPECT_EQ(g.frame_width, 3000);
}

TEST(ItemLists, FrameWidthAndTypeOutOfRangeChangeNothing) {
    Items it;
    Graph& g = *it.graph;
    const int32_t width = g.frame_line.width;
    it.apply(ItemCommand::FrameSet, "LINEWIDTH 20, FrameType 5");
    EXPECT_EQ(g.frame_line.width, width);
    EXPECT_EQ(g.FrameType, 1);
    it.apply(ItemCommand::FrameSet, "LINEWIDTH 1000, FRAMETYPE 4");
    EXPECT_EQ(g.frame_line.width, width);
    EXPECT_EQ(g.FrameType, 1); // accepted by the table, but no frame type 4 exists
    it.apply(ItemCommand::FrameSet, "LINEWIDTH 21, frametype 3");
    EXPECT_EQ(g.frame_line.width, 21);
    EXPECT_EQ(g.FrameType, 3);
    it.apply(ItemCommand::FrameSet, "LINEWIDTH 999, FrameType 0");
    EXPECT_EQ(g.frame_line.width, 999);
    EXPECT_EQ(g.FrameType, 0);
}

} // namespace plox::test
