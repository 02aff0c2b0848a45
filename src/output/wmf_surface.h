// A placeable Windows metafile written from the drawing surface's calls. Its coordinates are
// 16-bit, so the region is taken in units of 0.02 mm (1270 per inch, the placeable header's
// resolution): an A3 page fits. The window extent is written in the same units as the
// bounding box, so every reader sizes the picture alike.
#pragma once

#include "output/byte_io.h"
#include "output/metafile_text.h"
#include "render/surface.h"

#include <optional>
#include <vector>

namespace plox {

inline constexpr int32_t WMF_UNITS_PER_INCH = 1270;

class WmfSurface : public Surface {
public:
    WmfSurface(const TextMeasurer& measurer, Rect region);

    void set_rop2(int32_t mode) override;
    void set_bk_mode(int32_t mode) override;
    void set_bk_color(Color color) override;
    void set_text_color(Color color) override;
    void set_text_align(uint32_t flags) override { align_ = flags; }
    void select_pen(const Pen& pen) override { pen_ = pen; }
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
    void draw_image(const Rect& rect, const Image& image) override;

    void set_clip_rect(const Rect* rect) override;
    Rect clip_box() const override { return clip_.value_or(region_); }
    Size window_ext() const override {
        return {region_.right - region_.left, region_.bottom - region_.top};
    }
    Size viewport_ext() const override { return window_ext(); }

    // The placeable header followed by the metafile (header, records, end record).
    std::vector<uint8_t> finish();

private:
    int16_t x(int32_t v) const;
    int16_t y(int32_t v) const;
    int16_t length(int32_t v) const;
    size_t begin(uint16_t function);
    void end(size_t start);
    void simple(uint16_t function, std::initializer_list<int32_t> words);
    void points_record(uint16_t function, std::span<const Point> points);
    void box(uint16_t function, int32_t l, int32_t t, int32_t r, int32_t b);
    void sync_pen();
    void sync_brush();
    Font font_for(std::string_view bytes) const;
    void sync_font(const Font& font);
    uint16_t create(uint16_t function);
    void replace(std::optional<uint16_t>& current, uint16_t created);
    void write_state();

    const TextMeasurer& measurer_;
    Rect region_;
    ByteWriter out_;
    uint32_t max_record_words_ = 0;
    std::vector<bool> slots_;
    Pen pen_;
    Brush brush_;
    Font font_;
    std::optional<Pen> emitted_pen_;
    std::optional<Brush> emitted_brush_;
    std::optional<Font> emitted_font_;
    std::optional<uint16_t> pen_slot_, brush_slot_, font_slot_;
    int32_t rop2_ = 13, bk_mode_ = 2;
    Color bk_color_ = 0xFFFFFF, text_color_ = 0;
    uint32_t align_ = 0, emitted_align_ = 0;
    Point cp_;
    // Where the last line ended in the output, while the reader's current point is cp_:
    // a line drawn from anywhere else first moves there, so that no reader sees a line
    // whose start lies before some other record (some start a new path at every record).
    std::optional<size_t> line_end_;
    std::optional<Rect> clip_;
    bool saved_ = false;
    bool finished_ = false;
};

} // namespace plox
