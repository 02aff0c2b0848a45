// A surface that records every call as data: the cached drawing of a graph body (the screen
// replays it on every repaint) and the oracle of the renderer's tests.
#pragma once

#include "render/surface.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace plox {

namespace rec {
struct Rop2 {
    int32_t mode;
};
struct BkMode {
    int32_t mode;
};
struct BkColor {
    Color color;
};
struct TextColor {
    Color color;
};
struct TextAlign {
    uint32_t flags;
};
struct SelectPen {
    Pen pen;
};
struct SelectBrush {
    Brush brush;
};
struct SelectFont {
    Font font;
};
struct MoveTo {
    Point p;
};
struct LineTo {
    Point p;
};
struct Polyline {
    std::vector<Point> points;
};
struct Polygon {
    std::vector<Point> points;
};
struct Rectangle {
    Rect r;
};
struct RoundRect {
    Rect r;
    int32_t corner_width, corner_height;
};
struct Ellipse {
    Rect r;
};
struct Chord {
    Rect r;
    Point start, end;
};
struct Arc {
    Rect r;
    Point start, end;
};
struct FillRect {
    Rect r;
    Brush brush;
};
struct TextOut {
    Point p;
    std::string bytes;
};
struct DrawImage {
    Rect r;
    std::shared_ptr<const Image> image;
};
struct Clip {
    bool on;
    Rect r;
};
} // namespace rec

using Command =
    std::variant<rec::Rop2, rec::BkMode, rec::BkColor, rec::TextColor, rec::TextAlign,
                 rec::SelectPen, rec::SelectBrush, rec::SelectFont, rec::MoveTo, rec::LineTo,
                 rec::Polyline, rec::Polygon, rec::Rectangle, rec::RoundRect, rec::Ellipse,
                 rec::Chord, rec::Arc, rec::FillRect, rec::TextOut, rec::DrawImage, rec::Clip>;

class RecordingSurface : public Surface {
public:
    // The extents a recording reports: one logical unit per device unit, the whole
    // 32000-unit page, and no clip (a recording is drawn in metafile mode).
    RecordingSurface() = default;

    void set_rop2(int32_t mode) override { commands_.push_back(rec::Rop2{mode}); }
    void set_bk_mode(int32_t mode) override { commands_.push_back(rec::BkMode{mode}); }
    void set_bk_color(Color color) override { commands_.push_back(rec::BkColor{color}); }
    void set_text_color(Color color) override { commands_.push_back(rec::TextColor{color}); }
    void set_text_align(uint32_t flags) override { commands_.push_back(rec::TextAlign{flags}); }
    void select_pen(const Pen& pen) override { commands_.push_back(rec::SelectPen{pen}); }
    void select_brush(const Brush& brush) override { commands_.push_back(rec::SelectBrush{brush}); }
    void select_font(const Font& font) override { commands_.push_back(rec::SelectFont{font}); }
    void move_to(int32_t x, int32_t y) override { commands_.push_back(rec::MoveTo{{x, y}}); }
    void line_to(int32_t x, int32_t y) override { commands_.push_back(rec::LineTo{{x, y}}); }
    void polyline(std::span<const Point> points) override {
        commands_.push_back(rec::Polyline{{points.begin(), points.end()}});
    }
    void polygon(std::span<const Point> points) override {
        commands_.push_back(rec::Polygon{{points.begin(), points.end()}});
    }
    void rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
        commands_.push_back(rec::Rectangle{{l, t, r, b}});
    }
    void round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) override {
        commands_.push_back(rec::RoundRect{{l, t, r, b}, w, h});
    }
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
        commands_.push_back(rec::Ellipse{{l, t, r, b}});
    }
    void chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
               int32_t y2) override {
        commands_.push_back(rec::Chord{{l, t, r, b}, {x1, y1}, {x2, y2}});
    }
    void arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
             int32_t y2) override {
        commands_.push_back(rec::Arc{{l, t, r, b}, {x1, y1}, {x2, y2}});
    }
    void fill_rect(const Rect& rect, const Brush& brush) override {
        commands_.push_back(rec::FillRect{rect, brush});
    }
    void text_out(int32_t x, int32_t y, std::string_view bytes) override {
        commands_.push_back(rec::TextOut{{x, y}, std::string(bytes)});
    }
    void draw_image(const Rect& rect, const Image& image) override {
        commands_.push_back(rec::DrawImage{rect, std::make_shared<const Image>(image)});
    }
    void set_clip_rect(const Rect* rect) override {
        commands_.push_back(rec::Clip{rect != nullptr, rect ? *rect : Rect{}});
        clip_ = rect ? *rect : page_;
    }
    Rect clip_box() const override { return clip_; }
    Size window_ext() const override { return {page_.right, page_.bottom}; }
    Size viewport_ext() const override { return {page_.right, page_.bottom}; }

    // Plays the recording onto another surface, in order.
    void replay(Surface& target) const;

    const std::vector<Command>& commands() const { return commands_; }
    bool empty() const { return commands_.empty(); }
    void clear() {
        commands_.clear();
        clip_ = page_;
    }

    // One line per call with its arguments, colours as 6 hex digits, text bytes escaped
    // (\xNN for bytes outside printable ASCII), e.g. "line_to 4000 11500".
    std::string dump() const;

private:
    std::vector<Command> commands_;
    Rect page_{0, 0, 32000, 32000};
    Rect clip_ = page_;
};

// One line of RecordingSurface::dump() for a single command.
std::string dump_command(const Command& command);

} // namespace plox
