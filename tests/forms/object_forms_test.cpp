// Object dialog rules: direction, sizes and line breaks of texts, the point count of
// multi-point markers, the arrow shape list, rectangle normalisation and the object manager.
#include "document/graph_ops.h"
#include "forms/object_forms.h"

#include <gtest/gtest.h>

namespace plox::forms {
namespace {

TEST(TextForm, DirectionSizeStyleAndLineBreaksReachAllThreeFonts) {
    GraphObject o;
    o.Type = object_type::Text;
    o.Str = "a\\nb";
    TextForm f;
    f.load(o);
    EXPECT_EQ(f.text, "a\nb");
    f.text = "x\r\ny\nz";
    f.direction = 90;
    f.size = 200;
    f.style = 3;
    f.faces = {"Arial", "ＭＳ", std::string(40, 'f')};
    f.apply(o);
    EXPECT_EQ(o.Str, "x\\ny\\nz");
    for (const LogFont* font : {&o.Font1, &o.Font2, &o.Font3}) {
        EXPECT_EQ(font->escapement, 900);
        EXPECT_EQ(font->orientation, 900);
        EXPECT_EQ(font->height, -10000); // clamped to 100 points
        EXPECT_EQ(font->weight, 700);
        EXPECT_EQ(font->italic, 1);
    }
    EXPECT_EQ(o.Font3.face.size(), 31u);
    for (int bad : {360, -10, 0}) {
        f.direction = bad;
        f.size = 1;
        f.apply(o);
        EXPECT_EQ(o.Font2.escapement, 0) << bad;
        EXPECT_EQ(o.Font2.height, -300);
    }
    f.text = std::string(600, 'q');
    f.apply(o);
    EXPECT_EQ(o.Str.size(), 511u);
}

TEST(DotForm, PointCountOfMultiPointTypesAndTheBrushList) {
    auto g = create_graph();
    GraphObject o;
    o.Type = object_type::PointObject;
    o.alignment = 1;
    DotForm f;
    f.load(o);
    f.plot_type = 30;
    f.count_or_length = "15";
    f.x = "10";
    f.apply(*g, o);
    EXPECT_EQ(o.alignment, 10);
    EXPECT_EQ(o.points[0].x, 1000);
    f.count_or_length = "1";
    f.apply(*g, o);
    EXPECT_EQ(o.alignment, 2);
    f.plot_type = 27;
    f.count_or_length = "7";
    f.apply(*g, o);
    EXPECT_EQ(o.alignment, 2);
    f.plot_type = 3;
    f.count_or_length = "12.5";
    f.apply(*g, o);
    EXPECT_EQ(o.alignment, 1);
    EXPECT_EQ(o.Length, 1250);
    EXPECT_STREQ(count_or_length_label(31), "区点");
    EXPECT_STREQ(count_or_length_label(2), "長さ");

    f.brush = 1;
    f.apply(*g, o);
    EXPECT_EQ(o.DotStyle, 1);
    EXPECT_EQ(o.Hatch, 5);
    f.brush = 4;
    f.apply(*g, o);
    EXPECT_EQ(o.DotStyle, 2);
    EXPECT_EQ(o.Hatch, 2);
    f.load(o);
    EXPECT_EQ(f.brush, 4);
}

TEST(ArrowForm, ShapeEntriesGiveTypeAndHeadStyle) {
    GraphObject o;
    ArrowForm f;
    f.load(o);
    f.shape = 5;
    f.apply(o);
    EXPECT_EQ(o.Type, object_type::OpenArrow);
    EXPECT_EQ(o.alignment, 2);
    f.shape = 0;
    f.apply(o);
    EXPECT_EQ(o.Type, object_type::Line);
    f.shape = 3;
    f.apply(o);
    EXPECT_EQ(o.Type, object_type::FilledArrow);
    EXPECT_EQ(o.alignment, 3);
    f.load(o);
    EXPECT_EQ(f.shape, 3);
}

TEST(RectForm, CornersAreNormalisedAndReferencesBecomeMillimetres) {
    GraphObject o;
    o.Type = object_type::Rectangle;
    o.RefX = 1;
    RectForm f;
    f.load(o);
    f.position = {"50", "40", "10", "20"};
    f.apply(o);
    EXPECT_EQ(o.position, (std::array<double, 4>{10, 20, 50, 40}));
    EXPECT_EQ(o.RefX, 0);
    EXPECT_EQ(o.RefY, 0);
}

TEST(ObjectList, TextsMoveTakeOutAndApplyTheOrder) {
    auto g = create_graph();
    for (int i = 0; i < 4; ++i) {
        GraphObject& o = g->objects[static_cast<size_t>(i)];
        o.used = 1;
        o.Type = object_type::Text;
        o.x = i * 1000;
        o.Str = "t" + std::to_string(i);
    }
    g->objects[3].Type = object_type::Rectangle;
    g->objects[3].position = {1, 2, 30.25, 4};
    EXPECT_EQ(object_list_text(g->objects[1]), "( 10.0,  0.0) t1");
    EXPECT_EQ(object_list_text(g->objects[3]), "(  1.0,  2.0)-( 30.2,  4.0)");

    ObjectList list(*g);
    list.selected = {false, true, false, true};
    list.move_selected_to_top();
    EXPECT_EQ(list.order, (std::vector<int>{1, 3, 0, 2}));
    list.selected = {false, false, true, false};
    list.move_selected_to_bottom();
    EXPECT_EQ(list.order, (std::vector<int>{1, 3, 2, 0}));
    list.selected = {false, true, false, false};
    list.remove_selected();
    EXPECT_EQ(list.order, (std::vector<int>{1, 2, 0}));
    list.toggle_all();
    EXPECT_TRUE(list.any_selected());
    list.toggle_all();
    EXPECT_FALSE(list.any_selected());
    list.selected = {false, false, true};
    EXPECT_EQ(list.apply(*g), (std::vector<int>{2}));
    EXPECT_EQ(g->objects[0].Str, "t1");
    EXPECT_EQ(g->objects[2].Str, "t0");
    EXPECT_FALSE(g->objects[3].used);
}

} // namespace
} // namespace plox::forms
