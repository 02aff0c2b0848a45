// Coordinate mapping and the automatic range.
#include "render/mapping.h"

#include "data/series_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace plox {

int32_t mul_div(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t n = static_cast<int64_t>(a) * b;
    const int64_t an = n < 0 ? -n : n;
    const int64_t ac = c < 0 ? -static_cast<int64_t>(c) : c;
    int64_t q = (an + ac / 2) / ac;
    if ((n < 0) != (c < 0)) q = -q;
    if (q > std::numeric_limits<int32_t>::max() || q < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(q);
}

int32_t scaled_font_height(int32_t stored_height, int32_t magnification) {
    return -mul_div(-stored_height, magnification * 254, 72000);
}

int32_t to_position(double value) {
    if (std::isnan(value)) return 0;
    value = std::clamp(value, -1e9, 1e9);
    return static_cast<int32_t>(value);
}

Rect frame_rect(const Graph& g) {
    // Saturating, since hit testing and layout call it on records as stored.
    auto edge = [](int32_t start, int32_t size, int32_t mag) {
        const int64_t v = int64_t{start} + int64_t{size} * mag / 100;
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {g.frame_left, g.frame_top, edge(g.frame_left, g.frame_width, g.Magnification),
            edge(g.frame_top, g.frame_height, g.Magnification)};
}

double transform_value(int32_t type, double v) {
    if (!is_valid(v)) return ERROR_VALUE;
    if (is_log_scale(type)) return v <= 1e-300 ? ERROR_VALUE : std::log10(v);
    if (is_reciprocal_scale(type)) return std::fabs(v) <= 1e-100 ? ERROR_VALUE : 1.0 / v;
    return v;
}

double transform_limit(int32_t type, double limit) {
    // Normalisation makes limits valid before drawing; these guards only keep a record that
    // skipped it from producing infinities.
    if (is_log_scale(type)) return std::log10(std::max(limit, 1e-300));
    if (type == scale_type::Inverse2) {
        if (std::fabs(limit) <= 1e-100) return limit < 0 ? -1e100 : 1e100;
        return 1.0 / limit;
    }
    return limit;
}

bool AxisMapping::map(double value, int32_t& pos) const {
    const double t = transform_value(scale_type, value);
    if (!is_valid(t)) return false;
    pos = position(t);
    return true;
}

double AxisMapping::inverse(double pos) const {
    const double u = s != 0 ? (pos - o) / s : lo;
    if (is_log_scale(scale_type)) return std::pow(10.0, u);
    if (scale_type == scale_type::Inverse2) return std::fabs(u) > 1e-100 ? 1.0 / u : 1e100;
    return u;
}

namespace {

void set_scale(AxisMapping& m, double near_edge, double far_edge) {
    // near_edge is where min lands (left or bottom), far_edge where max lands.
    m.s = (far_edge - near_edge) / (m.hi - m.lo);
    m.o = (far_edge * m.lo - near_edge * m.hi) / (m.lo - m.hi) + 0.5;
    if (!std::isfinite(m.s) || !std::isfinite(m.o)) {
        m.s = 0;
        m.o = (near_edge + far_edge) / 2 + 0.5;
    }
}

} // namespace

AxisMapping axis_mapping(const Graph& g, int axis, const Rect& frame) {
    const Axis& a = g.axes[static_cast<size_t>(axis)];
    AxisMapping m;
    m.scale_type = a.scale_type;
    m.horizontal = is_horizontal_axis(axis);
    m.lo = transform_limit(a.scale_type, a.from);
    m.hi = transform_limit(a.scale_type, a.to);
    m.low = std::min(m.lo, m.hi);
    m.high = std::max(m.lo, m.hi);
    if (m.horizontal)
        set_scale(m, frame.left, frame.right);
    else
        set_scale(m, frame.bottom, frame.top);
    return m;
}

AxisMapping axis_mapping(const Graph& g, int axis) {
    return axis_mapping(g, axis, frame_rect(g));
}

ZeroLines zero_lines(const Graph& g, const AxisMapping& h, const AxisMapping& v,
                     const Rect& frame) {
    ZeroLines z;
    if (g.axes[AxisX].scale_type != scale_type::Linear || h.lo * h.hi >= 0)
        z.x = h.hi > 0 ? frame.left : frame.right;
    else
        z.x = to_position(h.o);
    if (g.axes[AxisY].scale_type != scale_type::Linear || v.lo * v.hi >= 0)
        z.y = v.hi > 0 ? frame.bottom : frame.top;
    else
        z.y = to_position(v.o);
    return z;
}

std::pair<double, double> inverse_map(const Graph& g, Point p, int h, int v) {
    const Rect frame = frame_rect(g);
    return {axis_mapping(g, h, frame).inverse(p.x), axis_mapping(g, v, frame).inverse(p.y)};
}

double frame_relative(const Graph& g, int axis, double value) {
    const Axis& a = g.axes[static_cast<size_t>(axis)];
    const bool horizontal = is_horizontal_axis(axis);
    const double d = horizontal ? g.frame_width : g.frame_height;
    const double lo = transform_limit(a.scale_type, a.from);
    const double hi = transform_limit(a.scale_type, a.to);
    double t = value;
    if (is_log_scale(a.scale_type))
        t = value > 1e-30 ? std::log10(value) : lo;
    else if (is_reciprocal_scale(a.scale_type))
        t = std::fabs(value) > 1e-30 ? 1.0 / value : lo;
    double p = horizontal ? t * d / (hi - lo) + (d * lo) / (lo - hi) + 0.5
                          : t * (-d) / (hi - lo) + (-d * hi) / (lo - hi) + 0.5;
    if (std::isnan(p)) p = 0;
    return std::clamp(p, 0.0, d);
}

namespace {

// Two significant digits of |v|: the exponent c and the mantissa d = |v| / 10^c.
void two_digits(double v, int& c, double& d) {
    const double e = std::log10(std::fabs(v));
    c = e >= 0 ? static_cast<int>(std::trunc(e)) - 1 : static_cast<int>(std::trunc(e)) - 2;
    // Multiplying by an exact power of ten keeps 3 → 30 exact where 3 / 0.1 would not be.
    d = c >= 0 ? std::fabs(v) / std::pow(10.0, c) : std::fabs(v) * std::pow(10.0, -c);
}

double from_digits(double n, int c) {
    return c >= 0 ? n * std::pow(10.0, c) : n / std::pow(10.0, -c);
}

// trunc and ceil that ignore the last bits of floating-point noise (0.29 × 100 = 28.999…).
double trunc_clean(double d) {
    return std::trunc(d + d * 1e-12);
}
double ceil_clean(double d) {
    return std::ceil(d - d * 1e-12);
}

double round_down(double v) {
    if (std::fabs(v) < 1e-300) return 0;
    int c;
    double d;
    two_digits(v, c, d);
    return v > 0 ? from_digits(trunc_clean(d), c) : -from_digits(ceil_clean(d), c);
}

double round_up(double v) {
    if (std::fabs(v) < 1e-300) return 0;
    int c;
    double d;
    two_digits(v, c, d);
    return v > 0 ? from_digits(ceil_clean(d), c) : -from_digits(trunc_clean(d), c);
}

} // namespace

void round_outward(double& min, double& max, int32_t type) {
    if (!std::isfinite(min) || !std::isfinite(max)) {
        min = -1;
        max = 1;
    }
    min = round_down(min);
    max = round_up(max);
    if (is_log_scale(type)) {
        if (max <= 1e-100) max = 1e-100;
        if (max * 1e-7 > min) min = max * 1e-7;
        return;
    }
    if (type == scale_type::Inverse) {
        min = std::fabs(min) < 1e-100 ? 10000 : 1.0 / min;
        max = std::fabs(max) < 1e-100 ? 10000 : 1.0 / max;
        if (max < min) std::swap(min, max);
    }
    if (type == scale_type::Inverse2) {
        if (min * max <= 0) {
            if (max > 0)
                min = max * 0.01;
            else if (min > 0)
                max = min * 100;
            else {
                min = 0.1;
                max = 1.0;
            }
        }
        return;
    }
    if (min == max) {
        max = min + 1;
        return;
    }
    if (min > 0 && max > 0 && max > 10 * min) min = 0;
    if (min < 0 && max < 0 && min < 10 * max) max = 0;
}

void auto_range(Graph& g, const RenderContext& context, bool x, bool y, bool u, bool r) {
    if (g.series_count <= 0) return;
    Axis& ax = g.axes[AxisX];
    Axis& ay = g.axes[AxisY];
    bool requested[4] = {x, y, u, r};
    if (x && ax.common) requested[AxisU] = true;
    if (y && ay.common) requested[AxisR] = true;
    const bool any = requested[0] || requested[1] || requested[2] || requested[3];
    if (!any && g.scales_valid) return;

    double lo[4], hi[4];
    bool got[4] = {false, false, false, false};
    auto merge = [&](int axis, double a, double b) {
        if (!got[axis]) {
            lo[axis] = a;
            hi[axis] = b;
            got[axis] = true;
        } else {
            lo[axis] = std::min(lo[axis], a);
            hi[axis] = std::max(hi[axis], b);
        }
    };
    const int count = std::min(g.series_count, MAX_SERIES);
    for (int i = 0; i < count; ++i) {
        const Series& s = g.series[static_cast<size_t>(i)];
        SeriesExtent e;
        if (context.series_range) {
            e = context.series_range(g, i);
        } else {
            const SeriesRange r = series_range(g, i, context.data);
            e = {r.xmin, r.xmax, r.ymin, r.ymax};
        }
        merge(s.isRefUpAxis && !ax.common ? AxisU : AxisX, e.xmin, e.xmax);
        merge(s.isRefRightAxis && !ay.common ? AxisR : AxisY, e.ymin, e.ymax);
    }
    for (int a = 0; a < 4; ++a)
        if (!got[a]) {
            lo[a] = -1;
            hi[a] = 1;
        }
    if (ax.common) {
        lo[AxisU] = lo[AxisX];
        hi[AxisU] = hi[AxisX];
    }
    if (ay.common) {
        lo[AxisR] = lo[AxisY];
        hi[AxisR] = hi[AxisY];
    }
    const bool only_requested = g.scales_valid != 0;
    g.scales_valid = 1;
    g.unmodified = 0;
    for (int i = 0; i < count; ++i)
        g.series[static_cast<size_t>(i)].needs_reading = 1;
    for (int a = 0; a < 4; ++a) {
        if (only_requested && !requested[a]) continue;
        Axis& axis = g.axes[static_cast<size_t>(a)];
        double mn = lo[a], mx = hi[a];
        round_outward(mn, mx, axis.scale_type);
        axis.from = mn;
        axis.to = mx;
    }
}

} // namespace plox
