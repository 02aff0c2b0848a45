// Run layout of rich-text labels.
#include "render/rich_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/mapping.h"
#include "render/primitives.h"
#include "render/rich_text_sjis.h"

namespace plox {

namespace {

enum FontKind { Latin = 0, Japanese = 1, Greek = 2 };
enum Script { Normal = 0, Sub = 1, Super = 2 };

// The attributes a run is drawn with; `wanted` collects markup, `state` is what is selected.
struct Attributes {
    int script = Normal;
    int kind = Latin;
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    Color color = 0;
    int32_t height = 0; // negative, logical units
    bool operator==(const Attributes&) const = default;
};

struct LayoutState {
    Attributes state;
    Attributes wanted;
    bool greek_mode = false;
    bool font_selected = false;
    bool refresh_font = false; // a "%J" face waits for the next character's font
    std::string pending_face;
    int32_t sample_width = 100;
    int32_t base_height = 0; // negative
    std::array<LogFont, 3> fonts;
};

bool is_hex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int hex_value(char c) {
    return c <= '9' ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

std::optional<int> read_digits(std::string_view s, size_t pos, int n) {
    if (pos + n > s.size()) return std::nullopt;
    int v = 0;
    for (int i = 0; i < n; ++i) {
        char c = s[pos + i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

class LineLayout {
public:
    LineLayout(Surface& surface, Graph& graph, RenderContext& context, LayoutState& st, bool white,
               bool draw, double theta, Rect& box)
        : surface_(surface), graph_(graph), context_(context), st_(st), white_(white), draw_(draw),
          cos_(std::cos(theta)), sin_(std::sin(theta)), box_(box) {}

    // Lays out one expanded line from (x, y); returns its advance width.
    int32_t run(std::string_view line, int32_t& x, int32_t& y) {
        x_ = x;
        y_ = y;
        width_ = 0;
        // A script still open from the previous line starts this line raised or lowered, so
        // that leaving it later comes back to this line's own baseline.
        if (st_.state.script != Normal) {
            const int open = st_.state.script;
            st_.state.script = Normal;
            const int32_t height = st_.wanted.height;
            script_change(Normal, open);
            st_.wanted.height = height;
        }
        for (size_t i = 0; i < line.size();)
            i = step(line, i);
        flush();
        x = x_;
        y = y_;
        return width_;
    }

private:
    size_t step(std::string_view s, size_t i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '^':
            flush();
            st_.wanted.script = Super;
            return i + 1;
        case '_':
            flush();
            st_.wanted.script = Sub;
            return i + 1;
        case '@':
            flush();
            st_.wanted.script = Normal;
            return i + 1;
        case '\\':
            if (i + 1 < s.size()) {
                add(s.substr(i + 1, 1), st_.greek_mode ? Greek : Latin);
                return i + 2;
            }
            add(s.substr(i, 1), st_.greek_mode ? Greek : Latin);
            return i + 1;
        case '%':
            if (size_t next = code(s, i)) return next;
            add(s.substr(i, 1), st_.greek_mode ? Greek : Latin); // not a code: drawn as typed
            return i + 1;
        default:
            break;
        }
        if (st_.greek_mode) {
            add(s.substr(i, 1), Greek);
            return i + 1;
        }
        if (is_sjis_lead(c) && i + 1 < s.size()) {
            add(s.substr(i, 2), Japanese);
            return i + 2;
        }
        add(s.substr(i, 1), is_halfwidth_katakana(c) ? Japanese : Latin);
        return i + 1;
    }

    // Applies the markup code at s[i] == '%'; returns the position after it, 0 when malformed.
    size_t code(std::string_view s, size_t i) {
        if (i + 1 >= s.size()) return 0;
        Attributes& w = st_.wanted;
        const char c = s[i + 1];
        if (std::string_view("AGBIORU").find(c) != std::string_view::npos) {
            flush();
            switch_style(c);
            return i + 2;
        }
        switch (c) {
        case 'S': {
            auto v = read_digits(s, i + 2, 3);
            if (!v) return 0;
            flush();
            w.height = static_cast<int32_t>(int64_t(*v) * st_.base_height / 100); // |base| <= 1e6
            return i + 5;
        }
        case 'H': {
            auto v = read_digits(s, i + 2, 3);
            if (!v) return 0;
            flush();
            st_.sample_width = *v;
            return i + 5;
        }
        case 'K': {
            if (i + 8 > s.size() || !std::all_of(s.begin() + i + 2, s.begin() + i + 8, is_hex))
                return 0;
            flush();
            int r = hex_value(s[i + 2]) * 16 + hex_value(s[i + 3]);
            int g = hex_value(s[i + 4]) * 16 + hex_value(s[i + 5]);
            int b = hex_value(s[i + 6]) * 16 + hex_value(s[i + 7]);
            w.color = r | g << 8 | b << 16;
            return i + 8;
        }
        case 'J': {
            size_t end = s.find("%J", i + 2);
            if (end == std::string_view::npos) return 0;
            flush();
            set_text(st_.pending_face, s.substr(i + 2, end - i - 2), FACE_CAPACITY);
            st_.refresh_font = true;
            return end + 2;
        }
        case 'X':
        case 'Y': {
            if (i + 2 >= s.size() || (s[i + 2] != '+' && s[i + 2] != '-')) return 0;
            auto v = read_digits(s, i + 3, 2);
            if (!v) return 0;
            flush();
            shift(c, s[i + 2] == '-' ? -*v : *v);
            return i + 5;
        }
        default:
            break;
        }
        auto dd = read_digits(s, i + 1, 2);
        if (dd && i + 3 < s.size() && (s[i + 3] == 'E' || s[i + 3] == 'F')) {
            flush();
            legend_sample(*dd, s[i + 3] == 'E');
            return i + 4;
        }
        return 0;
    }

    // The one-letter codes: Greek or Latin letters, weight and slant, underline on and off.
    void switch_style(char c) {
        Attributes& w = st_.wanted;
        switch (c) {
        case 'A':
        case 'G':
            st_.greek_mode = c == 'G';
            break;
        case 'B':
        case 'O':
            w.weight = 700;
            w.italic = w.italic || c == 'O';
            break;
        case 'I':
            w.italic = true;
            break;
        case 'R':
            w.weight = 400;
            w.italic = false;
            break;
        case 'U':
            w.underline = !w.underline;
            break;
        default:
            break;
        }
    }

    void shift(char axis, int dd) {
        const double h = std::abs(st_.base_height);
        const int X = axis == 'X' ? dd : 0, Y = axis == 'Y' ? dd : 0;
        x_ += static_cast<int32_t>(h * X * cos_ / 100) - static_cast<int32_t>(h * Y * sin_ / 100);
        y_ -= static_cast<int32_t>(h * Y * cos_ / 100) + static_cast<int32_t>(h * X * sin_ / 100);
        // Centring measures the pen's real movement.
        width_ += static_cast<int32_t>(h * X / 100);
    }

    void add(std::string_view bytes, int kind) {
        if (!run_.empty() && kind != st_.state.kind) flush();
        if (run_.empty()) {
            st_.wanted.kind = kind;
            sync();
        }
        run_.append(bytes);
    }

    // Brings the selected state to the wanted attributes before a run starts.
    void sync() {
        Attributes& s = st_.state;
        Attributes& w = st_.wanted;
        if (w.script != s.script) script_change(s.script, w.script);
        if (!st_.pending_face.empty()) {
            st_.fonts[w.kind].face = st_.pending_face;
            st_.pending_face.clear();
        }
        if (w == s && st_.font_selected && !st_.refresh_font) return;
        s = w;
        st_.refresh_font = false;
        for (LogFont& f : st_.fonts) {
            f.height = s.height;
            f.weight = s.weight;
            f.italic = s.italic;
            f.underline = s.underline;
        }
        if (draw_) {
            if (!white_) surface_.set_text_color(s.color);
            surface_.select_font(st_.fonts[s.kind]);
        }
        st_.font_selected = true;
    }

    void script_change(int from, int to) {
        const RenderSettings& rs = context_.settings;
        const double h = std::abs(st_.base_height);
        const double dx = h * sin_, dy = h * cos_;
        auto move = [&](double sign, int32_t percent) {
            x_ += static_cast<int32_t>(sign * dx * percent / 100);
            y_ += static_cast<int32_t>(sign * dy * percent / 100);
        };
        if (from == Sub) move(-1, rs.SuperscriptPos);
        if (from == Super) move(+1, rs.SubscriptPos);
        st_.wanted.height =
            to == Normal ? st_.base_height
                         : static_cast<int32_t>(int64_t(st_.base_height) * rs.SubscriptSize / 100);
        if (to == Sub) move(+1, rs.SuperscriptPos);
        if (to == Super) move(-1, rs.SubscriptPos);
        st_.state.script = to;
    }

    void flush() {
        if (run_.empty()) return;
        const LogFont& font = st_.fonts[st_.state.kind];
        if (draw_) {
            surface_.move_to(x_, y_);
            surface_.text_out(x_, y_, run_);
        }
        const Size size = context_.measurer ? context_.measurer->text_extent(font, run_) : Size{};
        advance(size.cx, std::abs(font.height));
        run_.clear();
    }

    // Moves the pen along the baseline and takes the covered area into the box.
    void advance(int32_t cx, int32_t height) {
        const int32_t ex = x_ + static_cast<int32_t>(cx * cos_);
        const int32_t ey = y_ - static_cast<int32_t>(cx * sin_);
        const int32_t ux = -static_cast<int32_t>(height * sin_);
        const int32_t uy = -static_cast<int32_t>(height * cos_);
        for (Point p :
             {Point{x_, y_}, Point{ex, ey}, Point{x_ + ux, y_ + uy}, Point{ex + ux, ey + uy}}) {
            box_.left = std::min(box_.left, p.x);
            box_.right = std::max(box_.right, p.x);
            box_.top = std::min(box_.top, p.y);
            box_.bottom = std::max(box_.bottom, p.y);
        }
        x_ = ex;
        y_ = ey;
        width_ += cx;
    }

    void legend_sample(int number, bool with_marker) {
        const int index = series_for_number(graph_, number);
        if (index < 0) return;
        const Series& se = graph_.series[index];
        const int32_t c = st_.font_selected ? st_.state.height : st_.wanted.height;
        const int32_t half = static_cast<int32_t>(-int64_t(c) * st_.sample_width / 100);
        if (draw_) {
            const int32_t mag = graph_.Magnification;
            LegendSample sample;
            sample.half_length = half;
            if (with_marker) {
                sample.plot_type = se.PlotType;
                sample.half_size = scaled(se.PlotSize, mag) / 2;
                sample.marker_color = se.marker_color;
                sample.brush_style = se.DotStyle;
                sample.hatch = se.Hatch;
                sample.fill_color = se.fill_color;
                sample.pen_width = scaled(se.line.width, mag);
                sample.line_type = se.LineType;
                sample.pitch = scaled(se.line.pitch, mag);
                sample.line_color = se.line.color;
            } else {
                sample.plot_type = 0;
                sample.pen_width = scaled(se.curve_line.width, mag);
                sample.line_type = se.curve_line_type;
                sample.pitch = scaled(se.curve_line.pitch, mag);
                sample.line_color = se.curve_line.color;
            }
            draw_legend_sample(surface_, x_ + half, y_ + 3 * c / 8, sample,
                               context_.external_markers);
        }
        advance(2 * half, std::abs(c));
    }

    Surface& surface_;
    Graph& graph_;
    RenderContext& context_;
    LayoutState& st_;
    bool white_, draw_;
    double cos_, sin_;
    Rect& box_;
    int32_t x_ = 0, y_ = 0, width_ = 0;
    std::string run_;
};

} // namespace

void default_text_fonts(const Graph& graph, GraphObject& object) {
    for (int i = MAX_OBJECTS - 1; i >= 0; --i) {
        const GraphObject& o = graph.objects[i];
        if (&o == &object || !o.used || o.Type < object_type::TitleX || o.Type > object_type::Text)
            continue;
        object.Font1 = o.Font1;
        object.Font2 = o.Font2;
        object.Font3 = o.Font3;
        for (LogFont* f : {&object.Font1, &object.Font2, &object.Font3})
            f->escapement = f->orientation = 0;
        return;
    }
    auto font = [](const char* face, uint8_t charset) {
        LogFont f;
        f.height = -2400;
        f.weight = 400;
        f.quality = 2;
        f.pitch_and_family = 18;
        f.charset = charset;
        f.face = face;
        return f;
    };
    object.Font1 = font("Times New Roman", 0);
    object.Font2 = font("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128); // "ＭＳ 明朝" in Shift-JIS
    object.Font3 = font("Symbol", 2);
}

Rect draw_text_object(Surface& surface, Graph& graph, RenderContext& context, GraphObject& object,
                      bool white, bool draw, const FieldSources& sources) {
    const int32_t mag = graph.Magnification;
    // Heights beyond a few metres are nonsense; holding them keeps all arithmetic in range.
    const int32_t stored = static_cast<int32_t>(
        std::min<int64_t>(std::abs(int64_t{object.Font1.height}), 100'000'000));
    const int64_t drawn = (int64_t{stored} * std::max(mag, 0) * 127 + 18000) / 36000;
    const int32_t f = static_cast<int32_t>(std::min<int64_t>(drawn, 1'000'000));
    const double theta = object.Font1.escapement * std::numbers::pi / 1800.0;
    const double cos_t = std::cos(theta), sin_t = std::sin(theta);

    LayoutState st;
    st.base_height = -f;
    st.fonts = {object.Font1, object.Font2, object.Font3};
    for (LogFont& font : st.fonts)
        font.escapement = font.orientation = object.Font1.escapement;
    Attributes start;
    start.weight = object.Font1.weight >= 700 ? 700 : 400;
    start.italic = object.Font1.italic != 0;
    start.underline = object.Font1.underline != 0;
    start.color = white ? 0xFFFFFF : object.Color;
    start.height = -f;
    st.state = st.wanted = start;

    int32_t x = graph.frame_left + mul_div(object.x, mag, 100);
    int32_t y = graph.frame_top + mul_div(object.y, mag, 100);
    Rect box;
    box.left = box.right = x - static_cast<int32_t>(f * sin_t);
    box.top = box.bottom = y - static_cast<int32_t>(f * cos_t);

    if (draw) {
        surface.set_text_align(text_align::Baseline | text_align::UpdateCP);
        const int32_t mode =
            white || object.Back != bk_mode::Opaque ? bk_mode::Transparent : bk_mode::Opaque;
        surface.set_bk_mode(mode);
        if (mode == bk_mode::Opaque) surface.set_bk_color(0xFFFFFF);
        if (white) surface.set_text_color(0xFFFFFF);
    }

    int32_t advance = f;
    for (const ExpandedLine& line : expand_fields(graph, object.Str, sources)) {
        if (line.advance) advance = *line.advance;
        int32_t lx = x, ly = y;
        if (object.alignment == 1 || object.alignment == 2) {
            LayoutState probe = st;
            Rect scratch = box;
            int32_t mx = x, my = y;
            const int32_t w =
                LineLayout(surface, graph, context, probe, white, false, theta, scratch)
                    .run(line.text, mx, my);
            const double k = object.alignment == 1 ? 0.5 : 1.0;
            lx -= static_cast<int32_t>(w * cos_t * k);
            ly += static_cast<int32_t>(w * sin_t * k);
        }
        LineLayout(surface, graph, context, st, white, draw, theta, box).run(line.text, lx, ly);
        // Every line is aligned on the anchor's own baseline, so centred lines share one axis.
        x += static_cast<int32_t>(advance * sin_t);
        y += static_cast<int32_t>(advance * cos_t);
    }
    object.extent_left = std::min(box.left, box.right);
    object.extent_right = std::max(box.left, box.right);
    object.extent_top = std::min(box.top, box.bottom);
    object.extent_bottom = std::max(box.top, box.bottom);
    return {object.extent_left, object.extent_top, object.extent_right, object.extent_bottom};
}

void draw_text_object(Surface& surface, Graph& graph, RenderContext& context, GraphObject& object,
                      bool white, bool draw) {
    draw_text_object(surface, graph, context, object, white, draw,
                     context.field_sources ? *context.field_sources : system_field_sources());
}

} // namespace plox
