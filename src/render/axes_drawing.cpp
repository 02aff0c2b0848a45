// Drawing the prepared axes: tick marks or grid lines, axis lines, number and decade labels,
// the multiplier text and the shared zero label.
#include "render/axes.h"

#include "render/graph_drawing.h"
#include "render/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plox {

int32_t multiplier_exponent(const Axis& a) {
    if (a.scale_type == scale_type::Log) return 0;
    double u;
    if (a.scale_type == scale_type::LogNormal) {
        const double hi = std::max(a.from, a.to), lo = std::min(a.from, a.to);
        if (hi <= 0 || lo <= 0) return 0;
        const double ea = std::trunc(std::log10(hi)), eb = std::trunc(std::log10(lo));
        if (ea * eb < 0) return 0;
        u = std::min(ea, eb);
    } else {
        const double q = a.to != 0 ? std::fabs(a.from) / std::fabs(a.to) : 0;
        const bool wide_inverse2 = a.scale_type == scale_type::Inverse2 && (q > 10 || q < 0.1);
        const double m =
            wide_inverse2 ? std::fabs(a.increment) : std::max(std::fabs(a.from), std::fabs(a.to));
        if (!(m > 0) || !std::isfinite(m)) return 0;
        u = std::trunc(std::log10(m));
    }
    if (u >= 1) return u >= a.integer_digits ? static_cast<int32_t>(-u) : 0;
    return -u >= a.fraction_digits ? static_cast<int32_t>(-u + 1) : 0;
}

std::string format_number_label(const Axis& a, double value, double step) {
    if (std::fabs(value) < step && a.zero_as_0) return "0";
    // Digit counts come from the document; keep the printed width within reason.
    const int fraction = std::clamp(a.fraction_digits, 0, 30);
    const int integer = std::clamp(a.integer_digits, 0, 30);
    char format[32];
    std::snprintf(format, sizeof format, a.plus_sign ? "%s+%d.%dlf" : "%s%d.%dlf", "%-",
                  fraction + integer + 1, fraction);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, value);
    std::string s = buffer;
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    // Only a fraction loses its trailing zeros: "20" must stay "20".
    if (!a.keep_zero && s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    return s;
}

namespace {

const FixedTextMeasurer fallback_measurer;

struct LabelBox {
    int32_t left = 0, right = 0;
};

class AxisPainter {
public:
    AxisPainter(Surface& sf, Graph& g, RenderContext& ctx, const Rect& frame)
        : sf_(sf), g_(g), ctx_(ctx), frame_(frame),
          measurer_(ctx.measurer ? *ctx.measurer : fallback_measurer) {}

    void widen(const Rect& r) {
        g_.extent_left = std::min(g_.extent_left, std::min(r.left, r.right));
        g_.extent_right = std::max(g_.extent_right, std::max(r.left, r.right));
        g_.extent_top = std::min(g_.extent_top, std::min(r.top, r.bottom));
        g_.extent_bottom = std::max(g_.extent_bottom, std::max(r.top, r.bottom));
    }

    // Text with TA_BOTTOM and the given horizontal alignment; returns its rectangle.
    Rect text(const Font& font, int32_t x, int32_t y, uint32_t horizontal, const std::string& s) {
        const Size e = measurer_.text_extent(font, s);
        sf_.set_text_align(horizontal | text_align::Bottom);
        sf_.text_out(x, y, s);
        int32_t left = x;
        if (horizontal == text_align::Center) left = x - e.cx / 2;
        if (horizontal == text_align::Right) left = x - e.cx;
        const Rect r{left, y - e.cy, left + e.cx, y};
        widen(r);
        return r;
    }

    Font label_font(const Axis& a) const {
        Font f = a.label_font;
        f.height = scaled_font_height(f.height, g_.Magnification);
        return f;
    }

    void draw_tick_marks(int axis, const std::vector<AxisTick>& ticks, int32_t line_pos) {
        const Axis& a = g_.axes[static_cast<size_t>(axis)];
        const int32_t mag = g_.Magnification;
        for (bool major : {false, true}) {
            const LineAttr& line = major ? a.major_line : a.minor_line;
            const int32_t width = scaled(line.width, mag);
            const int32_t length = scaled(major ? a.major_length : a.minor_length, mag);
            const bool in = major ? a.major_in : a.minor_in;
            const bool out = major ? a.major_out : a.minor_out;
            const int32_t type = major ? a.major_line_type : a.minor_line_type;
            if (!in && (!out || g_.FrameType == frame_type::Grid)) continue;
            sf_.select_pen(Pen{pen_style::Solid, width, line.color});
            for (const AxisTick& t : ticks) {
                if (t.major != major) continue;
                const int32_t p = t.position;
                if (g_.FrameType == frame_type::Grid) {
                    if (is_horizontal_axis(axis))
                        draw_patterned_line(sf_, p, frame_.top, p, frame_.bottom, width,
                                            scaled(line.pitch, mag), type);
                    else
                        draw_patterned_line(sf_, frame_.left, p, frame_.right, p, width,
                                            scaled(line.pitch, mag), type);
                    continue;
                }
                // Inward is up for X, right for Y, down for U, left for R.
                const int32_t inward = axis == AxisX || axis == AxisR ? -length : length;
                for (int32_t d : {in ? inward : 0, out ? -inward : 0}) {
                    if (d == 0) continue;
                    if (is_horizontal_axis(axis)) {
                        sf_.move_to(p, line_pos);
                        sf_.line_to(p, line_pos + d);
                    } else {
                        sf_.move_to(line_pos, p);
                        sf_.line_to(line_pos + d, p);
                    }
                }
            }
        }
    }

    // Number and decade labels of one axis; returns the horizontal span of the labels.
    LabelBox draw_labels(int axis, const std::vector<AxisTick>& ticks, int32_t line_pos,
                         int32_t multiplier) {
        const Axis& a = g_.axes[static_cast<size_t>(axis)];
        LabelBox box{line_pos, line_pos};
        bool any = false;
        const Font font = label_font(a);
        const int32_t fh = std::abs(font.height);
        Font exponent_font = font;
        exponent_font.height = font.height * ctx_.settings.SubscriptSize / 100;
        const int32_t raise = fh * ctx_.settings.SubscriptPos / 100;
        const double scale = std::pow(10.0, multiplier);
        const bool linear_steps =
            !is_log_scale(a.scale_type) && !(a.scale_type == scale_type::Inverse2 &&
                                             std::min(std::fabs(a.from), std::fabs(a.to)) /
                                                     std::max(std::fabs(a.from), std::fabs(a.to)) <
                                                 0.1);
        const double step = linear_steps ? a.increment * scale : 0;
        sf_.set_bk_mode(bk_mode::Transparent);
        sf_.set_text_color(a.label_color);
        sf_.select_font(font);
        for (const AxisTick& t : ticks) {
            if (!t.labelled) continue;
            int32_t x, y;
            uint32_t align;
            switch (axis) {
            case AxisX:
                x = t.position;
                y = line_pos + fh;
                align = text_align::Center;
                break;
            case AxisU:
                x = t.position;
                y = line_pos;
                align = text_align::Center;
                break;
            case AxisY:
                x = line_pos;
                y = t.position + fh / 2;
                align = text_align::Right;
                break;
            default:
                x = line_pos;
                y = t.position + fh / 2;
                align = text_align::Left;
                break;
            }
            x += a.label_shift_right;
            y += a.label_shift_down;
            Rect r;
            if (t.decade) {
                std::string base = "10";
                const bool plain =
                    g_.log_decades_as_numbers && (t.exponent == 0 || t.exponent == 1);
                if (plain && t.exponent == 0) base = "1";
                const int32_t bw = measurer_.text_extent(font, base).cx;
                int32_t bx = x;
                if (axis == AxisY) bx = x - bw * 3 / 2;
                const uint32_t base_align =
                    is_horizontal_axis(axis) ? text_align::Center : text_align::Left;
                r = text(font, bx, y, base_align, base);
                if (!plain) {
                    char e[16];
                    std::snprintf(e, sizeof e, "%d", t.exponent);
                    sf_.select_font(exponent_font);
                    const Rect er = text(exponent_font, r.right, y - raise, text_align::Left, e);
                    sf_.select_font(font);
                    r.right = er.right;
                }
            } else {
                r = text(font, x, y, align, format_number_label(a, t.value * scale, step));
            }
            if (!any) box = {r.left, r.right};
            box.left = std::min(box.left, r.left);
            box.right = std::max(box.right, r.right);
            any = true;
        }
        return box;
    }

    void draw_multiplier(int axis, int32_t n, const LabelBox& labels) {
        const Axis& a = g_.axes[static_cast<size_t>(axis)];
        GraphObject obj;
        obj.used = 1;
        obj.Type = object_type::Text;
        obj.Font1 = a.label_font;
        obj.Font2 = a.label_font;
        obj.Font3 = a.label_font;
        obj.Font3.charset = 2;
        obj.Font3.face = "Symbol";
        obj.Back = bk_mode::Transparent;
        obj.Color = a.label_color;
        obj.alignment = 0;
        char text[64];
        std::snprintf(text, sizeof text, "[%%G\xB4%%A10^%d@]", -n);
        obj.Str = text;
        Font ten = a.label_font;
        ten.height = mul_div(-a.label_font.height, 2540, 7200);
        const int32_t th = measurer_.text_extent(ten, "10").cy;
        const int32_t mag = std::max(g_.Magnification, 1);
        draw_text_object(sf_, g_, ctx_, obj, false, false);
        const int32_t W = (obj.extent_right - obj.extent_left) * 100 / mag;
        const int32_t H = (obj.extent_bottom - obj.extent_top) * 100 / mag;
        switch (axis) {
        case AxisX:
            obj.x = g_.frame_width - W;
            obj.y = g_.frame_height + 5 * th / 6 + H;
            break;
        case AxisU:
            obj.x = g_.frame_width - W;
            obj.y = -th - th / 6;
            break;
        case AxisY:
            obj.x = (labels.left - g_.frame_left) * 100 / mag - W;
            obj.y = H / 2;
            break;
        default:
            obj.x = (labels.right - g_.frame_left) * 100 / mag;
            obj.y = H / 2;
            break;
        }
        obj.x += 2 * a.label_shift_right;
        obj.y += 2 * a.label_shift_down;
        draw_text_object(sf_, g_, ctx_, obj, false, true);
        widen({obj.extent_left, obj.extent_top, obj.extent_right, obj.extent_bottom});
    }

private:
    Surface& sf_;
    Graph& g_;
    RenderContext& ctx_;
    Rect frame_;
    const TextMeasurer& measurer_;
};

// The line of one axis at `p` across the frame, or across the part of it the axis limits its
// base line to (from and to in 1/10000 of the frame).
void draw_base_line(Surface& sf, const Axis& a, int axis, const Rect& frame, int32_t p) {
    if (is_horizontal_axis(axis)) {
        int32_t x1 = frame.left, x2 = frame.right;
        if (a.limited_base_line) {
            const int64_t w = frame.right - frame.left;
            x1 = static_cast<int32_t>(frame.left + w * a.base_line_from / 10000);
            x2 = static_cast<int32_t>(frame.left + w * a.base_line_to / 10000);
        }
        sf.move_to(x1, p);
        sf.line_to(x2, p);
    } else {
        int32_t y1 = frame.top, y2 = frame.bottom;
        if (a.limited_base_line) {
            const int64_t h = frame.bottom - frame.top;
            y2 = static_cast<int32_t>(frame.bottom - h * a.base_line_from / 10000);
            y1 = static_cast<int32_t>(frame.bottom - h * a.base_line_to / 10000);
        }
        sf.move_to(p, y1);
        sf.line_to(p, y2);
    }
}

} // namespace

void draw_axes(Surface& sf, Graph& g, RenderContext& ctx) {
    const Rect frame = frame_rect(g);
    g.extent_left = frame.left;
    g.extent_top = frame.top;
    g.extent_right = frame.right;
    g.extent_bottom = frame.bottom;
    const Crossing cr = compute_crossing(g, frame);
    if (g.FrameType == frame_type::Grid) {
        for (int axis : {AxisU, AxisR}) {
            g.axes[static_cast<size_t>(axis)].major_in = 0;
            g.axes[static_cast<size_t>(axis)].minor_in = 0;
        }
    }
    const bool four = g.FrameType == frame_type::Grid || g.FrameType == frame_type::Box;
    const bool at_crossing = g.FrameType == frame_type::Axes;
    const bool shared_zero = g.zero_shared && cr.zero_x && cr.zero_y;
    auto line_position = [&](int axis) {
        switch (axis) {
        case AxisX:
            return at_crossing ? cr.y : frame.bottom;
        case AxisY:
            return at_crossing ? cr.x : frame.left;
        case AxisU:
            return frame.top;
        default:
            return frame.right;
        }
    };

    AxisPainter painter(sf, g, ctx, frame);
    LabelBox boxes[4];
    for (int axis = 0; axis < 4; ++axis) {
        if (!four && (axis == AxisU || axis == AxisR)) continue;
        const bool suppress = shared_zero && (axis == AxisX || axis == AxisY);
        const std::vector<AxisTick> ticks = axis_ticks(g, axis, frame, suppress);
        painter.draw_tick_marks(axis, ticks, line_position(axis));
        boxes[axis] = painter.draw_labels(axis, ticks, line_position(axis),
                                          multiplier_exponent(g.axes[static_cast<size_t>(axis)]));
    }

    sf.select_pen(
        Pen{pen_style::Solid, scaled(g.frame_line.width, g.Magnification), g.frame_line.color});
    for (int axis = 0; axis < 4; ++axis) {
        const Axis& a = g.axes[static_cast<size_t>(axis)];
        if (!a.draw || (!four && (axis == AxisU || axis == AxisR))) continue;
        draw_base_line(sf, a, axis, frame, line_position(axis));
    }

    for (int axis = 0; axis < 4; ++axis) {
        const Axis& a = g.axes[static_cast<size_t>(axis)];
        if (!four && (axis == AxisU || axis == AxisR)) continue;
        const int32_t n = multiplier_exponent(a);
        if (n != 0 && a.overflow_digits && a.draw_labels && a.scale_type != scale_type::Log &&
            a.label_count != 0)
            painter.draw_multiplier(axis, n, boxes[axis]);
    }

    if (shared_zero) {
        const Axis& x = g.axes[AxisX];
        const Font font = painter.label_font(x);
        sf.set_bk_mode(bk_mode::Transparent);
        sf.set_text_color(x.label_color);
        sf.select_font(font);
        painter.text(font, cr.x + x.label_shift_right,
                     cr.y + std::abs(font.height) + x.label_shift_down, text_align::Right, "0");
    }
}

} // namespace plox
