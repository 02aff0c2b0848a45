// The shell's rules without a window: command table, menu-state rules, page geometry.
#include "shell/command_table.h"
#include "shell/menu_state.h"
#include "shell/page_geometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace plox::shell {

TEST(CommandTable, EveryMenuItemHasOneCommandAndAcceleratorsAreUnique) {
    std::function<void(const std::vector<MenuEntry>&)> check =
        [&](const std::vector<MenuEntry>& entries) {
            for (const MenuEntry& e : entries) {
                if (e.kind == MenuEntry::Kind::Item) {
                    EXPECT_NE(find_command(e.id), nullptr) << e.id;
                }
                check(e.children);
            }
        };
    ASSERT_EQ(main_menu().size(), 8u);
    EXPECT_EQ(main_menu()[3].title, "ｸﾞﾗﾌ(&G)");
    for (const Menu& m : main_menu())
        check(m.entries);
    for (const Menu& m : popup_menus())
        check(m.entries);

    std::set<std::string> keys;
    for (const Command& c : commands())
        for (std::string_view k : {c.shortcut, c.shortcut2})
            if (!k.empty()) {
                EXPECT_TRUE(keys.insert(std::string(k)).second) << k;
            }
    EXPECT_EQ(find_command(219)->shortcut, "Ctrl+S");
    EXPECT_EQ(find_command(132)->shortcut2, "Shift+Ins");
    EXPECT_EQ(toolbar_buttons().size(), 14u);
    EXPECT_EQ(toolbar_buttons()[0].id, 238);
    EXPECT_EQ(toolbar_buttons()[13].id, 653);
}

TEST(CommandTable, GraphItemNumbersDoNotCollide) {
    for (int i = 0; i < 20; ++i) {
        const int id = cmd::graph_command(i);
        EXPECT_EQ(cmd::graph_of_command(id), i);
        EXPECT_EQ(find_command(id), nullptr) << id;
    }
    EXPECT_EQ(cmd::graph_command(0), 227);
    EXPECT_EQ(cmd::graph_command(9), 236);
    EXPECT_EQ(cmd::graph_of_command(237), -1);
}

TEST(MenuState, GraphCountRules) {
    MenuInputs in;
    MenuState one = evaluate_menu_state(in);
    EXPECT_EQ(one.find(222)->label, "名前を付けて保存(&A)");
    EXPECT_FALSE(one.find(226)->enabled);
    EXPECT_FALSE(one.find(238)->enabled);
    EXPECT_TRUE(one.find(220)->enabled);
    in.graph_count = 20;
    in.current_graph = 3;
    MenuState many = evaluate_menu_state(in);
    EXPECT_EQ(many.find(222)->label, "グラフの個別保存");
    EXPECT_TRUE(many.find(226)->enabled);
    EXPECT_FALSE(many.find(220)->enabled);
    EXPECT_TRUE(many.find(cmd::graph_command(3))->checked);
    EXPECT_FALSE(many.find(cmd::graph_command(0))->checked);
}

TEST(MenuState, ClipboardAndSelectionRules) {
    MenuInputs in;
    MenuState m = evaluate_menu_state(in);
    EXPECT_FALSE(m.find(115)->enabled);
    EXPECT_FALSE(m.find(132)->enabled);
    EXPECT_EQ(m.find(132)->label, "貼り付け\tCtrl+V");
    in.clipboard_text = true;
    in.clipboard_arrow = in.clipboard_dot = true;
    m = evaluate_menu_state(in);
    EXPECT_TRUE(m.find(215)->enabled);
    EXPECT_TRUE(m.find(132)->enabled);
    EXPECT_EQ(m.find(132)->label, "ドットの貼り付け\tCtrl+V"); // the last format wins
    in.free_object_slot = false;
    EXPECT_FALSE(evaluate_menu_state(in).find(132)->enabled);

    EXPECT_FALSE(m.find(130)->enabled);
    in.selection = Selection::ReadValuePoint;
    EXPECT_FALSE(evaluate_menu_state(in).find(130)->enabled);
    in.selection = Selection::Region;
    m = evaluate_menu_state(in);
    EXPECT_TRUE(m.find(130)->enabled);
    EXPECT_FALSE(m.find(131)->enabled);
    in.selection = Selection::Objects;
    EXPECT_TRUE(evaluate_menu_state(in).align_submenu_enabled);
    in.selection = Selection::Object;
    m = evaluate_menu_state(in);
    EXPECT_TRUE(m.find(131)->enabled && m.find(133)->enabled);
    EXPECT_FALSE(m.align_submenu_enabled);
}

TEST(MenuState, ModesSeriesAndCommonAxes) {
    MenuInputs in;
    in.show_all = true;
    in.preview = true;
    MenuState m = evaluate_menu_state(in);
    EXPECT_FALSE(m.find(241)->enabled);
    EXPECT_TRUE(m.find(242)->enabled);
    EXPECT_TRUE(m.find(117)->checked);
    in.default_page_width_mm = 0.5;
    EXPECT_FALSE(evaluate_menu_state(in).find(117)->enabled);

    in.series_count = 0;
    m = evaluate_menu_state(in);
    EXPECT_FALSE(m.analysis_submenus_enabled);
    for (int id : {103, 102, 670, 669, 622, 623, 668, 239, 659})
        EXPECT_FALSE(m.find(id)->enabled) << id;
    in.series_count = 1;
    m = evaluate_menu_state(in);
    EXPECT_TRUE(m.analysis_submenus_enabled);
    EXPECT_TRUE(m.find(102)->enabled);
    EXPECT_FALSE(m.find(678)->enabled);
    in.series_count = 50;
    m = evaluate_menu_state(in);
    EXPECT_FALSE(m.find(101)->enabled);
    EXPECT_FALSE(m.find(126)->enabled);
    EXPECT_TRUE(m.find(678)->enabled);

    in.x_common = true;
    m = evaluate_menu_state(in);
    EXPECT_FALSE(m.find(203)->enabled);
    EXPECT_FALSE(m.find(693)->enabled);
    EXPECT_TRUE(m.find(204)->enabled);
}

TEST(PageGeometry, NormalExtentFollowsZoom) {
    EXPECT_EQ(normal_layout(100, 96, 96).extent, (Size{1209, 1209}));
    EXPECT_EQ(normal_layout(200, 96, 72).extent, (Size{2418, 1814}));
    EXPECT_EQ(line_step(600), 75);
    EXPECT_EQ(line_step(5), 1);
}

TEST(PageGeometry, PreviewFitsAndCentresThePaper) {
    // A4 portrait in a wide window: height limits, 5 px margin on top, centred across.
    PageLayout l = preview_layout(Paper{}, {800, 600}, 96, 96);
    EXPECT_EQ(l.origin_y, 5);
    EXPECT_NEAR(l.paper.height, 590, 1);
    EXPECT_NEAR(l.paper.width, 590 * 210 / 297, 1);
    EXPECT_NEAR(l.origin_x, (800 - l.paper.width) / 2, 1);
    EXPECT_NEAR(l.extent.height, 590.0 * 320 / 297, 1.5);
    // Landscape swaps the sides; print scale 50 doubles the paper; a tiny page counts as 320 mm.
    PageLayout land = preview_layout(Paper{210, 297, true, 100}, {600, 800}, 96, 96);
    EXPECT_EQ(land.origin_x, 5);
    EXPECT_GT(land.paper.width, land.paper.height);
    PageLayout half = preview_layout(Paper{210, 297, false, 50}, {800, 600}, 96, 96);
    EXPECT_NEAR(half.extent.height, 590.0 * 320 / 594, 1.5);
    PageLayout tiny = preview_layout(Paper{5, 5, false, 100}, {600, 600}, 96, 96);
    EXPECT_NEAR(tiny.extent.width, 590, 1.5);
}

} // namespace plox::shell
