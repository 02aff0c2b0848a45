// A surface that writes SVG in logical units (viewBox = the page in 0.01 mm), keeping text as
// text and clipping with clipPath (Qt's SVG generator drops clipping).
#pragma once

#include "platform/qt_text_measurer.h"
#include "render/surface.h"

#include <string>

namespace plox {

class SvgSurface : public Surface {
public:
    // A page of width × height logical units shown as width_mm × height_mm.
    SvgSurface(const QtTextMeasurer& measurer, Size page, double width_mm, double height_mm);

    void set_rop2(int32_t) override {}
    void set_bk_mode(int32_t mode) override { bk_mode_ = mode; }
    void set_bk_color(Color color) override { bk_color_ = color; }
    void set_text_color(Color color) override { text_color_ = color; }
    void set_text_align(uint32_t flags) override { align_ = flags; }
    void select_pen(const Pen& pen) override;
    void select_brush(const Brush& brush) override { brush_ = brush; }
    void select_font(const Font& font) override { font_ = font; }

    void move_to(int32_t x, int32_t y) override;
    void line_to(int32_t x, int32_t y) override;
    void polyline(std::span<const Point> points) override;
    void polygon(std::span<const Point> points) override;
    void rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
    void round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) override;
    void ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override;
    void chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
               int32_t y2) override;
    void arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
             int32_t y2) override;
    void fill_rect(const Rect& rect, const Brush& brush) override;
    void text_out(int32_t x, int32_t y, std::string_view bytes) override;
    void draw_image(const Rect& rect, const Image& image) override; // embedded as PNG

    void set_clip_rect(const Rect* rect) override;
    Rect clip_box() const override;
    Size window_ext() const override { return page_; }
    Size viewport_ext() const override { return page_; }

    // The finished document (closes open groups).
    std::string finish();

private:
    void flush_path();
    std::string stroke_attributes() const;
    std::string fill_attributes(const Brush& brush);
    void shape(const std::string& element_and_geometry);
    std::string arc_path(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                         int32_t x2, int32_t y2, bool close) const;

    const QtTextMeasurer& measurer_;
    Size page_;
    std::string body_;
    std::string path_; // pending run of move/line segments with the current pen
    Pen pen_;
    Brush brush_;
    Font font_;
    Color text_color_ = 0;
    Color bk_color_ = 0xFFFFFF;
    int32_t bk_mode_ = bk_mode::Opaque;
    uint32_t align_ = 0;
    double cpx_ = 0, cpy_ = 0;
    bool clip_open_ = false;
    Rect clip_{};
    bool has_clip_ = false;
    int clip_count_ = 0;
    std::string patterns_; // ids of the hatch patterns defined so far
};

} // namespace plox
