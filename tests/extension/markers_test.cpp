// The module's marker shapes as the renderer draws them through ModuleMarkers.
#include "fixture.h"

#include "extension/bindings.h"
#include "render/surface.h"

#include <string>
#include <vector>

using namespace plox;
using namespace plox::test;

namespace {

// Records the calls a marker makes, with the brush in force for each shape.
class CallLog : public Surface {
public:
    std::vector<std::string> calls;
    Brush brush;

    void set_rop2(int32_t) override {}
    void set_bk_mode(int32_t) override {}
    void set_bk_color(Color) override {}
    void set_text_color(Color) override {}
    void set_text_align(uint32_t) override {}
    void select_pen(const Pen&) override { calls.push_back("pen"); }
    void select_brush(const Brush& b) override {
        brush = b;
        calls.push_back("brush " + std::to_string(b.style) + " " + std::to_string(b.color));
    }
    void select_font(const Font&) override {}
    void move_to(int32_t, int32_t) override {}
    void line_to(int32_t, int32_t) override {}
    void polyline(std::span<const Point> p) override { calls.push_back(shape("polyline", p)); }
    void polygon(std::span<const Point> p) override { calls.push_back(shape("polygon", p)); }
    void rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
        calls.push_back(box("rectangle", l, t, r, b));
    }
    void round_rect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
        calls.push_back(box("ellipse", l, t, r, b));
    }
    void chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
               int32_t y2) override {
        calls.push_back(box("chord", l, t, r, b) + " " + std::to_string(x1) + "," +
                        std::to_string(y1) + " " + std::to_string(x2) + "," + std::to_string(y2));
    }
    void arc(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
    void fill_rect(const Rect&, const Brush&) override {}
    void text_out(int32_t, int32_t, std::string_view) override {}
    void set_clip_rect(const Rect*) override {}
    Rect clip_box() const override { return {}; }
    Size window_ext() const override { return {}; }
    Size viewport_ext() const override { return {}; }

private:
    static std::string shape(const char* name, std::span<const Point> p) {
        std::string s = name;
        for (const Point& q : p)
            s += " " + std::to_string(q.x) + "," + std::to_string(q.y);
        return s;
    }
    static std::string box(const char* name, int32_t l, int32_t t, int32_t r, int32_t b) {
        return std::string(name) + " " + std::to_string(l) + "," + std::to_string(t) + " " +
               std::to_string(r) + "," + std::to_string(b);
    }
};

const Pen RED_PEN{pen_style::Solid, 40, 0x0000FF};
const Brush HOLLOW{brush_style::Hollow, 0xFFFFFF, hatch_style::DiagCross};

} // namespace

TEST(ExtMarkers, FifteenShapesFromPlotType38) {
    EXPECT_EQ(real_module().marker_count(), 15);
    ModuleMarkers markers(real_module());
    for (int32_t k = 0; k < 15; ++k) {
        CallLog log;
        EXPECT_TRUE(markers.draw_marker(log, k, 1000, 2000, 100, RED_PEN, HOLLOW)) << k;
        EXPECT_FALSE(log.calls.empty()) << "shape " << k << " drew nothing";
    }
    CallLog log;
    EXPECT_FALSE(markers.draw_marker(log, 15, 0, 0, 100, RED_PEN, HOLLOW));
    EXPECT_FALSE(markers.draw_marker(log, -1, 0, 0, 100, RED_PEN, HOLLOW));
    EXPECT_TRUE(log.calls.empty());
}

TEST(ExtMarkers, RegularShapesUseTheirFactors) {
    ModuleMarkers markers(real_module());
    CallLog hexagon;
    markers.draw_marker(hexagon, 0, 1000, 2000, 100, RED_PEN, HOLLOW);
    EXPECT_EQ(hexagon.calls,
              std::vector<std::string>{
                  "polygon 1000,1900 1087,1950 1087,2050 1000,2100 913,2050 913,1950"});
    CallLog down;
    markers.draw_marker(down, 1, 0, 0, 1000, RED_PEN, HOLLOW);
    EXPECT_EQ(down.calls,
              std::vector<std::string>{"polygon 0,1000 951,309 588,-809 -588,-809 -951,309"});
    CallLog star;
    markers.draw_marker(star, 3, 0, 0, 1000, RED_PEN, HOLLOW);
    ASSERT_EQ(star.calls.size(), 1u);
    EXPECT_EQ(star.calls[0].substr(0, 26), "polygon 0,-1000 225,-309 9");
    CallLog radius;
    markers.draw_marker(radius, 12, 0, 0, 50, RED_PEN, HOLLOW);
    EXPECT_EQ(radius.calls,
              (std::vector<std::string>{"ellipse -50,-50 50,50", "polyline 0,0 0,50"}));
}

TEST(ExtMarkers, FilledPartsUseThePenColourAndRestoreTheBrush) {
    ModuleMarkers markers(real_module());
    for (int32_t k : {6, 7, 8, 9, 10}) {
        CallLog log;
        markers.draw_marker(log, k, 0, 0, 100, RED_PEN, HOLLOW);
        const auto solid = std::find(log.calls.begin(), log.calls.end(), "brush 0 255");
        ASSERT_NE(solid, log.calls.end()) << k;
        EXPECT_EQ(log.brush, HOLLOW) << "shape " << k << " left its brush selected";
    }
    CallLog half_circle;
    markers.draw_marker(half_circle, 6, 0, 0, 100, RED_PEN, HOLLOW);
    EXPECT_EQ(half_circle.calls[1], "brush 0 255");
    EXPECT_EQ(half_circle.calls[2], "chord -100,-100 100,100 0,100 0,-100");
    CallLog outline;
    markers.draw_marker(outline, 4, 0, 0, 100, RED_PEN, HOLLOW);
    for (const auto& call : outline.calls)
        EXPECT_NE(call.rfind("brush", 0), 0u);
}

TEST(ExtMarkers, AbsurdSizesDoNotOverflow) {
    ModuleMarkers markers(real_module());
    CallLog log;
    EXPECT_TRUE(markers.draw_marker(log, 10, 2147483000, -2147483000, 2147483647, RED_PEN, HOLLOW));
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_NE(log.calls[1].find("2147483647"), std::string::npos);
}
