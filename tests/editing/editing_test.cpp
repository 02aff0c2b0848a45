// The editing core without a window: hit testing, drags with snapping, frame changes, region
// selection, deletion, drawing order, alignment, Tab order, defaults and the clipboard record.
#include "document/graph_ops.h"
#include "editing/drag.h"
#include "editing/hit_test.h"
#include "editing/object_clipboard.h"
#include "editing/object_edit.h"
#include "settings/store.h"

#include <gtest/gtest.h>

namespace plox::editing {
namespace {

struct EditingTest : ::testing::Test {
    EditingTest() {
        add_graph(set);
        g().unmodified = 1;
    }
    Graph& g() { return *set.graphs[0]; }
    // A text whose drawn extent is the given page box.
    int add_text(int32_t x, int32_t y, Rect32 extent, std::string text = "t") {
        GraphObject o;
        o.Type = object_type::Text;
        o.x = x;
        o.y = y;
        o.Str = std::move(text);
        o.extent_left = extent.left, o.extent_top = extent.top;
        o.extent_right = extent.right, o.extent_bottom = extent.bottom;
        return insert_object(g(), o);
    }
    int add_arrow(double x1, double y1, double x2, double y2, int ref_x = 0) {
        GraphObject o;
        o.Type = object_type::FilledArrow;
        o.alignment = 1;
        o.RefX = ref_x;
        o.position = {x1, y1, x2, y2};
        return insert_object(g(), o);
    }
    Selection grab(int k, int slot = -1, int point = 0) {
        Selection s;
        s.hit = {k, slot, point};
        return s;
    }
    GraphSet set;
};

TEST_F(EditingTest, HigherSlotWinsAndArrowHandlesAndFrameZonesAreFound) {
    const int low = add_text(1000, 1000, {5000, 2000, 9000, 3000});
    const int high = add_text(1000, 1000, {6000, 2000, 8000, 3000});
    EXPECT_EQ(hit_test(g(), 7000, 2500), (Hit{kind::Text, high}));
    EXPECT_EQ(hit_test(g(), 5500, 2500), (Hit{kind::Text, low}));

    // Arrow from (20,20) mm to (60,40) mm relative to the frame at (4000,1500).
    const int arrow = add_arrow(20, 20, 60, 40);
    EXPECT_EQ(hit_test(g(), 6000 + 250, 3500 - 250).kind, kind::ArrowStart);
    EXPECT_EQ(hit_test(g(), 10000, 5500), (Hit{kind::ArrowEnd, arrow}));
    EXPECT_EQ(hit_test(g(), 8000, 4500), (Hit{kind::ArrowWhole, arrow}));

    // Frame 4000,1500 140 x 100 mm: corners first, then edges, then inside.
    EXPECT_EQ(hit_test(g(), 4000, 1500).kind, kind::CornerTopLeft);
    EXPECT_EQ(hit_test(g(), 18000, 11500).kind, kind::CornerBottomRight);
    EXPECT_EQ(hit_test(g(), 4000 + 2700, 1500 + 100).kind, kind::CornerTopLeft);
    EXPECT_EQ(hit_test(g(), 4000 + 3000, 1500 + 100).kind, kind::EdgeTop);
    EXPECT_EQ(hit_test(g(), 12000, 11500 - 200).kind, kind::EdgeBottom);
    EXPECT_EQ(hit_test(g(), 4100, 7000).kind, kind::EdgeLeft);
    EXPECT_EQ(hit_test(g(), 17900, 7000).kind, kind::EdgeRight);
    EXPECT_EQ(hit_test(g(), 15000, 9000).kind, kind::InsideFrame);
    EXPECT_EQ(hit_test(g(), 30000, 30000).kind, kind::Nothing);
}

TEST_F(EditingTest, SnappingKeepsShortDragsAndRoundsHalvesAwayFromZero) {
    EXPECT_EQ(snap_value(150, 100), 200);
    EXPECT_EQ(snap_value(-150, 100), -200);
    EXPECT_EQ(snap_value(149, 100), 100);
    EXPECT_EQ(snap_value(12.5, 1), 13);

    const int slot = add_text(5000, 5000, {0, 0, 10, 10});
    g().unmodified = 1;
    EXPECT_FALSE(apply_drag(set, grab(kind::Text, slot), 70, 70, 100));
    EXPECT_EQ(g().objects[slot].x, 5000);
    EXPECT_EQ(g().unmodified, 1);
    EXPECT_TRUE(apply_drag(set, grab(kind::Text, slot), 160, 0, 100));
    EXPECT_EQ(g().objects[slot].x, 5200);
    EXPECT_EQ(g().objects[slot].y, 5000);
    EXPECT_EQ(g().unmodified, 0);

    // At 200 % magnification the page offset halves in stored units.
    g().Magnification = 200;
    EXPECT_TRUE(apply_drag(set, grab(kind::Text, slot), 400, 0, 100));
    EXPECT_EQ(g().objects[slot].x, 5400);
}

TEST_F(EditingTest, FrameEdgesCornersAndDegenerateFrames) {
    // The top edge moves the whole frame; the bottom edge only its height.
    ASSERT_TRUE(apply_drag(set, grab(kind::EdgeTop), 1000, 500, 100));
    EXPECT_EQ(g().frame_left, 5000);
    EXPECT_EQ(g().frame_top, 2000);
    EXPECT_EQ(g().frame_width, 14000);
    EXPECT_EQ(g().frame_height, 10000);
    ASSERT_TRUE(apply_drag(set, grab(kind::EdgeBottom), 3000, -2000, 100));
    EXPECT_EQ(g().frame_left, 5000);
    EXPECT_EQ(g().frame_top, 2000);
    EXPECT_EQ(g().frame_width, 14000);
    EXPECT_EQ(g().frame_height, 8000);

    // The bottom-right corner dragged past the top-left one swaps the corners.
    ASSERT_TRUE(apply_drag(set, grab(kind::CornerBottomRight), -16000, -9000, 100));
    EXPECT_EQ(g().frame_left, 3000);
    EXPECT_EQ(g().frame_top, 1000);
    EXPECT_EQ(g().frame_width, 2000);
    EXPECT_EQ(g().frame_height, 1000);

    // A right edge dragged onto the left edge leaves 10 mm.
    ASSERT_TRUE(apply_drag(set, grab(kind::EdgeRight), -2000, 0, 100));
    EXPECT_EQ(g().frame_width, 1000);
    // The same frame again is no change.
    EXPECT_FALSE(apply_drag(set, grab(kind::EdgeRight), -20, 0, 1));
}

TEST_F(EditingTest, AxisReferencedArrowMovesOnlyVertically) {
    const int slot = add_arrow(5, 20, 8, 40, 1);
    ASSERT_TRUE(apply_drag(set, grab(kind::ArrowWhole, slot), 1000, 1000, 100));
    const GraphObject& o = g().objects[slot];
    EXPECT_DOUBLE_EQ(o.position[0], 5);
    EXPECT_DOUBLE_EQ(o.position[2], 8);
    EXPECT_DOUBLE_EQ(o.position[1], 30);
    EXPECT_DOUBLE_EQ(o.position[3], 50);
    const std::string status = drag_status(g(), grab(kind::ArrowWhole, slot), 1000, 1000, 100);
    EXPECT_EQ(status, "arrow: (x1, 40.00)-( x2, 60.00)");
}

TEST_F(EditingTest, DragStatusShowsSnappedMillimetres) {
    EXPECT_EQ(drag_status(g(), grab(kind::EdgeLeft), 160, 0, 100), "Graph: (42.00, y1)-( x2, y2)");
    const int slot = add_text(5000, 5000, {0, 0, 10, 10});
    EXPECT_EQ(drag_status(g(), grab(kind::Text, slot), 160, -40, 100), "title: (52.00, 50.00)");
}

TEST_F(EditingTest, RegionSelectsObjectsOfEveryGraphAndGroupMovesAndAligns) {
    add_text(0, 0, {5000, 5000, 6000, 5500});
    add_text(0, 0, {20000, 5000, 21000, 5500});
    Graph* second = add_graph(set);
    GraphObject o;
    o.Type = object_type::Text;
    o.Str = "b";
    o.extent_left = 7000, o.extent_top = 6000, o.extent_right = 9000, o.extent_bottom = 6500;
    insert_object(*second, o);
    set.current = 0;

    Selection s = select_region(set, {10000, 7000, 4000, 4000}); // corners in any order
    ASSERT_EQ(s.hit.kind, kind::Group);
    EXPECT_EQ(s.group, (std::vector<ObjectRef>{{0, 0}, {1, 0}}));
    EXPECT_EQ(select_region(set, {0, 0, 100, 100}).hit.kind, kind::Nothing);

    ASSERT_TRUE(align_group(set, s, Align::Right));
    EXPECT_EQ(g().objects[0].x, 4000);     // extent right 6000 → 10000
    EXPECT_EQ(second->objects[0].x, 1000); // extent right 9000 → 10000
    EXPECT_EQ(g().objects[1].x, 0);        // not selected
    ASSERT_TRUE(align_group(set, s, Align::Left));
    EXPECT_EQ(g().objects[0].x, -1000); // extent left 9000 → 4000
    EXPECT_EQ(second->objects[0].x, -3000);

    ASSERT_TRUE(apply_drag(set, s, 500, 1000, 100));
    EXPECT_EQ(g().objects[0].y, 1000);
    EXPECT_EQ(g().objects[0].x, -500);
    EXPECT_EQ(second->objects[0].y, 1000);
}

TEST_F(EditingTest, DeleteCompactsAndOrderMovesTheObject) {
    const int a = add_text(1, 0, {}), b = add_text(2, 0, {}), c = add_text(3, 0, {});
    ASSERT_EQ(c, 2);
    EXPECT_EQ(bring_to_front(g(), a), 2);
    EXPECT_EQ(g().objects[0].x, 2);
    EXPECT_EQ(g().objects[1].x, 3);
    EXPECT_EQ(g().objects[2].x, 1);
    EXPECT_EQ(send_to_back(g(), 2), 0);
    EXPECT_EQ(g().objects[0].x, 1);
    EXPECT_EQ(g().objects[2].x, 3);
    EXPECT_EQ(bring_to_front(g(), 50), -1);

    ASSERT_TRUE(delete_selection(set, grab(kind::Text, b)));
    EXPECT_EQ(g().objects[0].x, 1);
    EXPECT_EQ(g().objects[1].x, 3);
    EXPECT_FALSE(g().objects[2].used);
    EXPECT_FALSE(delete_selection(set, grab(kind::WholeFrame)));
}

TEST_F(EditingTest, TabWalksFrameThenObjectsSkippingEmptyTexts) {
    add_text(0, 0, {}, "");
    const int arrow = add_arrow(1, 1, 2, 2);
    add_text(0, 0, {}, "");
    const int text = add_text(0, 0, {}, "x");
    Hit h = next_in_tab_order(g(), {}, false);
    EXPECT_EQ(h.kind, kind::WholeFrame);
    h = next_in_tab_order(g(), h, false);
    EXPECT_EQ(h, (Hit{kind::ArrowWhole, arrow}));
    h = next_in_tab_order(g(), h, false);
    EXPECT_EQ(h, (Hit{kind::Text, text}));
    EXPECT_EQ(next_in_tab_order(g(), h, false).kind, kind::Nothing);
    // Backwards walks the same order.
    EXPECT_EQ(next_in_tab_order(g(), {}, true), (Hit{kind::Text, text}));
    EXPECT_EQ(next_in_tab_order(g(), {kind::ArrowWhole, arrow}, true).kind, kind::WholeFrame);
    EXPECT_EQ(next_in_tab_order(g(), {kind::WholeFrame}, true).kind, kind::Nothing);
}

TEST_F(EditingTest, NewObjectsTakeBuiltInDefaultsThenSettings) {
    GraphObject y = new_text(g(), object_type::TitleY, nullptr);
    EXPECT_EQ(y.x, -1200);
    EXPECT_EQ(y.Font2.escapement, 900);
    EXPECT_EQ(y.Font1.height, -2400);

    MemorySettingsStore store;
    LogFont big = y.Font1;
    big.height = -3600;
    big.face = "Arial";
    store.write_binary("Title Ini", "Font1", font_bytes(big));
    store.write("Title Ini", "x", 700);
    store.write_text("Title Ini", "Str", "not for free texts");
    GraphObject t = new_text(g(), object_type::Text, &store);
    EXPECT_EQ(t.x, 700);
    EXPECT_EQ(t.Font1.face, "Arial");
    EXPECT_EQ(t.Font1.height, -3600);
    EXPECT_TRUE(t.Str.empty());

    GraphObject a = new_arrow(g(), nullptr);
    a.Type = object_type::Line;
    a.Color = 0xFF;
    a.position = {1, 2, 3, 4.5};
    save_object_defaults(store, a);
    GraphObject b = new_arrow(g(), &store);
    EXPECT_EQ(b.Type, object_type::Line);
    EXPECT_EQ(b.Color, 0xFF);
    EXPECT_DOUBLE_EQ(b.position[3], 4.5);
}

TEST_F(EditingTest, ClipboardRecordTravelsAndHostileRecordsAreRefused) {
    GraphObject t = new_text(g(), object_type::Text, nullptr);
    t.Str = "a\\nb";
    t.alignment = 2;
    t.Color = 0x123456;
    const std::vector<uint8_t> bytes = encode_object(t);
    ASSERT_EQ(bytes.size(), OBJECT_RECORD_SIZE);
    auto back = decode_object(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Str, "a\\nb");
    EXPECT_EQ(back->Font2, t.Font2);
    EXPECT_EQ(back->Color, 0x123456);
    EXPECT_EQ(back->alignment, 2);
    EXPECT_STREQ(clipboard_format(t), LEGEND_FORMAT);

    GraphObject dot = new_point_object(g(), nullptr);
    dot.alignment = 3;
    dot.points[2] = {-500, 700};
    auto dot_back = decode_object(encode_object(dot));
    ASSERT_TRUE(dot_back);
    EXPECT_EQ(dot_back->points[2], (Point32{-500, 700}));

    auto broken = [&](auto change) {
        std::vector<uint8_t> b = bytes;
        change(b);
        return decode_object(b).has_value();
    };
    EXPECT_FALSE(broken([](auto& b) { b.pop_back(); }));
    EXPECT_FALSE(broken([](auto& b) { b.push_back(0); }));
    EXPECT_FALSE(broken([](auto& b) { b[0] = 11; }));                                // type
    EXPECT_FALSE(broken([](auto& b) { std::fill(b.begin() + 312, b.end(), 'x'); })); // text
    EXPECT_FALSE(broken([](auto& b) { b[12 + 7] = 0x7F, b[12 + 6] = 0xF0; }));       // infinity
    EXPECT_FALSE(broken([](auto& b) { std::fill(b.begin() + 160, b.begin() + 192, 'f'); }));
    std::vector<uint8_t> many = encode_object(dot);
    many[44 + 17 * 4] = 11; // Num
    EXPECT_FALSE(decode_object(many));
    EXPECT_FALSE(decode_object({}));
}

TEST_F(EditingTest, PointObjectsAndRectanglesAreGrabbedByTheirPointsAndCorners) {
    GraphObject dot = new_point_object(g(), nullptr);
    dot.PlotType = 29;
    dot.alignment = 3;
    dot.points[0] = {1000, 1000};
    dot.points[1] = {3000, 1000};
    dot.points[2] = {3000, 4000};
    const int d = insert_object(g(), dot);
    // Frame corner at (4000, 1500): the third point is at page (7000, 5500).
    EXPECT_EQ(hit_test(g(), 7100, 5400), (Hit{kind::Point, d, 2}));
    ASSERT_TRUE(apply_drag(set, grab(kind::Point, d, 2), 1000, -500, 100));
    EXPECT_EQ(g().objects[d].points[2], (Point32{4000, 3500}));
    EXPECT_EQ(g().objects[d].points[1], (Point32{3000, 1000}));

    GraphObject rect = new_rectangle(g(), nullptr);
    rect.position = {100, 60, 120, 80};
    const int r = insert_object(g(), rect);
    EXPECT_EQ(hit_test(g(), 14000, 7500).kind, kind::BoxTopLeft);
    EXPECT_EQ(hit_test(g(), 16000, 9500).kind, kind::BoxBottomRight);
    EXPECT_EQ(hit_test(g(), 14000, 9500).kind, kind::BoxBottomLeft);
    EXPECT_EQ(hit_test(g(), 15000, 8500), (Hit{kind::Box, r}));
    ASSERT_TRUE(apply_drag(set, grab(kind::BoxBottomRight, r), -500, 1000, 100));
    EXPECT_EQ(g().objects[r].position, (std::array<double, 4>{100, 60, 115, 90}));
}

TEST_F(EditingTest, OtherShownGraphsAnswerWhereTheCurrentOneHasNothing) {
    Graph* second = add_graph(set);
    second->frame_left = 20000;
    second->frame_width = 8000;
    set.current = 0;
    const GraphHit far = hit_test_set(set, true, 24000, 6000);
    EXPECT_EQ(far.graph, 1);
    EXPECT_EQ(far.hit.kind, kind::InsideFrame);
    EXPECT_EQ(hit_test_set(set, false, 24000, 6000).graph, 0);
    // Inside the current frame the current graph keeps the mouse.
    EXPECT_EQ(hit_test_set(set, true, 10000, 6000).graph, 0);
}

TEST_F(EditingTest, GroupDeleteCompactsEveryGraphTouched) {
    add_text(1, 0, {5000, 5000, 6000, 5500});
    add_text(2, 0, {20000, 5000, 21000, 5500});
    add_text(3, 0, {5000, 7000, 6000, 7500});
    Graph* second = add_graph(set);
    GraphObject o;
    o.Type = object_type::Text;
    o.Str = "b";
    o.extent_left = 5500, o.extent_top = 6000, o.extent_right = 5800, o.extent_bottom = 6500;
    insert_object(*second, o);
    set.current = 0;
    const Selection s = select_region(set, {4000, 4000, 10000, 8000});
    ASSERT_EQ(s.group.size(), 3u);
    ASSERT_TRUE(delete_selection(set, s));
    EXPECT_EQ(g().objects[0].x, 2);
    EXPECT_FALSE(g().objects[1].used);
    EXPECT_FALSE(second->objects[0].used);
}

TEST(ClipboardText, LineBreaksBecomeEscapesAndLengthIsBounded) {
    EXPECT_EQ(text_from_clipboard("a\r\nb"), "a\\nb");
    EXPECT_EQ(text_from_clipboard(std::string(600, 'x')).size(), 511u);
}

} // namespace
} // namespace plox::editing
