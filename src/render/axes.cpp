// Axis normalisation, axis preparation, the crossing point and the tick loops.
#include "render/axes.h"

#include <algorithm>
#include <cmath>

namespace plox {

namespace {

// Loops stop rather than walk more ticks than could ever be told apart on a page.
constexpr double MAX_TICKS = 100000;

double largest_log_step_not_above(double step) {
    static const double steps[] = {10, 5, 4, 3, 2, 1, 0.5, 0.2, 0.1};
    for (double s : steps)
        if (s <= step) return s;
    return 1;
}

} // namespace

void normalize_axis(Axis& a) {
    a.base_line_from = std::min(a.base_line_from, 10000);
    a.base_line_to = std::max(a.base_line_to, 0);
    if (a.base_line_to < a.base_line_from) std::swap(a.base_line_from, a.base_line_to);
    a.label_interval = std::max(a.label_interval, 1);
    // A damaged record (NaN or infinite limits) cannot be drawn; it gets a plain range.
    if (!std::isfinite(a.from) || !std::isfinite(a.to) || !std::isfinite(a.to - a.from)) {
        a.from = 0;
        a.to = 1;
    }
    if (!std::isfinite(a.increment)) a.increment = 0;
    if (a.scale_type < 0 || a.scale_type > 4) a.scale_type = scale_type::Linear;

    if (a.scale_type == scale_type::Inverse2 && a.from * a.to <= 0)
        a.scale_type = scale_type::Linear;

    if (is_log_scale(a.scale_type)) {
        a.increment = a.increment < 0.1 ? 1 : largest_log_step_not_above(a.increment);
        if (a.division != 1 && a.division != 10 && a.division != 100) a.division = 10;
        if (a.to <= 1e-100) a.to = 1.0;
        if (a.from <= 1e-100) a.from = 1.0;
        const double ratio = a.to / a.from;
        if (ratio >= 0.99 && ratio <= 1.01) a.to = 10 * a.from;
        if (a.auto_step) {
            // The span in decades; a reversed axis has the same span as its mirror.
            const double r = std::fabs(std::log10(a.to / a.from));
            a.division = 10;
            if (r > 3) {
                a.increment = 10;
                a.division = 1;
            } else if (r > 1) {
                a.increment = 5;
            } else if (r > 0.5) {
                a.increment = 1;
            } else {
                a.increment = 0.5;
            }
        }
        return;
    }

    if (a.scale_type == scale_type::Inverse2) {
        if (a.increment <= 1e-100 || a.auto_step) {
            const double m = std::max(std::fabs(a.from), std::fabs(a.to));
            a.increment = m <= 1e-100 ? 1e-100 : std::pow(10.0, std::floor(std::log10(m)));
        }
        a.division = a.auto_step ? 1 : std::max(a.division, 1);
        const double q = std::fabs(a.from) / std::fabs(a.to);
        if (q > 10 || q < 0.1) return;
    }

    if (std::fabs(a.to - a.from) < 1e-100) a.to = a.from + 1;
    const double range = std::fabs(a.to - a.from);
    if (a.increment <= 1e-100) a.increment = range;
    a.division = std::max(a.division, 1);
    if (a.auto_step) a.division = 2;
    const double p = std::pow(10.0, std::floor(std::log10(range)));
    if (!a.auto_step && a.increment * 20 >= p) return;
    const double r = range / p;
    if (r <= 1.1) {
        a.increment = 0.2 * p;
    } else if (r < 2) {
        a.increment = 0.5 * p;
        a.division = 5;
    } else if (r <= 6) {
        a.increment = p;
    } else {
        a.increment = 2 * p;
    }
}

void prepare_axes(Graph& g, const RenderContext& context) {
    Axis& x = g.axes[AxisX];
    Axis& y = g.axes[AxisY];
    if (g.FrameType == frame_type::HalfFrame || g.FrameType == frame_type::Axes) {
        x.common = 1;
        y.common = 1;
    }
    g.axes[AxisU].common = x.common;
    g.axes[AxisR].common = y.common;
    auto share = [](const Axis& from, Axis& to) {
        to.from = from.from;
        to.to = from.to;
        to.increment = from.increment;
        to.division = from.division;
        to.auto_step = from.auto_step;
        to.scale_type = from.scale_type;
        to.major_in = from.major_in;
        to.major_out = from.major_out;
        to.major_line = from.major_line;
        to.major_length = from.major_length;
        to.major_line_type = from.major_line_type;
        to.minor_in = from.minor_in;
        to.minor_out = from.minor_out;
        to.minor_line = from.minor_line;
        to.minor_length = from.minor_length;
        to.minor_line_type = from.minor_line_type;
    };
    if (x.common) share(x, g.axes[AxisU]);
    if (y.common) share(y, g.axes[AxisR]);
    auto_range(g, context, false, false, false, false);
    for (auto& a : g.axes)
        normalize_axis(a);
}

namespace {

// Counts drawn major ticks and decides which get labels.
struct LabelCounter {
    const Axis& axis;
    int64_t counter = -1;
    void reset() { counter = -1; }
    bool next() {
        ++counter;
        const int64_t start = axis.label_start;
        const int64_t interval = std::max(axis.label_interval, 1);
        return counter >= start &&
               (axis.label_count == -1 || counter < int64_t{axis.label_count} * interval + start) &&
               (counter - start) % interval == 0;
    }
    // The crossing point's window: label count ticks from label start, no interval.
    bool in_window() {
        ++counter;
        return counter >= axis.label_start &&
               (axis.label_count == -1 || counter < int64_t{axis.label_start} + axis.label_count);
    }
};

struct DrawnPart {
    int32_t from = 0, to = 0;
    bool contains(int32_t p) const { return p >= std::min(from, to) && p <= std::max(from, to); }
};

DrawnPart drawn_part(const Axis& a, int axis, const Rect& frame) {
    if (is_horizontal_axis(axis)) {
        const int64_t w = frame.right - frame.left;
        return {static_cast<int32_t>(frame.left + w * a.base_line_from / 10000),
                static_cast<int32_t>(frame.left + w * a.base_line_to / 10000)};
    }
    const int64_t h = frame.bottom - frame.top;
    return {static_cast<int32_t>(frame.bottom - h * a.base_line_from / 10000),
            static_cast<int32_t>(frame.bottom - h * a.base_line_to / 10000)};
}

// Visits the ticks of the linear loop over [low, high] with spacing p: f(i, value).
template <class F> void linear_loop(double low, double high, double p, F&& f) {
    if (!(p > 0) || (high - low) / p > MAX_TICKS || std::fabs(low / p) > 1e15) return;
    const double eps = (high - low) * 1e-7;
    for (int64_t i = static_cast<int64_t>(std::trunc(low / p - 3));
         p * static_cast<double>(i) < high + eps; ++i)
        f(i, p * static_cast<double>(i), eps);
}

// Mantissas (in tenths, 10 = 1.0) of one decade for a log tick code c.
std::vector<int> log_mantissas(int c) {
    std::vector<int> m;
    for (int v = 10; v < 100;) {
        if (c > 10 && c != 40 && v > 79) break;
        m.push_back(v);
        if (c == 1)
            v += 1;
        else if (c == 2)
            v += 2;
        else if (c < 10)
            v += 5;
        else if (c == 10)
            v += 10;
        else if (c == 40)
            v = v * 2 == 40 ? 50 : v * 2;
        else
            v = v * c / 10;
    }
    return m;
}

} // namespace

Crossing compute_crossing(const Graph& g, const Rect& frame) {
    Crossing cr;
    for (int axis : {AxisX, AxisY}) {
        const Axis& a = g.axes[static_cast<size_t>(axis)];
        const AxisMapping m = axis_mapping(g, axis, frame);
        const bool horizontal = axis == AxisX;
        int32_t pos = horizontal ? frame.left : frame.bottom;
        bool on_zero = false;
        if (!is_log_scale(a.scale_type) && a.scale_type != scale_type::Inverse2) {
            const DrawnPart part = drawn_part(a, axis, frame);
            LabelCounter counter{a};
            double value = m.low;
            bool have_zero = false;
            int64_t seen = 0;
            bool chosen = false;
            linear_loop(m.low, m.high, a.increment, [&](int64_t i, double v, double eps) {
                if (v <= m.low - eps) return counter.reset();
                const int32_t p = m.position(v);
                if (!part.contains(p)) return counter.reset();
                if (!counter.in_window()) return;
                if (i == 0) have_zero = true;
                if (a.crossing >= 0 && !chosen && seen++ == a.crossing) {
                    value = v;
                    chosen = true;
                    on_zero = i == 0;
                }
            });
            if (a.crossing < 0 && have_zero) {
                value = 0;
                on_zero = true;
            }
            pos = m.position(value);
        }
        bool flag;
        if (g.FrameType == frame_type::Axes) {
            flag = on_zero;
        } else {
            flag = std::fabs(m.low) <= 1e-7 * (m.high - m.low) && a.label_count != 0;
        }
        if (horizontal) {
            cr.x = pos;
            cr.zero_x = flag;
        } else {
            cr.y = pos;
            cr.zero_y = flag;
        }
    }
    return cr;
}

namespace {

// Ticks of a logarithmic axis: at the mantissas of every decade, the labels at decades (scale
// type 1) or at the major mantissas.
std::vector<AxisTick> log_ticks(const Axis& a, const AxisMapping& m, const DrawnPart& part,
                                int32_t divisions) {
    std::vector<AxisTick> ticks;
    const int c_major = std::max(1, static_cast<int>(std::lround(a.increment * 10)));
    const std::vector<int> major = log_mantissas(c_major);
    const double eps = (m.high - m.low) * 1e-7;
    const double k0 = std::trunc(m.low - 3);
    if (m.high - k0 > MAX_TICKS) return ticks;
    for (bool is_major : {false, true}) {
        if (!is_major && divisions == 1) continue;
        const std::vector<int> mant = is_major ? major : log_mantissas(divisions == 100 ? 1 : 10);
        LabelCounter counter{a};
        for (double k = k0; k < m.high + eps; k += 1) {
            for (int mv : mant) {
                if (!is_major && std::find(major.begin(), major.end(), mv) != major.end()) continue;
                const double t = k + std::log10(mv / 10.0);
                if (t <= m.low - eps || t >= m.high + eps) {
                    counter.reset();
                    continue;
                }
                const int32_t p = m.position(t);
                if (!part.contains(p)) {
                    counter.reset();
                    continue;
                }
                AxisTick tick{.position = p, .major = is_major};
                if (is_major && a.draw_labels) {
                    if (a.scale_type == scale_type::Log) {
                        if (mv == 10 && counter.next()) {
                            tick.labelled = true;
                            tick.decade = true;
                            tick.exponent = static_cast<int32_t>(k);
                        }
                    } else if (counter.next()) {
                        tick.labelled = true;
                        tick.value = mv / 10.0 * std::pow(10.0, k);
                    }
                }
                ticks.push_back(tick);
            }
        }
    }
    return ticks;
}

// The magnitudes of a reciprocal axis (scale type Inverse2) and where they are drawn.
struct Reciprocal {
    double low, high; // the smaller and larger magnitude of the axis ends
    double sign;      // of the axis values
    const AxisMapping& m;
    int32_t position(double magnitude) const { return to_position(m.o + m.s * sign / magnitude); }
};

// A reciprocal axis wider than a decade: n × X for n = 9 … 1 in each decade, from the step
// downward.
std::vector<AxisTick> wide_reciprocal_ticks(const Axis& a, const Reciprocal& r,
                                            const DrawnPart& part, int32_t divisions) {
    std::vector<AxisTick> ticks;
    const double eps = (r.high - r.low) * 1e-7;
    auto within = [&](double v) { return v >= r.low - eps && v <= r.high + eps; };
    for (bool is_major : {false, true}) {
        if (!is_major && divisions == 1) continue;
        LabelCounter counter{a};
        int decades = 0;
        for (double X = a.increment; X >= 0.1 * r.low && decades < 2000; X *= 0.1, ++decades) {
            for (int n = 9; n >= 1; --n) {
                if (!is_major) {
                    for (int j = 1; j < divisions; ++j) {
                        const double v = n * X + X * j / divisions;
                        if (!within(v)) continue;
                        const int32_t p = r.position(v);
                        if (part.contains(p)) ticks.push_back({.position = p});
                    }
                    continue;
                }
                const double v = n * X;
                if (!within(v)) {
                    counter.reset();
                    continue;
                }
                const int32_t p = r.position(v);
                if (!part.contains(p)) {
                    counter.reset();
                    continue;
                }
                ticks.push_back({.position = p,
                                 .major = true,
                                 .labelled = a.draw_labels && counter.next(),
                                 .value = r.sign * v});
            }
        }
    }
    return ticks;
}

// Linear, Inverse (on its reciprocal values) and Inverse2 within a decade (on magnitudes).
std::vector<AxisTick> linear_ticks(const Axis& a, const AxisMapping& m, const Reciprocal& r,
                                   const DrawnPart& part, int32_t divisions,
                                   bool suppress_zero_label) {
    std::vector<AxisTick> ticks;
    const bool inverse2 = a.scale_type == scale_type::Inverse2;
    const double low = inverse2 ? r.low : m.low;
    const double high = inverse2 ? r.high : m.high;
    for (bool is_major : {false, true}) {
        if (!is_major && divisions == 1) continue;
        const double p = is_major ? a.increment : a.increment / divisions;
        LabelCounter counter{a};
        linear_loop(low, high, p, [&](int64_t i, double v, double eps) {
            if (v <= low - eps || (inverse2 && i == 0)) return counter.reset();
            if (!is_major && i % divisions == 0) return;
            const int32_t pos = inverse2 ? r.position(v) : m.position(v);
            if (!part.contains(pos)) return counter.reset();
            AxisTick tick{.position = pos,
                          .major = is_major,
                          .value = i == 0 ? 0 : (inverse2 ? r.sign * v : v)};
            if (is_major && a.draw_labels && !(suppress_zero_label && i == 0))
                tick.labelled = counter.next();
            ticks.push_back(tick);
        });
    }
    return ticks;
}

} // namespace

std::vector<AxisTick> axis_ticks(const Graph& g, int axis, const Rect& frame,
                                 bool suppress_zero_label) {
    const Axis& a = g.axes[static_cast<size_t>(axis)];
    const AxisMapping m = axis_mapping(g, axis, frame);
    const DrawnPart part = drawn_part(a, axis, frame);
    const int32_t divisions = std::max(a.division, 1);
    if (is_log_scale(a.scale_type)) return log_ticks(a, m, part, divisions);

    const Reciprocal r{.low = std::min(std::fabs(a.from), std::fabs(a.to)),
                       .high = std::max(std::fabs(a.from), std::fabs(a.to)),
                       .sign = a.to < 0 ? -1.0 : 1.0,
                       .m = m};
    if (a.scale_type == scale_type::Inverse2 && r.low / r.high < 0.1)
        return wide_reciprocal_ticks(a, r, part, divisions);
    return linear_ticks(a, m, r, part, divisions, suppress_zero_label);
}

} // namespace plox
