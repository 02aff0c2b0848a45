// Series drawing: clipping, breaks, error bars, bars, areas, steps, reduction and regions.
#include "render/series_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "../analysis/test_solver.h"
#include "render/primitives.h"
#include "render/recording_surface.h"
#include "render/series_drawing_curves.h"

namespace plox {
namespace {

template <class T> std::vector<T> all_of(const RecordingSurface& s) {
    std::vector<T> out;
    for (const Command& c : s.commands())
        if (auto* p = std::get_if<T>(&c)) out.push_back(*p);
    return out;
}

// Frame (4000, 1500) to (18000, 11500); X and Y from 0 to 100: x = 4000 + 140 v, y = 11500 - 100 v.
struct Fixture {
    Graph graph;
    RenderContext context;
    RecordingSurface surface;
    FixedTextMeasurer measurer;
    std::filesystem::path dir;

    Fixture() {
        context.measurer = &measurer;
        context.metafile = true;
        for (int a = 0; a < 4; ++a) {
            graph.axes[a].from = 0;
            graph.axes[a].to = 100;
        }
        dir = std::filesystem::temp_directory_path() /
              ("plox_series_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    ~Fixture() { std::filesystem::remove_all(dir); }

    Series& add(const std::string& data) {
        const auto path = dir / ("s" + std::to_string(graph.series_count) + ".dat");
        std::ofstream(path) << data;
        Series& s = graph.series[graph.series_count++];
        s.file_name = path.string();
        s.LineType = line_type::Solid;
        s.PlotType = 0;
        return s;
    }
    void draw() {
        surface.clear();
        draw_body_series(surface, graph, context);
    }
    AxisMapping h() const { return axis_mapping(graph, AxisX, frame_rect(graph)); }
    AxisMapping v() const { return axis_mapping(graph, AxisY, frame_rect(graph)); }
};

TEST(SeriesLine, LogAxisBreaksAtZeroAndClipsAtTheFrame) {
    Fixture f;
    f.graph.axes[AxisY].scale_type = 1;
    f.graph.axes[AxisY].from = 1;
    f.graph.axes[AxisY].to = 10000;
    f.add("10 1\n20 10\n30 0\n40 100\n50 1000\n60 100000\n");
    f.draw();
    auto lines = all_of<rec::Polyline>(f.surface);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{5400, 11500}, {6800, 9000}}));
    ASSERT_EQ(lines[1].points.size(), 3u);
    EXPECT_EQ(lines[1].points[0], (Point{9600, 6500}));
    EXPECT_EQ(lines[1].points[2].y, 1500); // cut at the top edge, half way to 60
    EXPECT_EQ(lines[1].points[2].x, 11000 + 700);
}

TEST(SeriesLine, ClippingFollowsTheSidesAndRestartsAfterACut) {
    Fixture f;
    const double x[] = {-50, 50, 150, 50, 50};
    const double y[] = {50, 50, 50, 120, 50};
    draw_series_line(f.surface, f.graph, f.h(), f.v(), {line_type::Solid, 40, 0, 300}, x, y, 11500,
                     true);
    auto lines = all_of<rec::Polyline>(f.surface);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{4000, 6500}, {11000, 6500}, {18000, 6500}}));
    EXPECT_EQ(lines[1].points, (std::vector<Point>{{18000, 3000}, {15000, 1500}}));
    EXPECT_EQ(lines[2].points, (std::vector<Point>{{11000, 1500}, {11000, 6500}}));
    // Entirely outside: nothing.
    f.surface.clear();
    const double ox[] = {-10, -5}, oy[] = {10, 20};
    draw_series_line(f.surface, f.graph, f.h(), f.v(), {line_type::Solid, 40, 0, 300}, ox, oy,
                     11500, true);
    EXPECT_TRUE(all_of<rec::Polyline>(f.surface).empty());
}

TEST(SeriesLine, SolidLinesAreReducedPerColumnWithoutLosingExtremes) {
    Fixture f;
    std::vector<double> x, y;
    for (int i = 0; i < 100000; ++i) {
        x.push_back(i * 1e-5); // about 700 points per logical-unit column
        y.push_back(50 + 40 * std::sin(i * 0.37));
    }
    draw_series_line(f.surface, f.graph, f.h(), f.v(), {line_type::Solid, 0, 0, 300}, x, y, 11500,
                     true);
    // Every column must keep the vertical extent the full polyline covers there.
    std::map<int32_t, std::pair<int32_t, int32_t>> full, drawn;
    auto take = [](auto& m, Point p) {
        auto [it, fresh] = m.try_emplace(p.x, p.y, p.y);
        it->second.first = std::min(it->second.first, p.y);
        it->second.second = std::max(it->second.second, p.y);
    };
    for (size_t i = 0; i < x.size(); ++i)
        take(full, Point{f.h().position(x[i]), f.v().position(y[i])});
    size_t n = 0;
    for (auto& p : all_of<rec::Polyline>(f.surface)) {
        n += p.points.size();
        for (auto& q : p.points)
            take(drawn, q);
    }
    EXPECT_LE(n, 4u * 141 + 20);
    EXPECT_EQ(drawn, full);
}

TEST(SeriesLine, PatternsRestartAfterClippingAndAreaFillsBandsAboveTheTop) {
    Fixture f;
    const double x[] = {0, 10, 20}, y[] = {50, 50, 50};
    draw_series_line(f.surface, f.graph, f.h(), f.v(), {line_type::Dash, 100, 0, 300}, x, y, 11500,
                     true);
    // Period 500 (five widths), dash 250: two segments of 1400 carry the phase.
    auto moves = all_of<rec::MoveTo>(f.surface);
    ASSERT_GE(moves.size(), 6u);
    EXPECT_EQ(moves[0].p.x, 4000);
    EXPECT_EQ(moves[1].p.x, 4500);
    EXPECT_EQ(moves[3].p.x, 5500); // the dash across the joint continues the pattern

    f.surface.clear();
    const double ax[] = {0, 20, 40, 60}, ay[] = {50, 150, 150, 50};
    draw_series_line(f.surface, f.graph, f.h(), f.v(), {line_type::Area, 40, 0xFF, 300}, ax, ay,
                     11500, true);
    auto polys = all_of<rec::Polygon>(f.surface);
    // Two quadrilaterals under the visible parts and three full-height bands over the cut parts.
    ASSERT_EQ(polys.size(), 5u);
    EXPECT_EQ(polys[0].points,
              (std::vector<Point>{{4000, 6500}, {5400, 1500}, {5400, 11500}, {4000, 11500}}));
    EXPECT_EQ(polys[1].points,
              (std::vector<Point>{{5400, 1500}, {6800, 1500}, {6800, 11500}, {5400, 11500}}));
    EXPECT_EQ(polys[2].points,
              (std::vector<Point>{{6800, 1500}, {9600, 1500}, {9600, 11500}, {6800, 11500}}));
    EXPECT_EQ(all_of<rec::SelectBrush>(f.surface).back().brush.color, 0xFF);
}

TEST(ErrorBars, CapsOnlyAtEndsInsideTheRange) {
    Fixture f;
    const double x[] = {50, 50, 50}, y[] = {50, 60, 150};
    const double low[] = {-20, -30, 40}, high[] = {60, -10, 60};
    draw_error_bars(f.surface, f.h(), f.v(), AxisX, x, y, low, high, 150);
    auto moves = all_of<rec::MoveTo>(f.surface);
    auto lines = all_of<rec::LineTo>(f.surface);
    // Point 1: bar from the left edge to 60, one cap at 60. Point 2: both ends left: nothing.
    // Point 3: outside the vertical range: nothing.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(moves[0].p, (Point{4000, 6500}));
    EXPECT_EQ(lines[0].p, (Point{12400, 6500}));
    EXPECT_EQ(moves[1].p, (Point{12400, 6500 - 150}));
    EXPECT_EQ(lines[1].p, (Point{12400, 6500 + 151}));

    f.surface.clear();
    const double vx[] = {50}, vy[] = {50}, vlow[] = {40}, vhigh[] = {60};
    draw_error_bars(f.surface, f.h(), f.v(), AxisY, vx, vy, vlow, vhigh, 100);
    lines = all_of<rec::LineTo>(f.surface);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].p, (Point{11000, 5500}));
    EXPECT_EQ(lines[1].p, (Point{11000 + 101, 7500}));
}

TEST(SeriesMarkers, BarsReachTheBottomOnALogAxisAndStepsRestart) {
    Fixture f;
    f.graph.axes[AxisY].scale_type = 1;
    f.graph.axes[AxisY].from = 1;
    f.graph.axes[AxisY].to = 10000;
    Series& s = f.add("10 10\n20 1000\n");
    s.LineType = 0;
    s.PlotType = 13;
    s.PlotSize = 200;
    s.BarBottom = 0;
    f.draw();
    auto rects = all_of<rec::Rectangle>(f.surface);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].r, (Rect{5400 - 100, 9000, 5400 + 101, 11500}));
    EXPECT_EQ(rects[1].r.bottom, 11500);

    Fixture g;
    Series& t = g.add("10 10\n20 20\n30 30\n40 40\n50 50\n");
    t.LineType = 0;
    t.PlotType = 33;
    g.graph.mask_count = 1;
    g.graph.masks[0].area = {25, 35, 25, 35}; // hides the third point
    g.draw();
    auto lines = all_of<rec::Polyline>(g.surface);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{5400, 10500}, {5400, 9500}, {6800, 9500}}));
    EXPECT_EQ(lines[1].points.front(), (Point{9600, 7500}));
}

TEST(SeriesMarkers, MarkersOnlyInsideAndRegionsFollowTheFlags) {
    Fixture f;
    Series& s = f.add("10 10\n200 20\n30 30\n");
    s.LineType = 0;
    s.PlotType = 2;
    f.draw();
    EXPECT_EQ(all_of<rec::Ellipse>(f.surface).size(), 2u);
    EXPECT_TRUE(all_of<rec::Clip>(f.surface).empty()); // metafile: no regions

    f.context.metafile = false;
    f.context.settings.Clipping = 1;
    f.draw();
    auto clips = all_of<rec::Clip>(f.surface);
    ASSERT_GE(clips.size(), 2u);
    EXPECT_EQ(clips[0].r, (Rect{4000, 1500, 18000, 11500}));
    EXPECT_FALSE(clips.back().on); // the caller had none
}

TEST(SeriesCurves, FitsUseOnlyPointsInsideTheAxesButAllPointsAreDrawn) {
    Fixture f;
    f.graph.axes[AxisY].to = 200; // y = 11500 - 50 v
    // On y = 2x + 10, plus one point above the Y range that must not pull the fit.
    Series& s = f.add("10 30\n20 50\n30 70\n40 500\n50 110\n");
    s.kind = kind::Polynomial;
    s.degree = 1;
    s.curve_from = 0;
    s.curve_to = 100;
    s.curve_points = 3;
    s.curve_line_type = line_type::Solid;
    s.curve_line = {30, 0x00FF00, 300};
    s.LineType = line_type::Solid;
    test::TestSolver solver;
    AnalysisContext analysis;
    analysis.solver = &solver;
    AnalysisCurves curves(analysis);
    f.context.curves = &curves;
    f.draw();
    EXPECT_EQ(s.needs_reading, 0);
    EXPECT_NEAR(s.coefficients[0], 10, 1e-9);
    EXPECT_NEAR(s.coefficients[1], 2, 1e-9);
    auto lines = all_of<rec::Polyline>(f.surface);
    ASSERT_EQ(lines.size(), 3u); // the curve, then the data line cut at the top and resumed
    EXPECT_EQ(lines[0].points.front(), (Point{4000, 11500 - 500}));
    EXPECT_EQ(lines[0].points.back(), (Point{17300, 1500})); // y = 200 at x = 95
    EXPECT_EQ(lines[1].points.front(), (Point{5400, 11500 - 1500}));
    EXPECT_EQ(lines[1].points.back().y, 1500); // the outside point is drawn, clipped
    auto pens = all_of<rec::SelectPen>(f.surface);
    ASSERT_GE(pens.size(), 2u);
    EXPECT_EQ(pens[0].pen.color, 0x00FF00);

    // Without a solver the fit cannot run: the data are drawn, no curve.
    analysis.solver = nullptr;
    AnalysisCurves none(analysis);
    f.context.curves = &none;
    s.needs_reading = 1;
    f.draw();
    EXPECT_EQ(all_of<rec::Polyline>(f.surface).size(), 2u);
}

} // namespace
} // namespace plox
