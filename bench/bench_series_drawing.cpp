// Series line drawing: clipping, mapping and per-column reduction of long solid and dashed
// lines, onto a surface that only counts (so the backend's cost is left out).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "render/primitives.h"
#include "render/series_drawing.h"

namespace plox {
namespace {

class CountingSurface : public Surface {
public:
    explicit CountingSurface(Size viewport) : viewport_(viewport) {}
    size_t points = 0;
    void set_rop2(int32_t) override {}
    void set_bk_mode(int32_t) override {}
    void set_bk_color(Color) override {}
    void set_text_color(Color) override {}
    void set_text_align(uint32_t) override {}
    void select_pen(const Pen&) override {}
    void select_brush(const Brush&) override {}
    void select_font(const Font&) override {}
    void move_to(int32_t, int32_t) override { ++points; }
    void line_to(int32_t, int32_t) override { ++points; }
    void polyline(std::span<const Point> p) override { points += p.size(); }
    void polygon(std::span<const Point> p) override { points += p.size(); }
    void rectangle(int32_t, int32_t, int32_t, int32_t) override {}
    void round_rect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
    void ellipse(int32_t, int32_t, int32_t, int32_t) override {}
    void chord(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
    void arc(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
    void fill_rect(const Rect&, const Brush&) override {}
    void text_out(int32_t, int32_t, std::string_view) override {}
    void set_clip_rect(const Rect*) override {}
    Rect clip_box() const override { return {0, 0, 21000, 29700}; }
    Size window_ext() const override { return {21000, 29700}; }
    Size viewport_ext() const override { return viewport_; }

private:
    Size viewport_;
};

// args: points, line type, viewport width (21000: logical units, 1240: a 150-dpi page).
void BM_SeriesLine(benchmark::State& state) {
    const size_t n = static_cast<size_t>(state.range(0));
    Graph g;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 1;
    g.axes[AxisY].from = -1.5;
    g.axes[AxisY].to = 1.5;
    std::vector<double> x(n), y(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(i) / static_cast<double>(n);
        y[i] = std::sin(125.66 * x[i]) * std::cos(3 * x[i]) +
               0.2 * (static_cast<double>(i * 7919 % 1000) / 1000 - 0.5);
    }
    const Rect frame = frame_rect(g);
    const AxisMapping h = axis_mapping(g, AxisX, frame), v = axis_mapping(g, AxisY, frame);
    const SeriesLineStyle style{static_cast<int32_t>(state.range(1)), 20, 0, 300};
    size_t drawn = 0;
    for (auto _ : state) {
        CountingSurface surface({static_cast<int32_t>(state.range(2)), 29700});
        draw_series_line(surface, g, h, v, style, x, y, frame.bottom, true);
        drawn = surface.points;
        benchmark::DoNotOptimize(drawn);
    }
    state.counters["drawn_points"] = static_cast<double>(drawn);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}
BENCHMARK(BM_SeriesLine)
    ->Args({320000, line_type::Solid, 21000})
    ->Args({320000, line_type::Solid, 1240})
    ->Args({1000000, line_type::Solid, 1240})
    ->Args({320000, line_type::Dash, 21000})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plox

BENCHMARK_MAIN();
