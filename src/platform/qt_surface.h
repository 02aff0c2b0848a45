// The drawing surface on a QPainter: screen, QImage (PNG), QPdfWriter (PDF) and printer. The
// painter's world transform maps logical units (0.01 mm) to device pixels; drawing follows
// GDI where Qt differs (hairline pens, exclusive right/bottom edges, hatches in logical units,
// chord and arc angles from radial points, text alignment and the current point).
#pragma once

#include "platform/qt_text_measurer.h"
#include "render/surface.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace plox {

class QtSurface : public Surface {
public:
    // `scale`: device pixels per logical unit; `origin`: device position of logical (0, 0).
    // `window`: the logical extent of the page (what clip_box reports without a clip).
    QtSurface(QPainter& painter, const QtTextMeasurer& measurer, double scale, Size window,
              QPointF origin = {});

    // Raster pages only: solid pens up to THIN_PEN_PIXELS wide become one-pixel antialiased
    // lines. The change is below a pixel, and Qt draws those many times faster than a stroke.
    void set_thin_pens_as_hairlines(bool on);

    void set_rop2(int32_t mode) override;
    void set_bk_mode(int32_t mode) override { bk_mode_ = mode; }
    void set_bk_color(Color color) override { bk_color_ = color; }
    void set_text_color(Color color) override { text_color_ = color; }
    void set_text_align(uint32_t flags) override { align_ = flags; }
    void select_pen(const Pen& pen) override;
    void select_brush(const Brush& brush) override { brush_ = brush; }
    void select_font(const Font& font) override { font_ = font; }

    void move_to(int32_t x, int32_t y) override { cp_ = QPointF(x, y); }
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
    Rect clip_box() const override;
    Size window_ext() const override { return window_; }
    Size viewport_ext() const override;

private:
    QRectF shape_rect(int32_t l, int32_t t, int32_t r, int32_t b) const;
    void fill_and_stroke(const QPainterPath& path);
    void fill_path(const QPainterPath& path, const Brush& brush);

    QPainter& p_;
    const QtTextMeasurer& measurer_;
    double scale_;
    Size window_;
    QPen qpen_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Color text_color_ = 0;
    Color bk_color_ = 0xFFFFFF;
    int32_t bk_mode_ = bk_mode::Opaque;
    uint32_t align_ = 0;
    QPointF cp_;
    std::optional<Rect> clip_;
    bool thin_hairlines_ = false;
};

QColor to_qcolor(Color c);

// A QImage sharing nothing with `image`; null when the pixel count does not match the size.
QImage to_qimage(const Image& image);

// Parametric angle in degrees (Qt convention: counter-clockwise, 0 at 3 o'clock) of the point
// where the ray from the centre of `rect` through `radial` meets the ellipse.
double ellipse_angle(const QRectF& rect, QPointF radial);

// Spacing of hatch lines in logical units: the same on every device.
inline constexpr double HATCH_SPACING = 100;

// The widest pen, in device pixels, that set_thin_pens_as_hairlines draws one pixel wide. A
// 0.2 mm pen at 150 dpi (1.18 pixels) is one; wider pens would look visibly lighter.
inline constexpr double THIN_PEN_PIXELS = 1.25;

} // namespace plox
