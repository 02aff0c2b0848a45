// An enhanced metafile written record by record from the drawing surface's calls. Logical
// units stay 0.01 mm; the picture's frame is the region handed to the constructor. Pens,
// brushes and fonts are created only when the selected value changes, in a small pool of
// handles, and the old object is deleted once the new one is selected.
#pragma once

#include "output/byte_io.h"
#include "output/metafile_text.h"
#include "render/surface.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace plox {

// The screen pictures' natural sizes are counted on: 96 dots per inch.
inline constexpr int32_t REFERENCE_DPI = 96;
// Pixels of that screen for a length in 0.01 mm, rounded like MulDiv.
int32_t reference_pixels(int32_t length);

// The device our enhanced metafiles name: 508 × 381 mm at 100 pixels per millimetre, so a
// device pixel is one logical unit and the picture's content keeps its exact size (a screen's
// whole pixels would scale it by up to a pixel per picture width).
inline constexpr Size EMF_DEVICE_MILLIMETRES{508, 381};
inline constexpr Size EMF_DEVICE_PIXELS{50800, 38100};

class EmfSurface : public Surface {
public:
    // A picture of `region` (page units). `text` decodes document bytes to Unicode.
    EmfSurface(const TextMeasurer& measurer, Rect region, const MetafileText& text);

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
    Size window_ext() const override { return {width_, height_}; }
    // Lines are not thinned to the reference screen's pixels: a metafile is scaled on paste.
    Size viewport_ext() const override { return {width_, height_}; }

    // Deletes the objects, writes the end record and patches the header's totals.
    std::vector<uint8_t> finish();

private:
    size_t begin(uint32_t type);
    void end(size_t start);
    void simple(uint32_t type, std::initializer_list<int32_t> values);
    void bounds(std::span<const Point> points);
    void box_record(uint32_t type, int32_t l, int32_t t, int32_t r, int32_t b);
    void sync_pen();
    void sync_brush();
    void sync_font();
    uint32_t take_handle();
    void replace(std::optional<uint32_t>& current, uint32_t created);

    const TextMeasurer& measurer_;
    const MetafileText& text_;
    Rect region_;
    int32_t width_, height_;
    ByteWriter out_;
    uint32_t records_ = 0;
    std::vector<bool> handles_{true}; // index 0 is reserved
    Pen pen_;
    Brush brush_;
    Font font_;
    std::optional<Pen> emitted_pen_;
    std::optional<Brush> emitted_brush_;
    std::optional<Font> emitted_font_;
    std::optional<uint32_t> pen_handle_, brush_handle_, font_handle_;
    // Device-context values as last written (a fresh device context's defaults).
    int32_t rop2_ = 13, bk_mode_ = 2;
    Color bk_color_ = 0xFFFFFF, text_color_ = 0;
    uint32_t align_ = 0, emitted_align_ = 0;
    Point cp_;
    // Where the last line ended in the output, while the reader's current point is cp_:
    // a line drawn from anywhere else first moves there, so that no reader sees a line
    // whose start lies before some other record (some start a new path at every record).
    std::optional<size_t> line_end_;
    std::optional<Rect> clip_;
    bool finished_ = false;
};

} // namespace plox
