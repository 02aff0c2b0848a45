// Dash patterns, markers, the brush rule, legend samples and recording replay.
#include "render/external_markers.h"
#include "render/primitives.h"
#include "render/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace plox {
namespace {

std::vector<std::pair<Point, Point>> strokes(const RecordingSurface& rec) {
    std::vector<std::pair<Point, Point>> s;
    Point cp;
    for (const auto& c : rec.commands()) {
        if (auto* m = std::get_if<rec::MoveTo>(&c)) cp = m->p;
        if (auto* l = std::get_if<rec::LineTo>(&c)) s.push_back({cp, l->p});
    }
    return s;
}

TEST(DashPattern, PeriodIsAtLeastFiveWidths) {
    const DashPattern dash = make_dash_pattern(line_type::Dash, 100, 300);
    EXPECT_EQ(dash.period, 500);
    ASSERT_EQ(dash.count, 1);
    EXPECT_EQ(dash.dashes[0], std::make_pair(0, 250));
    // Dots are one pen width long; with a thin pen the pitch holds.
    const DashPattern dot = make_dash_pattern(line_type::Dot, 10, 300);
    EXPECT_EQ(dot.period, 300);
    EXPECT_EQ(dot.dashes[0], std::make_pair(0, 10));
    const DashPattern dd = make_dash_pattern(line_type::DashDotDot, 10, 600);
    ASSERT_EQ(dd.count, 3);
    EXPECT_EQ(dd.dashes[1], std::make_pair(395, 405));
    EXPECT_EQ(dd.dashes[2], std::make_pair(495, 505));
    const DashPattern dash_dot = make_dash_pattern(line_type::DashDot, 10, 400);
    EXPECT_EQ(dash_dot.dashes[1], std::make_pair(295, 305));
    const DashPattern wide = make_dash_pattern(line_type::Dot, 150, 300);
    EXPECT_EQ(wide.period, 750);
    EXPECT_EQ(wide.dashes[0], std::make_pair(0, 150));
}

TEST(DashPattern, SegmentsCarryThePhase) {
    RecordingSurface rec;
    const DashPattern dash = make_dash_pattern(line_type::Dash, 100, 300);
    int32_t phase = draw_patterned_segment(dash, rec, 0, 0, 700, 0, 0);
    EXPECT_EQ(phase, 200);
    phase = draw_patterned_segment(dash, rec, 700, 0, 700, 400, phase);
    EXPECT_EQ(phase, 100);
    const auto s = strokes(rec);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0], std::make_pair(Point{0, 0}, Point{250, 0}));
    EXPECT_EQ(s[1], std::make_pair(Point{500, 0}, Point{700, 0}));
    // The second segment starts 200 into the period: the open dash ends after 50, the next
    // one starts at 300.
    EXPECT_EQ(s[2], std::make_pair(Point{700, 0}, Point{700, 50}));
    EXPECT_EQ(s[3], std::make_pair(Point{700, 300}, Point{700, 400}));
    // A zero-length segment draws nothing and keeps the phase; solid returns 0.
    EXPECT_EQ(draw_patterned_segment(dash, rec, 5, 5, 5, 5, 123), 123);
    EXPECT_EQ(draw_patterned_segment(make_dash_pattern(1, 10, 10), rec, 0, 0, 10, 0, 77), 0);
}

TEST(DashPattern, DegenerateAndHugeLinesStayCheap) {
    RecordingSurface rec;
    draw_patterned_line(rec, 0, 0, 1000, 0, 0, 0, line_type::Dot); // no period at all
    EXPECT_EQ(strokes(rec).size(), 1u);
    rec.clear();
    draw_patterned_line(rec, -1000000000, 0, 1000000000, 0, 0, 10, line_type::Dash);
    EXPECT_LE(strokes(rec).size(), 1u);
    rec.clear();
    draw_patterned_line(rec, 0, 0, 1000, 0, 10, 300, line_type::None);
    EXPECT_TRUE(rec.empty());
}

TEST(MarkerBrush, FilledTypesTakeTheMarkerColour) {
    const Brush b2 = marker_brush(2, brush_style::Hatched, 0x00FF00, 3, 0x0000FF);
    EXPECT_EQ(b2, (Brush{brush_style::Hatched, 0x0000FF, 3}));
    const Brush b1 = marker_brush(1, brush_style::Hatched, 0x00FF00, 3, 0x0000FF);
    EXPECT_EQ(b1, (Brush{brush_style::Solid, 0x00FF00, 3}));
    EXPECT_EQ(marker_brush(5, brush_style::Hollow, 1, 0, 2).style, brush_style::Hollow);
    EXPECT_EQ(marker_brush(34, brush_style::Hatched, 1, 4, 2).color, 2);
}

TEST(Markers, ShapesAndHalfFills) {
    RecordingSurface rec;
    const Pen pen{pen_style::Solid, 40, 0};
    const Brush brush{brush_style::Solid, 0xFFFFFF, 5};
    draw_marker(rec, 3, 1000, 1000, 250, 0x123456, pen, brush);
    draw_marker(rec, 21, 1000, 1000, 100, 0x123456, pen, brush);
    draw_marker(rec, 33, 1000, 1000, 100, 0, pen, brush); // steps need their neighbours
    draw_marker(rec, 30, 1000, 1000, 100, 0, pen, brush);
    EXPECT_EQ(rec.dump(), "polygon 3 1000,690 1270,1155 730,1155\n"
                          "rectangle 900 900 1100 1100\n"
                          "brush 0 123456 5\n"
                          "rectangle 1000 900 900 1100\n"
                          "brush 0 ffffff 5\n");
}

// Every built-in shape draws; the doubled ones (14-18) add a smaller copy of the shape; the
// numbers between the built-in shapes and the extension's draw nothing.
TEST(Markers, EveryBuiltInTypeDrawsAndDoubledOnesDrawTwoShapes) {
    const Pen pen{pen_style::Solid, 10, 0};
    const Brush brush{brush_style::Solid, 0xFFFFFF, 0};
    auto lines = [&](int32_t type) {
        RecordingSurface rec;
        draw_marker(rec, type, 500, 500, 70, 0x00FF00, pen, brush);
        const std::string dump = rec.dump();
        return std::count(dump.begin(), dump.end(), '\n');
    };
    for (int32_t type = 1; type <= 28; ++type)
        EXPECT_GT(lines(type), 0) << "type " << type;
    for (int32_t type : {14, 15, 16, 17, 18})
        EXPECT_EQ(lines(type), 2) << "type " << type;
    for (int32_t type : {0, 29, 31, 34, 37})
        EXPECT_EQ(lines(type), 0) << "type " << type;
    RecordingSurface rec;
    draw_marker(rec, 18, 500, 500, 70, 0, pen, brush);
    EXPECT_EQ(rec.dump(), "polygon 4 400,500 500,400 600,500 500,600\n"
                          "polygon 4 450,500 500,450 550,501 501,550\n");
}

struct FakeMarkers : ExternalMarkers {
    bool draw_marker(Surface&, int32_t number, int32_t x, int32_t, int32_t, Color) override {
        calls.push_back(number * 100000 + x);
        return true;
    }
    std::vector<int> calls;
};

TEST(Markers, ExtensionTypesGoToTheModule) {
    RecordingSurface rec;
    FakeMarkers fake;
    draw_marker(rec, 40, 77, 0, 10, 0, Pen{}, Brush{}, &fake);
    draw_marker(rec, 40, 77, 0, 10, 0, Pen{}, Brush{}, nullptr);
    EXPECT_EQ(fake.calls, std::vector<int>{200077});
    EXPECT_TRUE(rec.empty());
}

TEST(LegendSample, LineThenMarkerAndNothingForTypeZero) {
    RecordingSurface rec;
    LegendSample m;
    draw_legend_sample(rec, 500, 500, m);
    EXPECT_TRUE(rec.empty());
    m.line_type = line_type::Solid;
    m.plot_type = 2;
    m.half_length = 400;
    m.half_size = 100;
    m.pen_width = 20;
    m.line_color = 0xFF;
    m.marker_color = 0xFF00;
    draw_legend_sample(rec, 500, 500, m);
    EXPECT_EQ(rec.dump(), "pen 0 20 0000ff\n"
                          "move_to 100 500\n"
                          "line_to 900 500\n"
                          "pen 0 20 00ff00\n"
                          "brush 0 00ff00 5\n"
                          "ellipse 400 400 600 600\n");
}

TEST(RecordingSurface, ReplayReproducesTheCalls) {
    RecordingSurface a;
    a.set_rop2(rop2::CopyPen);
    a.select_font(default_axis_label_font());
    a.set_text_align(text_align::Baseline | text_align::UpdateCP);
    a.text_out(1, 2, "x\x82\xa0\"");
    const Point pts[2] = {{1, 2}, {3, 4}};
    a.polyline(pts);
    a.chord(0, 0, 10, 10, 5, 0, 5, 10);
    const Rect clip{1, 2, 3, 4};
    a.set_clip_rect(&clip);
    EXPECT_EQ(a.clip_box(), clip);
    a.set_clip_rect(nullptr);
    a.fill_rect({0, 0, 5, 5}, Brush{brush_style::Hatched, 0xABCDEF, 4});
    RecordingSurface b;
    a.replay(b);
    EXPECT_EQ(a.dump(), b.dump());
    EXPECT_NE(a.dump().find("text_out 1 2 \"x\\x82\\xa0\\x22\""), std::string::npos);
    EXPECT_NE(a.dump().find("clip none"), std::string::npos);
}

} // namespace
} // namespace plox
