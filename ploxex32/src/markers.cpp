// The fifteen extra marker shapes (plot types 38 to 52).
#include "blocks.h"

#include <algorithm>
#include <cmath>

namespace ploxex {
namespace {

constexpr int32_t SHAPES = 15;
constexpr double COS30 = 0.866025;
constexpr double SIN72 = 0.9510565163, COS72 = 0.3090169944;
constexpr double SIN36 = 0.5877852523, COS36 = 0.8090169944;
constexpr double STAR_INNER = 0.381966;
constexpr double DIAGONAL = 0.7071067812; // diagonals end on the circle

class Painter {
public:
    Painter(const PloxexDrawContext& dc, int32_t x, int32_t y, int32_t s)
        : dc_(dc), x_(x), y_(y), s_(s) {}

    PloxexPoint at(double fx, double fy) const { return {offset(x_, fx), offset(y_, fy)}; }
    void polygon(std::initializer_list<PloxexPoint> points) const {
        if (dc_.polygon) dc_.polygon(dc_.user, points.begin(), static_cast<int32_t>(points.size()));
    }
    void filled_polygon(std::initializer_list<PloxexPoint> points) const {
        push();
        polygon(points);
        pop();
    }
    void line(double fx1, double fy1, double fx2, double fy2) const {
        const PloxexPoint a = at(fx1, fy1), b = at(fx2, fy2);
        if (dc_.line) dc_.line(dc_.user, a.x, a.y, b.x, b.y);
    }
    void circle() const {
        const PloxexPoint a = at(-1, -1), b = at(1, 1);
        if (dc_.ellipse) dc_.ellipse(dc_.user, a.x, a.y, b.x, b.y);
    }
    void square() const {
        const PloxexPoint a = at(-1, -1), b = at(1, 1);
        if (dc_.rectangle) dc_.rectangle(dc_.user, a.x, a.y, b.x, b.y);
    }
    // The right half of the circle: from the bottom counter-clockwise to the top.
    void right_half_disc() const {
        const PloxexPoint a = at(-1, -1), b = at(1, 1), bottom = at(0, 1), top = at(0, -1);
        push();
        if (dc_.chord) dc_.chord(dc_.user, a.x, a.y, b.x, b.y, bottom.x, bottom.y, top.x, top.y);
        pop();
    }

private:
    // Clamped so that absurd sizes cannot overflow.
    int32_t offset(int32_t base, double factor) const {
        const double v = std::round(base + factor * s_);
        return static_cast<int32_t>(std::clamp(v, -2147483647.0, 2147483647.0));
    }
    void push() const {
        if (dc_.push_pen_color_brush) dc_.push_pen_color_brush(dc_.user);
    }
    void pop() const {
        if (dc_.pop_brush) dc_.pop_brush(dc_.user);
    }

    const PloxexDrawContext& dc_;
    int32_t x_, y_, s_;
};

void draw_shape(const Painter& p, int32_t shape) {
    constexpr double R = STAR_INNER;
    switch (shape) {
    case 0:
        p.polygon({p.at(0, -1), p.at(COS30, -0.5), p.at(COS30, 0.5), p.at(0, 1), p.at(-COS30, 0.5),
                   p.at(-COS30, -0.5)});
        break;
    case 1:
        p.polygon({p.at(0, 1), p.at(SIN72, COS72), p.at(SIN36, -COS36), p.at(-SIN36, -COS36),
                   p.at(-SIN72, COS72)});
        break;
    case 2:
        p.polygon({p.at(0, -1), p.at(SIN72, -COS72), p.at(SIN36, COS36), p.at(-SIN36, COS36),
                   p.at(-SIN72, -COS72)});
        break;
    case 3:
        p.polygon({p.at(0, -1), p.at(R * SIN36, -R * COS36), p.at(SIN72, -COS72),
                   p.at(R * SIN72, R * COS72), p.at(SIN36, COS36), p.at(0, R), p.at(-SIN36, COS36),
                   p.at(-R * SIN72, R * COS72), p.at(-SIN72, -COS72),
                   p.at(-R * SIN36, -R * COS36)});
        break;
    case 4:
        p.circle();
        p.line(0, -1, 0, 1);
        p.line(-1, 0, 1, 0);
        break;
    case 5:
        p.circle();
        p.line(-DIAGONAL, -DIAGONAL, DIAGONAL, DIAGONAL);
        p.line(-DIAGONAL, DIAGONAL, DIAGONAL, -DIAGONAL);
        break;
    case 6:
        p.circle();
        p.right_half_disc();
        break;
    case 7: // upper half filled
        p.square();
        p.filled_polygon({p.at(-1, -1), p.at(1, -1), p.at(1, 0), p.at(-1, 0)});
        break;
    case 8: // right half filled
        p.square();
        p.filled_polygon({p.at(0, -1), p.at(1, -1), p.at(1, 1), p.at(0, 1)});
        break;
    case 9:
        p.filled_polygon(
            {p.at(0, -31.0 / 25), p.at(27.0 / 25, 31.0 / 50), p.at(-27.0 / 25, 31.0 / 50)});
        break;
    case 10: {
        constexpr double h = 10.0 / 7;
        p.filled_polygon({p.at(-h, 0), p.at(0, -h), p.at(h, 0), p.at(0, h)});
        break;
    }
    case 11:
        p.circle();
        p.line(0, 0, 1, 0);
        break;
    case 12:
        p.circle();
        p.line(0, 0, 0, 1);
        break;
    case 13:
        p.circle();
        p.line(0, 0, -1, 0);
        break;
    case 14:
        p.circle();
        p.line(0, 0, 0, -1);
        break;
    }
}

} // namespace
} // namespace ploxex

using namespace ploxex;

extern "C" {

PLOXEX_API int32_t QueryExternalPlotNum(void) {
    return SHAPES;
}

PLOXEX_API void ExternalPlotDrawMyDot(const PloxexDrawContext* dc, int32_t shape, int32_t x,
                                      int32_t y, int32_t size) {
    if (!dc || shape < 0 || shape >= SHAPES) return;
    draw_shape(Painter(*dc, x, y, size), shape);
}

} // extern "C"
