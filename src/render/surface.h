// The drawing surface the renderer draws on: a handful of device-context operations, in
// integer logical units of 0.01 mm. Pens, brushes and fonts are values, so a
// routine that "selects" one cannot leak it. Backends: RecordingSurface (core), QtSurface and
// the SVG writer (platform), the metafile writers (output).
#pragma once

#include "document/model.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace plox {

using Color = int32_t; // 0x00BBGGRR

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const Size&) const = default;
};

// Right and bottom are exclusive, as GDI fills and clips them.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect&) const = default;
    bool empty() const { return right <= left || bottom <= top; }
};

namespace pen_style {
inline constexpr int32_t Solid = 0;
inline constexpr int32_t Dash = 1; // the three dashed styles are used by GRA pictures only
inline constexpr int32_t Dot = 2;
inline constexpr int32_t DashDot = 3;
inline constexpr int32_t Null = 5;
} // namespace pen_style

// A width of 0 draws one device pixel wide, whatever the scale.
struct Pen {
    int32_t style = pen_style::Solid;
    int32_t width = 0;
    Color color = 0;
    bool operator==(const Pen&) const = default;
};

namespace brush_style {
inline constexpr int32_t Solid = 0;
inline constexpr int32_t Hollow = 1; // BS_NULL
inline constexpr int32_t Hatched = 2;
} // namespace brush_style

namespace hatch_style {
inline constexpr int32_t Horizontal = 0; // -----
inline constexpr int32_t Vertical = 1;   // |||||
inline constexpr int32_t FDiagonal = 2;  // \\\\\ (top-left to bottom-right)
inline constexpr int32_t BDiagonal = 3;  // ///// (bottom-left to top-right)
inline constexpr int32_t Cross = 4;      // +++++
inline constexpr int32_t DiagCross = 5;  // xxxxx
} // namespace hatch_style

// A LOGBRUSH. Hatch values outside 0..5 draw as DiagCross.
struct Brush {
    int32_t style = brush_style::Solid;
    Color color = 0xFFFFFF;
    int32_t hatch = hatch_style::DiagCross;
    bool operator==(const Brush&) const = default;
};

namespace bk_mode {
inline constexpr int32_t Transparent = 1;
inline constexpr int32_t Opaque = 2;
} // namespace bk_mode

// SetTextAlign flags: one horizontal and one vertical choice, optionally with UpdateCP.
namespace text_align {
inline constexpr uint32_t NoUpdateCP = 0;
inline constexpr uint32_t UpdateCP = 1;
inline constexpr uint32_t Left = 0;
inline constexpr uint32_t Right = 2;
inline constexpr uint32_t Center = 6;
inline constexpr uint32_t Top = 0;
inline constexpr uint32_t Bottom = 8;
inline constexpr uint32_t Baseline = 24;
inline constexpr uint32_t HorizontalMask = 6;
inline constexpr uint32_t VerticalMask = 24;
} // namespace text_align

namespace rop2 {
inline constexpr int32_t XorPen = 7;
inline constexpr int32_t NotXorPen = 10;
inline constexpr int32_t CopyPen = 13;
} // namespace rop2

// A bitmap: rows top to bottom, pixels 0xAARRGGBB.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Fonts are LOGFONTs whose height is already in logical units (negative: the em height,
// positive: the cell height); escapement in tenths of a degree, counter-clockwise.
using Font = LogFont;

// Measures text in logical units, independent of the output device (GetTextExtentPoint on
// the one measuring surface). Bytes are decoded by the font's character set.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Width of the advance and height of the character cell.
    virtual Size text_extent(const Font& font, std::string_view bytes) const = 0;
};

// Deterministic metrics for tests: every byte advances half the em height (so a double-byte
// character is one em wide); the cell is the em height.
class FixedTextMeasurer : public TextMeasurer {
public:
    Size text_extent(const Font& font, std::string_view bytes) const override {
        const int64_t em =
            std::min<int64_t>(font.height < 0 ? -int64_t{font.height} : font.height, 1 << 30);
        const int64_t width = static_cast<int64_t>(bytes.size()) * (em / 2);
        return {static_cast<int32_t>(std::min<int64_t>(width, 1 << 30)), static_cast<int32_t>(em)};
    }
};

// The operations. Arguments follow the GDI calls they stand for; all coordinates are logical.
class Surface {
public:
    virtual ~Surface() = default;

    virtual void set_rop2(int32_t mode) = 0;
    virtual void set_bk_mode(int32_t mode) = 0;
    virtual void set_bk_color(Color color) = 0; // the fill behind opaque text and hatches
    virtual void set_text_color(Color color) = 0;
    virtual void set_text_align(uint32_t flags) = 0;
    virtual void select_pen(const Pen& pen) = 0;
    virtual void select_brush(const Brush& brush) = 0;
    virtual void select_font(const Font& font) = 0;

    virtual void move_to(int32_t x, int32_t y) = 0;
    virtual void line_to(int32_t x,
                         int32_t y) = 0; // excludes the end point, moves the current point
    virtual void polyline(std::span<const Point> points) = 0;
    virtual void polygon(std::span<const Point> points) = 0; // even-odd fill, current brush
    virtual void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void round_rect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                            int32_t corner_width, int32_t corner_height) = 0;
    virtual void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Chord and arc run counter-clockwise from the ray through (x1, y1) to the ray through (x2,
    // y2).
    virtual void chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                       int32_t y1, int32_t x2, int32_t y2) = 0;
    virtual void arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                     int32_t y1, int32_t x2, int32_t y2) = 0;
    virtual void fill_rect(const Rect& rect, const Brush& brush) = 0; // no outline
    // Bytes in the current font's character set; with UpdateCP (x, y) is ignored and the
    // current point advances by the text width.
    virtual void text_out(int32_t x, int32_t y, std::string_view bytes) = 0;
    // Stretches a bitmap into the rectangle (pictures). Surfaces that cannot show bitmaps
    // leave it out.
    virtual void draw_image(const Rect& /*rect*/, const Image& /*image*/) {}

    // Clipping in logical units; nullptr removes the clip.
    virtual void set_clip_rect(const Rect* rect) = 0;
    virtual Rect clip_box() const = 0;
    virtual Size window_ext() const = 0;
    virtual Size viewport_ext() const = 0;
};

} // namespace plox
