// Annotation objects: arrows, bars, rectangles, point objects, pictures and extents.
#include "render/objects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "render/recording_surface.h"

namespace plox {
namespace {

template <class T> std::vector<T> all_of(const RecordingSurface& s) {
    std::vector<T> out;
    for (const Command& c : s.commands())
        if (auto* p = std::get_if<T>(&c)) out.push_back(*p);
    return out;
}

// Records images too, which the plain recording leaves out.
class ImageRecorder : public RecordingSurface {
public:
    void draw_image(const Rect& r, const Image& image) override {
        images.push_back({r, image.width});
    }
    std::vector<std::pair<Rect, int32_t>> images;
};

class FakeLoader : public PictureLoader {
public:
    std::optional<Image> load_bitmap(const std::string& path) override {
        asked.push_back(path);
        return Image{40, 20, std::vector<uint32_t>(800, 0xFF00FF00)};
    }
    std::vector<std::string> asked;
};

// Frame corner (4000, 1500), 140 × 100 mm; axes 0 … 100.
struct Fixture {
    Graph graph;
    RenderContext context;
    ImageRecorder surface;
    FixedTextMeasurer measurer;
    Fixture() {
        context.measurer = &measurer;
        for (auto& a : graph.axes)
            a.from = 0, a.to = 100;
    }
    GraphObject& arrow(int type, int heads, std::array<double, 4> pos) {
        GraphObject& o = graph.objects[0];
        o.used = 1;
        o.Type = type;
        o.alignment = heads;
        o.position = pos;
        o.LineWidth = 40;
        o.Length = 500;
        return o;
    }
    void draw(GraphObject& o, bool white = false) {
        surface.clear();
        draw_object(surface, graph, context, o, white);
    }
};

TEST(Arrows, FilledHeadsAtBothEndsAndTheLineStopsAtTheirBases) {
    Fixture f;
    GraphObject& o = f.arrow(object_type::FilledArrow, 3, {10, 20, 60, 20}); // 50 mm to the right
    f.draw(o);
    auto polys = all_of<rec::Polygon>(f.surface);
    ASSERT_EQ(polys.size(), 2u);
    // End head: tip (10000, 3500); barbs 500 back, 0.3 × 500 + 20 to either side.
    EXPECT_EQ(
        polys[0].points,
        (std::vector<Point>{{9500, 3500 + 170}, {10000, 3500}, {9500, 3500 - 170}, {9500, 3500}}));
    EXPECT_EQ(polys[1].points[1], (Point{5000, 3500}));
    EXPECT_EQ(all_of<rec::SelectBrush>(f.surface).back().brush, (Brush{brush_style::Solid, 0, 0}));
    auto moves = all_of<rec::MoveTo>(f.surface);
    auto lines = all_of<rec::LineTo>(f.surface);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(moves[0].p, (Point{5500, 3500}));
    EXPECT_EQ(lines[0].p, (Point{9500, 3500}));
    EXPECT_EQ(o.extent_left, 5500);
    EXPECT_EQ(o.extent_right, 9500);

    o.Shut = 60; // concave: the base sits 60 % of the head back
    o.alignment = 1;
    f.draw(o);
    polys = all_of<rec::Polygon>(f.surface);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].points[3], (Point{9700, 3500}));
    EXPECT_EQ(all_of<rec::LineTo>(f.surface)[0].p, (Point{9700, 3500}));
}

TEST(Arrows, HeadSizeIsNotScaledByTheMagnification) {
    Fixture f;
    f.graph.Magnification = 200;
    GraphObject& o = f.arrow(object_type::FilledArrow, 1, {10, 20, 60, 20});
    f.draw(o);
    auto polys = all_of<rec::Polygon>(f.surface);
    ASSERT_EQ(polys.size(), 1u);
    // Positions double (tip at 4000 + 2 × 6000, 1500 + 2 × 2000); the head stays 500 long and
    // 0.3 × 500 + 40 / 2 wide.
    EXPECT_EQ(polys[0].points,
              (std::vector<Point>{
                  {15500, 5500 + 170}, {16000, 5500}, {15500, 5500 - 170}, {15500, 5500}}));
}

TEST(Arrows, OpenHeadsEndBarsAndAxisReferences) {
    Fixture f;
    GraphObject& o = f.arrow(object_type::OpenArrow, 2, {10, 20, 10, 70}); // downwards
    f.draw(o);
    auto lines = all_of<rec::Polyline>(f.surface);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points[1], (Point{5000, 3500})); // the head at the start
    EXPECT_EQ(lines[0].points[0].y, 4000);

    o.Type = object_type::Line;
    f.draw(o);
    lines = all_of<rec::Polyline>(f.surface);
    ASSERT_EQ(lines.size(), 2u); // one bar across each end
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{4750, 8500}, {5250, 8500}}));

    o.Length = 0;
    f.draw(o);
    EXPECT_TRUE(all_of<rec::Polyline>(f.surface).empty());

    // x given on the X axis beyond its range: pinned to the right frame edge.
    GraphObject& r = f.arrow(object_type::OpenArrow, 1, {50, 10, 250, 10});
    r.RefX = 1;
    f.draw(r);
    EXPECT_EQ(r.extent_left, 4000 + 7000);
    EXPECT_EQ(r.extent_right, 18000);
    EXPECT_EQ(object_point(f.graph, r, 1), (Point{18000, 2500}));
}

TEST(Rectangles, ShadowSidePitchRuleAndRounding) {
    Fixture f;
    GraphObject& o = f.graph.objects[0];
    o.used = 1;
    o.Type = object_type::Rectangle;
    o.position = {50, 40, 10, 20}; // stored reversed: put in order
    o.Pitch = 300;
    o.Length = -200;
    o.Color = 0x123456;
    o.Color2 = 0xABCDEF;
    f.draw(o);
    EXPECT_EQ(o.Pitch, 20);
    EXPECT_EQ(o.position, (std::array<double, 4>{10, 20, 50, 40}));
    auto rects = all_of<rec::Rectangle>(f.surface);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].r, (Rect{4800, 3300, 8800, 5300})); // shadow up and to the left
    EXPECT_EQ(rects[1].r, (Rect{5000, 3500, 9000, 5500}));
    EXPECT_EQ(all_of<rec::SelectBrush>(f.surface).back().brush.color, 0xABCDEF);
    EXPECT_EQ(all_of<rec::SelectPen>(f.surface).back().pen.width, 20);
    EXPECT_EQ(o.extent_left, 4800);
    EXPECT_EQ(o.extent_bottom, 5500);

    o.Length = 0;
    o.Size1 = 100000;
    o.Size2 = 300;
    f.draw(o);
    EXPECT_TRUE(all_of<rec::Rectangle>(f.surface).empty());
    auto rounded = all_of<rec::RoundRect>(f.surface);
    ASSERT_EQ(rounded.size(), 1u); // only the face
    EXPECT_EQ(rounded[0].corner_width, 4000);
    EXPECT_EQ(rounded[0].corner_height, 300);
}

TEST(PointObjects, PentagonLegendSampleAndDefaults) {
    Fixture f;
    GraphObject& o = f.graph.objects[0];
    o.used = 1;
    o.Type = object_type::PointObject;
    o.PlotType = 30;
    o.alignment = 5;
    o.LineStyle = 1;
    o.Color2 = 0x00FF00;
    default_point_geometry(f.graph, o);
    EXPECT_EQ(o.points[0], (Point32{10500, 1500}));
    EXPECT_EQ(o.points[1].y, 2500 - 309);
    f.draw(o);
    auto polys = all_of<rec::Polygon>(f.surface);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].points.size(), 5u);
    EXPECT_EQ(all_of<rec::SelectBrush>(f.surface).back().brush,
              (Brush{brush_style::Solid, 0x00FF00, 5}));
    EXPECT_EQ(all_of<rec::LineTo>(f.surface).size(), 5u); // closed outline
    EXPECT_LE(o.extent_top, 1500 + 1500);
    EXPECT_GE(o.extent_bottom, 1500 + 2500 + 809);

    GraphObject zig;
    zig.PlotType = 29;
    zig.alignment = 4;
    default_point_geometry(f.graph, zig);
    EXPECT_EQ(zig.points[3], (Point32{10500 + 2000, 2500 + 1000}));

    o.alignment = 1;
    o.PlotType = 2;
    o.Size1 = 300;
    o.Length = 1000;
    o.points[0] = {1000, 1000};
    f.draw(o);
    EXPECT_EQ(all_of<rec::Ellipse>(f.surface).size(), 1u);
    EXPECT_EQ(o.extent_left, 5000 - 1000);
    EXPECT_EQ(o.extent_top, 2500 - 210);
}

TEST(Pictures, BitmapsInAnyCaseAndGraFiles) {
    Fixture f;
    FakeLoader loader;
    f.context.pictures = &loader;
    GraphObject& o = f.graph.objects[0];
    o.used = 1;
    o.Type = object_type::Picture;
    o.position = {10, 20, 0, 0};
    o.picture_box = {0, 0, 8000, 0};
    o.Str = "/nowhere/PHOTO.BMP";
    f.draw(o);
    ASSERT_EQ(f.surface.images.size(), 1u);
    EXPECT_EQ(f.surface.images[0].first, (Rect{5000, 3500, 13000, 7500}));
    EXPECT_EQ(o.picture_box, (std::array<int32_t, 4>{40, 20, 8000, 4000}));
    EXPECT_EQ(o.extent_right, 13000);

    o.Str = "/nowhere/x.wmf";
    f.draw(o);
    EXPECT_TRUE(f.surface.empty());
    EXPECT_EQ(o.extent_right, 13000); // unreadable: the previous box stays

    const auto path = std::filesystem::temp_directory_path() / "plox_objects_test.GRA";
    std::ofstream(path) << "%Ngraph GRA file\n\nA,5,0,40,4,0,0\nL,4,0,0,10000,5000\n";
    o.Str = path.string();
    f.draw(o);
    std::filesystem::remove(path);
    auto lines = all_of<rec::LineTo>(f.surface);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].p, (Point{13000, 7500}));
    EXPECT_EQ(o.extent_left, 5000);
    EXPECT_EQ(o.extent_bottom, 7500);
}

TEST(Objects, WhiteErasesAndTheGraphExtentTakesEveryObject) {
    Fixture f;
    GraphObject& o = f.arrow(object_type::FilledArrow, 1, {10, 20, 60, 20});
    o.Color = 0xFF;
    f.draw(o, true);
    for (auto& p : all_of<rec::SelectPen>(f.surface))
        EXPECT_EQ(p.pen.color, 0xFFFFFF);
    for (auto& b : all_of<rec::SelectBrush>(f.surface))
        EXPECT_EQ(b.brush.color, 0xFFFFFF);

    GraphObject& t = f.graph.objects[1];
    t.used = 1;
    t.Type = object_type::Text;
    t.Str = "far";
    t.x = 20000;
    t.y = 30000;
    f.graph.extent_left = 4000, f.graph.extent_top = 1500, f.graph.extent_right = 18000,
    f.graph.extent_bottom = 11500;
    f.surface.clear();
    draw_objects(f.surface, f.graph, f.context);
    EXPECT_EQ(f.graph.extent_right, t.extent_right);
    EXPECT_EQ(f.graph.extent_bottom, 1500 + 30000);
    EXPECT_EQ(f.graph.extent_left, 4000);
}

} // namespace
} // namespace plox
