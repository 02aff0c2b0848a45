// Drawing the data series of a graph body.
#include "render/series_drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "data/series_builder.h"
#include "render/primitives.h"

namespace plox {

namespace {

// Polylines handed to the surface in short pieces, each starting at the last point of the one
// before: no buffer grows with the data, and backends that stroke a polyline as one outline
// (antialiased raster, PDF) do much less work on many short ones; round joins hide the seams.
class PolylineBuffer {
public:
    explicit PolylineBuffer(Surface& s) : surface_(s) { points_.reserve(CHUNK); }
    ~PolylineBuffer() { flush(); }

    void begin(Point p) {
        flush();
        points_.push_back(p);
    }
    void add(Point p) {
        if (!points_.empty() && points_.back() == p) return;
        if (points_.empty()) return begin(p);
        points_.push_back(p);
        if (points_.size() == CHUNK) {
            surface_.polyline(points_);
            points_.erase(points_.begin(), points_.end() - 1);
        }
    }
    void flush() {
        if (points_.size() >= 2) surface_.polyline(points_);
        points_.clear();
    }

private:
    static constexpr size_t CHUNK = 128;
    Surface& surface_;
    std::vector<Point> points_;
};

// Solid lines: of consecutive points in one column only the first, the lowest, the highest and
// the last can change what is drawn, so the rest are dropped. A column is one logical unit, or
// one device pixel on a device coarser than that (recordings keep logical units, so a replay
// onto any device loses nothing).
class ColumnReducer {
public:
    ColumnReducer(PolylineBuffer& out, int32_t width) : out_(out), width_(std::max(width, 1)) {}

    void begin(Point p) {
        close();
        out_.begin(p);
        open(p);
    }
    void add(Point p) {
        if (!active_) return begin(p);
        if (column_of(p.x) != x_) {
            close();
            out_.add(p);
            open(p);
            return;
        }
        if (p.y < low_.p.y)
            low_ = {p, ++order_};
        else if (p.y > high_.p.y)
            high_ = {p, ++order_};
        last_ = p;
        ++count_;
    }
    void close() {
        if (!active_) return;
        active_ = false;
        if (count_ == 1) return;
        const Ordered& a = low_.order <= high_.order ? low_ : high_;
        const Ordered& b = low_.order <= high_.order ? high_ : low_;
        out_.add(a.p);
        out_.add(b.p);
        out_.add(last_);
    }

private:
    struct Ordered {
        Point p;
        int order = 0;
    };
    int32_t column_of(int32_t x) const {
        return width_ == 1 ? x : (x >= 0 ? x / width_ : -((-x - 1) / width_) - 1);
    }
    void open(Point p) {
        active_ = true;
        x_ = column_of(p.x);
        low_ = high_ = {p, 0};
        order_ = 0;
        last_ = p;
        count_ = 1;
    }
    PolylineBuffer& out_;
    int32_t width_;
    bool active_ = false;
    int32_t x_ = 0;
    Ordered low_, high_;
    int order_ = 0;
    Point last_;
    int count_ = 0;
};

struct Box {
    double low_h, high_h, low_v, high_v;
};

// Pieces of an area segment cut off above the top: x ranges filled over the frame's height.
struct Bands {
    bool wanted = false;
    int n = 0;
    std::array<std::pair<double, double>, 3> x{};
    void add(double a, double b) {
        if (wanted && n < 3) x[n++] = {a, b};
    }
};

double cross_at(double a1, double b1, double a2, double b2, double a) {
    return b1 + (b2 - b1) * (a - a1) / (a2 - a1);
}

// Clips one segment against the box one side at a time, in a fixed order. False when nothing
// is left. start_moved tells whether the start point was moved.
bool clip_segment(double& x1, double& y1, double& x2, double& y2, const Box& b, bool& start_moved,
                  bool& end_moved, Bands& bands) {
    start_moved = end_moved = false;
    if (x2 < b.low_h) {
        if (x1 < b.low_h) return false;
        y2 = cross_at(x1, y1, x2, y2, b.low_h), x2 = b.low_h, end_moved = true;
    }
    if (y2 < b.low_v) {
        if (y1 < b.low_v) return false;
        x2 = cross_at(y1, x1, y2, x2, b.low_v), y2 = b.low_v, end_moved = true;
    }
    if (x2 > b.high_h) {
        if (x1 > b.high_h) return false;
        y2 = cross_at(x1, y1, x2, y2, b.high_h), x2 = b.high_h, end_moved = true;
    }
    if (y2 > b.high_v) {
        if (y1 > b.high_v) {
            bands.add(x1, x2);
            return false;
        }
        const double xc = cross_at(y1, x1, y2, x2, b.high_v);
        bands.add(xc, x2);
        x2 = xc, y2 = b.high_v, end_moved = true;
    }
    if (x1 > b.high_h) {
        if (x1 == x2) return false;
        y1 = cross_at(x2, y2, x1, y1, b.high_h), x1 = b.high_h, start_moved = true;
    }
    if (y1 > b.high_v) {
        if (y1 == y2) return false;
        const double xc = cross_at(y2, x2, y1, x1, b.high_v);
        bands.add(x1, xc);
        x1 = xc, y1 = b.high_v, start_moved = true;
    }
    if (x1 < b.low_h) {
        if (x1 == x2) return false;
        y1 = cross_at(x2, y2, x1, y1, b.low_h), x1 = b.low_h, start_moved = true;
    }
    if (y1 < b.low_v) {
        if (y1 == y2) return false;
        x1 = cross_at(y2, x2, y1, x1, b.low_v), y1 = b.low_v, start_moved = true;
    }
    return true;
}

// Logical units per device pixel column, at least one.
int32_t device_column(const Surface& s) {
    const Size window = s.window_ext(), viewport = s.viewport_ext();
    if (viewport.cx <= 0 || window.cx <= viewport.cx) return 1;
    return window.cx / viewport.cx;
}

class LinePainter {
public:
    LinePainter(Surface& s, const AxisMapping& h, const AxisMapping& v, int32_t type, int32_t width,
                int32_t pitch, int32_t zero_y, const Rect& frame)
        : surface_(s), h_(h), v_(v), type_(type), zero_y_(zero_y), frame_(frame), buffer_(s),
          reducer_(buffer_, device_column(s)),
          pattern_(make_dash_pattern(type, width, pitch)), box_{h.low, h.high, v.low, v.high} {}

    // Segment between two consecutive valid points (transformed values).
    void segment(double x1, double y1, double x2, double y2, bool polyline_start) {
        bool start_moved = false, end_moved = false;
        Bands bands;
        bands.wanted = type_ == line_type::Area;
        const bool kept = clip_segment(x1, y1, x2, y2, box_, start_moved, end_moved, bands);
        if (kept)
            draw(x1, y1, x2, y2, polyline_start, start_moved, end_moved);
        else
            broken_ = true;
        for (int i = 0; i < bands.n; ++i)
            band(bands.x[i].first, bands.x[i].second);
    }

    void finish() {
        reducer_.close();
        buffer_.flush();
    }

private:
    void draw(double x1, double y1, double x2, double y2, bool polyline_start, bool start_moved,
              bool end_moved) {
        const Point a{h_.position(x1), v_.position(y1)};
        const Point b{h_.position(x2), v_.position(y2)};
        const bool restart = polyline_start || start_moved || broken_;
        broken_ = end_moved;
        switch (type_) {
        case line_type::Solid:
            if (restart) reducer_.begin(a);
            reducer_.add(b);
            break;
        case line_type::Area: {
            const Point quad[4] = {a, b, {b.x, zero_y_}, {a.x, zero_y_}};
            surface_.polygon(quad);
            break;
        }
        default:
            if (restart) phase_ = 0;
            phase_ = draw_patterned_segment(pattern_, surface_, a.x, a.y, b.x, b.y, phase_);
            if (end_moved) phase_ = 0;
            break;
        }
    }

    void band(double xa, double xb) {
        const int32_t a = std::clamp(h_.position(std::clamp(xa, box_.low_h, box_.high_h)),
                                     frame_.left, frame_.right);
        const int32_t b = std::clamp(h_.position(std::clamp(xb, box_.low_h, box_.high_h)),
                                     frame_.left, frame_.right);
        if (a == b) return;
        const Point quad[4] = {
            {a, frame_.top}, {b, frame_.top}, {b, frame_.bottom}, {a, frame_.bottom}};
        surface_.polygon(quad);
    }

    Surface& surface_;
    const AxisMapping& h_;
    const AxisMapping& v_;
    int32_t type_;
    int32_t zero_y_;
    Rect frame_;
    PolylineBuffer buffer_;
    ColumnReducer reducer_;
    DashPattern pattern_;
    Box box_;
    int32_t phase_ = 0;
    bool broken_ = false;
};

Rect intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool is_analysis_to_exclude(const Series& s) {
    return (s.kind & kind::AreaLimitedFit) && s.CountOutArea == 0;
}

// Bar base along one axis: BarBottom transformed, held inside the axis, mapped, held in the frame.
int32_t bar_base(const AxisMapping& m, double value, int32_t edge1, int32_t edge2) {
    double t = transform_value(m.scale_type, value);
    if (!is_valid(t)) t = m.low;
    t = std::clamp(t, m.low, m.high);
    return std::clamp(m.position(t), std::min(edge1, edge2), std::max(edge1, edge2));
}

void rectangle_between(Surface& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    s.rectangle(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

void draw_steps(Surface& sf, const AxisMapping& h, const AxisMapping& v, bool vertical_first,
                std::span<const double> x, std::span<const double> y) {
    PolylineBuffer out(sf);
    bool started = false;
    Point previous;
    for (size_t j = 0; j < x.size(); ++j) {
        const double tx = transform_value(h.scale_type, x[j]);
        const double ty = transform_value(v.scale_type, y[j]);
        if (!is_valid(tx) || !is_valid(ty)) {
            out.flush();
            started = false;
            continue;
        }
        const Point p{h.position(std::clamp(tx, h.low, h.high)),
                      v.position(std::clamp(ty, v.low, v.high))};
        if (!started) {
            out.begin(p);
            started = true;
        } else {
            out.add(vertical_first ? Point{previous.x, p.y} : Point{p.x, previous.y});
            out.add(p);
        }
        previous = p;
    }
    // A staircase of one point draws nothing.
    out.flush();
}

void draw_markers(Surface& sf, Graph& g, int index, RenderContext& ctx, const AxisMapping& h,
                  const AxisMapping& v, const PointArrays& pts, Point base) {
    Series& se = g.series[index];
    const int32_t mag = g.Magnification;
    const Pen pen{pen_style::Solid, scaled(se.line.width, mag), se.marker_color};
    const Brush brush =
        marker_brush(se.PlotType, se.DotStyle, se.fill_color, se.Hatch, se.marker_color);
    const int32_t s = static_cast<int32_t>(int64_t(se.PlotSize) * mag / 200);
    sf.select_pen(pen);
    sf.select_brush(brush);
    const int type = se.PlotType;
    if (type == 33 || type == 34) {
        draw_steps(sf, h, v, type == 33, pts.x, pts.y);
    } else if (type == 27 || type == 28) {
        auto corners = build_series(g, index, 5, ctx.data);
        if (corners) {
            const size_t n = std::min(pts.size(), corners->size());
            for (size_t j = 0; j < n; ++j) {
                const double x1 = transform_value(h.scale_type, pts.x[j]);
                const double y1 = transform_value(v.scale_type, pts.y[j]);
                const double x2 = transform_value(h.scale_type, corners->x[j]);
                const double y2 = transform_value(v.scale_type, corners->y[j]);
                if (!h.inside(x1) || !h.inside(x2) || !v.inside(y1) || !v.inside(y2)) continue;
                const Point a{h.position(x1), v.position(y1)}, b{h.position(x2), v.position(y2)};
                if (type == 27) {
                    rectangle_between(sf, a.x, a.y, b.x, b.y);
                } else {
                    sf.move_to(a.x, a.y);
                    sf.line_to(b.x, b.y);
                }
            }
        }
    } else {
        for (size_t j = 0; j < pts.size(); ++j) {
            double tx = transform_value(h.scale_type, pts.x[j]);
            double ty = transform_value(v.scale_type, pts.y[j]);
            if (type == 13 && is_valid(ty)) ty = std::clamp(ty, v.low, v.high);
            if (type == 26 && is_valid(tx)) tx = std::clamp(tx, h.low, h.high);
            if (!h.inside(tx) || !v.inside(ty)) continue;
            const int32_t px = h.position(tx), py = v.position(ty);
            if (type == 13)
                rectangle_between(sf, px - s, py, px + s + 1, base.y);
            else if (type == 26)
                rectangle_between(sf, px, py - s, base.x, py + s + 1);
            else
                draw_marker(sf, type, px, py, s, se.fill_color, pen, brush, ctx.external_markers);
        }
    }
    sf.set_rop2(rop2::CopyPen);
}

} // namespace

void draw_series_line(Surface& sf, const Graph& g, const AxisMapping& h, const AxisMapping& v,
                      const SeriesLineStyle& style, std::span<const double> x,
                      std::span<const double> y, int32_t zero_y, bool transform) {
    if (style.type == line_type::None) return;
    const int32_t mag = g.Magnification;
    const int32_t width = scaled(style.width, mag);
    sf.select_pen(Pen{pen_style::Solid, width, style.color});
    if (style.type == line_type::Area) sf.select_brush(Brush{brush_style::Solid, style.color, 0});
    LinePainter painter(sf, h, v, style.type, width, scaled(style.pitch, mag), zero_y,
                        frame_rect(g));
    const size_t n = std::min(x.size(), y.size());
    bool have_previous = false, polyline_start = true;
    double px = 0, py = 0;
    const bool identity_h = !transform || h.scale_type == scale_type::Linear;
    const bool identity_v = !transform || v.scale_type == scale_type::Linear;
    for (size_t i = 0; i < n; ++i) {
        const double tx = identity_h ? (is_valid(x[i]) ? x[i] : ERROR_VALUE)
                                     : transform_value(h.scale_type, x[i]);
        const double ty = identity_v ? (is_valid(y[i]) ? y[i] : ERROR_VALUE)
                                     : transform_value(v.scale_type, y[i]);
        if (!is_valid(tx) || !is_valid(ty)) {
            have_previous = false;
            polyline_start = true;
            continue;
        }
        if (have_previous) {
            painter.segment(px, py, tx, ty, polyline_start);
            polyline_start = false;
        }
        px = tx;
        py = ty;
        have_previous = true;
    }
    painter.finish();
}

void draw_error_bars(Surface& sf, const AxisMapping& h, const AxisMapping& v, int axis,
                     std::span<const double> x, std::span<const double> y,
                     std::span<const double> low, std::span<const double> high, int32_t cap) {
    // Along the horizontal axis the bar runs in x at the point's height; else the roles swap.
    const bool along_h = axis == AxisX;
    const AxisMapping& bar = along_h ? h : v;
    const AxisMapping& across = along_h ? v : h;
    std::span<const double> at = along_h ? y : x;
    const size_t n = std::min({x.size(), y.size(), low.size(), high.size()});
    for (size_t j = 0; j < n; ++j) {
        const double t = transform_value(across.scale_type, at[j]);
        if (!across.inside(t)) continue;
        double ends[2] = {transform_value(bar.scale_type, low[j]),
                          transform_value(bar.scale_type, high[j])};
        bool capped[2];
        for (int k = 0; k < 2; ++k) {
            capped[k] = ends[k] >= bar.low && ends[k] <= bar.high;
            ends[k] = std::clamp(ends[k], bar.low, bar.high);
        }
        if (!capped[0] && !capped[1]) continue;
        const int32_t c = across.position(t);
        const int32_t e0 = bar.position(ends[0]), e1 = bar.position(ends[1]);
        auto line = [&](int32_t a1, int32_t b1, int32_t a2, int32_t b2) {
            // (a, b) are (along the bar, across it).
            if (along_h) {
                sf.move_to(a1, b1);
                sf.line_to(a2, b2);
            } else {
                sf.move_to(b1, a1);
                sf.line_to(b2, a2);
            }
        };
        line(e0, c, e1, c);
        for (int k = 0; k < 2; ++k)
            if (capped[k]) line(k ? e1 : e0, c - cap, k ? e1 : e0, c + cap + 1);
    }
}

void draw_body_series(Surface& sf, Graph& g, RenderContext& ctx) {
    const Rect frame = frame_rect(g);
    const bool regions = !ctx.metafile;
    const Rect frame_region = regions ? intersect(sf.clip_box(), frame) : frame;
    const Rect* caller = ctx.caller_clip ? &*ctx.caller_clip : nullptr;
    const int32_t mag = g.Magnification;
    const int count = std::clamp(g.series_count, 0, MAX_SERIES);

    for (int i = 0; i < count; ++i) {
        Series& se = g.series[i];
        if (!se.shown) continue;
        const int h_axis = se.isRefUpAxis ? AxisU : AxisX;
        const int v_axis = se.isRefRightAxis ? AxisR : AxisY;
        const int build_kind = (se.PlotType == 27 || se.PlotType == 28) ? 4 : 0;
        auto pts = build_series(g, i, build_kind, ctx.data);
        if (!pts) continue;
        const bool excluded = is_analysis_to_exclude(se);
        if (excluded) exclude_outside(g, se, pts->x, pts->y);
        const AxisMapping h = axis_mapping(g, h_axis, frame);
        const AxisMapping v = axis_mapping(g, v_axis, frame);
        const ZeroLines zero = zero_lines(g, h, v, frame);
        if (regions) sf.set_clip_rect(&frame_region);

        if ((se.kind & kind::ComputedCurve) && ctx.curves) {
            const SeriesLineStyle curve{se.curve_line_type, se.curve_line.width,
                                        se.curve_line.color, se.curve_line.pitch};
            const bool transform = se.kind != kind::Spline;
            ctx.curves->curves(g, i, pts->x, pts->y,
                               [&](std::span<const double> cx, std::span<const double> cy) {
                                   draw_series_line(sf, g, h, v, curve, cx, cy, zero.y, transform);
                               });
        }
        se.needs_reading = 0;

        if (regions) sf.set_clip_rect(ctx.settings.Clipping ? &frame_region : caller);
        if (excluded) {
            pts = build_series(g, i, build_kind, ctx.data);
            if (!pts) continue;
        }

        const Pen data_pen{pen_style::Solid, scaled(se.line.width, mag), se.line.color};
        const int32_t cap = static_cast<int32_t>(int64_t(se.PlotSize) * mag / 200);
        for (int axis : {AxisX, AxisY}) {
            if ((axis == AxisX ? se.Errorbar1 : se.Errorbar2) == 0) continue;
            auto bars = build_error_bars(g, i, axis, ctx.data);
            if (!bars) continue;
            sf.select_pen(data_pen);
            draw_error_bars(sf, h, v, axis, pts->x, pts->y, bars->low, bars->high, cap);
        }

        const Point base{bar_base(h, se.BarBottom, frame.left, frame.right),
                         bar_base(v, se.BarBottom, frame.top, frame.bottom)};
        draw_series_line(sf, g, h, v, {se.LineType, se.line.width, se.line.color, se.line.pitch},
                         pts->x, pts->y, zero.y, true);
        if (se.PlotType != 0) draw_markers(sf, g, i, ctx, h, v, *pts, base);
    }
    if (regions) sf.set_clip_rect(caller);
}

} // namespace plox
