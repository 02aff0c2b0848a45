// Enhanced metafile writer.
#include "output/emf_surface.h"

#include "output/emf_records.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plox {

namespace {

// The creator, then an empty picture name: each ends with a NUL.
constexpr char16_t DESCRIPTION_TEXT[] = u"Creator:PloxWin\0";
constexpr std::u16string_view DESCRIPTION(DESCRIPTION_TEXT, std::size(DESCRIPTION_TEXT));
constexpr size_t HEADER_SIZE = 108; // with both header extensions

int32_t mul_div(int64_t a, int64_t b, int64_t c) {
    const int64_t p = a * b;
    const int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

} // namespace

int32_t reference_pixels(int32_t length) {
    return mul_div(length, REFERENCE_DPI, 2540);
}

EmfSurface::EmfSurface(const TextMeasurer& measurer, Rect region, const MetafileText& text)
    : measurer_(measurer), text_(text), region_(region),
      width_(std::max(1, region.right - region.left)),
      height_(std::max(1, region.bottom - region.top)) {
    const size_t h = begin(emr::HEADER);
    // Bounds (inclusive, reference pixels) and frame (0.01 mm).
    out_.i32(0);
    out_.i32(0);
    out_.i32(width_ - 1);
    out_.i32(height_ - 1);
    out_.i32(0);
    out_.i32(0);
    out_.i32(width_);
    out_.i32(height_);
    out_.u32(emr::SIGNATURE);
    out_.u32(0x10000);
    out_.u32(0); // bytes, patched
    out_.u32(0); // records, patched
    out_.u16(0); // handles, patched
    out_.u16(0);
    out_.u32(static_cast<uint32_t>(DESCRIPTION.size()));
    out_.u32(HEADER_SIZE);
    out_.u32(0); // palette entries
    out_.i32(EMF_DEVICE_PIXELS.cx);
    out_.i32(EMF_DEVICE_PIXELS.cy);
    out_.i32(EMF_DEVICE_MILLIMETRES.cx);
    out_.i32(EMF_DEVICE_MILLIMETRES.cy);
    out_.u32(0); // no pixel format
    out_.u32(0);
    out_.u32(0); // not OpenGL
    out_.i32(EMF_DEVICE_MILLIMETRES.cx * 1000);
    out_.i32(EMF_DEVICE_MILLIMETRES.cy * 1000);
    for (const char16_t c : DESCRIPTION)
        out_.u16(c);
    end(h);

    simple(emr::SETMAPMODE, {static_cast<int32_t>(gdi::MM_ANISOTROPIC)});
    simple(emr::SETWINDOWORGEX, {region.left, region.top});
    simple(emr::SETWINDOWEXTEX, {width_, height_});
    simple(emr::SETVIEWPORTEXTEX, {width_, height_});
}

size_t EmfSurface::begin(uint32_t type) {
    const size_t start = out_.size();
    out_.u32(type);
    out_.u32(0);
    return start;
}

void EmfSurface::end(size_t start) {
    out_.pad_to(4);
    out_.patch_u32(start + 4, static_cast<uint32_t>(out_.size() - start));
    ++records_;
}

void EmfSurface::simple(uint32_t type, std::initializer_list<int32_t> values) {
    const size_t r = begin(type);
    for (const int32_t v : values)
        out_.i32(v);
    end(r);
}

// A record's bounds are in device pixels (one per logical unit here), inclusive.
void EmfSurface::bounds(std::span<const Point> points) {
    int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (const Point& p : points) {
        l = std::min(l, p.x), r = std::max(r, p.x);
        t = std::min(t, p.y), b = std::max(b, p.y);
    }
    if (points.empty()) l = t = r = b = 0;
    auto device = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    out_.i32(device(int64_t{l} - region_.left));
    out_.i32(device(int64_t{t} - region_.top));
    out_.i32(device(int64_t{r} - region_.left));
    out_.i32(device(int64_t{b} - region_.top));
}

uint32_t EmfSurface::take_handle() {
    const auto free = std::find(handles_.begin() + 1, handles_.end(), false);
    if (free != handles_.end()) {
        *free = true;
        return static_cast<uint32_t>(free - handles_.begin());
    }
    handles_.push_back(true);
    return static_cast<uint32_t>(handles_.size() - 1);
}

// Selects the new object, then deletes the one it replaces (never delete a selected object).
void EmfSurface::replace(std::optional<uint32_t>& current, uint32_t created) {
    simple(emr::SELECTOBJECT, {static_cast<int32_t>(created)});
    if (current) {
        simple(emr::DELETEOBJECT, {static_cast<int32_t>(*current)});
        handles_[*current] = false;
    }
    current = created;
}

void EmfSurface::sync_pen() {
    if (emitted_pen_ == pen_) return;
    const uint32_t h = take_handle();
    const size_t r = begin(emr::CREATEPEN);
    out_.u32(h);
    out_.u32(static_cast<uint32_t>(pen_.style));
    out_.i32(std::max(0, pen_.width));
    out_.i32(0);
    out_.u32(static_cast<uint32_t>(pen_.color) & 0xFFFFFF);
    end(r);
    replace(pen_handle_, h);
    emitted_pen_ = pen_;
}

void EmfSurface::sync_brush() {
    if (emitted_brush_ == brush_) return;
    const uint32_t h = take_handle();
    const size_t r = begin(emr::CREATEBRUSHINDIRECT);
    out_.u32(h);
    const uint32_t style = brush_.style == brush_style::Hollow    ? gdi::BS_NULL
                           : brush_.style == brush_style::Hatched ? gdi::BS_HATCHED
                                                                  : gdi::BS_SOLID;
    out_.u32(style);
    out_.u32(static_cast<uint32_t>(brush_.color) & 0xFFFFFF);
    const int32_t hatch = brush_.hatch >= 0 && brush_.hatch <= 5 ? brush_.hatch : 5;
    out_.u32(static_cast<uint32_t>(hatch));
    end(r);
    replace(brush_handle_, h);
    emitted_brush_ = brush_;
}

void EmfSurface::sync_font() {
    if (emitted_font_ == font_) return;
    const uint32_t h = take_handle();
    const size_t r = begin(emr::EXTCREATEFONTINDIRECTW);
    out_.u32(h);
    out_.i32(font_.height);
    out_.i32(font_.width);
    out_.i32(font_.escapement);
    out_.i32(font_.orientation);
    out_.i32(font_.weight);
    out_.u8(font_.italic);
    out_.u8(font_.underline);
    out_.u8(font_.strike_out);
    out_.u8(text_.unicode_charset(font_));
    out_.u8(font_.out_precision);
    out_.u8(font_.clip_precision);
    out_.u8(font_.quality);
    out_.u8(font_.pitch_and_family);
    std::u16string face = text_.unicode_face(font_);
    face.resize(31);
    for (const char16_t c : face)
        out_.u16(c);
    out_.u16(0);
    // The rest of the panose form (full name, style, version fields, panose) left empty, so
    // the record has the size every reader knows.
    out_.zeros(320 - 92);
    end(r);
    replace(font_handle_, h);
    emitted_font_ = font_;
}

void EmfSurface::set_rop2(int32_t mode) {
    if (mode != rop2_) simple(emr::SETROP2, {mode});
    rop2_ = mode;
}

void EmfSurface::set_bk_mode(int32_t mode) {
    if (mode != bk_mode_) simple(emr::SETBKMODE, {mode});
    bk_mode_ = mode;
}

void EmfSurface::set_bk_color(Color color) {
    if (color != bk_color_) simple(emr::SETBKCOLOR, {color & 0xFFFFFF});
    bk_color_ = color;
}

void EmfSurface::set_text_color(Color color) {
    if (color != text_color_) simple(emr::SETTEXTCOLOR, {color & 0xFFFFFF});
    text_color_ = color;
}

void EmfSurface::move_to(int32_t x, int32_t y) {
    cp_ = {x, y};
    line_end_.reset();
}

void EmfSurface::line_to(int32_t x, int32_t y) {
    sync_pen();
    if (line_end_ != out_.size()) simple(emr::MOVETOEX, {cp_.x, cp_.y});
    simple(emr::LINETO, {x, y});
    cp_ = {x, y};
    line_end_ = out_.size();
}

void EmfSurface::polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    sync_pen();
    const size_t r = begin(emr::POLYLINE);
    bounds(points);
    out_.u32(static_cast<uint32_t>(points.size()));
    for (const Point& p : points) {
        out_.i32(p.x);
        out_.i32(p.y);
    }
    end(r);
}

void EmfSurface::polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    sync_pen();
    sync_brush();
    const size_t r = begin(emr::POLYGON);
    bounds(points);
    out_.u32(static_cast<uint32_t>(points.size()));
    for (const Point& p : points) {
        out_.i32(p.x);
        out_.i32(p.y);
    }
    end(r);
}

void EmfSurface::box_record(uint32_t type, int32_t l, int32_t t, int32_t r, int32_t b) {
    sync_pen();
    sync_brush();
    simple(type, {l, t, r, b});
}

void EmfSurface::rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    box_record(emr::RECTANGLE, l, t, r, b);
}

void EmfSurface::round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    sync_pen();
    sync_brush();
    simple(emr::ROUNDRECT, {l, t, r, b, w, h});
}

void EmfSurface::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    box_record(emr::ELLIPSE, l, t, r, b);
}

void EmfSurface::chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2) {
    sync_pen();
    sync_brush();
    simple(emr::CHORD, {l, t, r, b, x1, y1, x2, y2});
}

void EmfSurface::arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
                     int32_t y2) {
    sync_pen();
    simple(emr::ARC, {l, t, r, b, x1, y1, x2, y2});
}

void EmfSurface::fill_rect(const Rect& rect, const Brush& brush) {
    const Pen pen = pen_;
    const Brush selected = brush_;
    pen_ = Pen{pen_style::Null, 0, 0};
    brush_ = brush;
    box_record(emr::RECTANGLE, rect.left, rect.top, rect.right, rect.bottom);
    pen_ = pen;
    brush_ = selected;
}

// The current point is kept here rather than by the reader: readers differ in how they
// advance it, and the renderer's layout depends on the advance being our own measurement.
void EmfSurface::text_out(int32_t x, int32_t y, std::string_view bytes) {
    if (bytes.empty()) return;
    sync_font();
    const bool update_cp = align_ & text_align::UpdateCP;
    const uint32_t align = align_ & ~text_align::UpdateCP;
    if (align != emitted_align_) simple(emr::SETTEXTALIGN, {static_cast<int32_t>(align)});
    emitted_align_ = align;
    const Point ref = update_cp ? cp_ : Point{x, y};

    std::u16string chars;
    std::vector<int32_t> dx;
    int32_t placed = 0;
    for (const std::string_view c : split_characters(bytes, font_.charset)) {
        const std::u16string u = text_.to_utf16(c, font_.charset);
        if (u.empty()) continue;
        const int32_t w = measurer_.text_extent(font_, c).cx;
        chars += u;
        dx.insert(dx.end(), u.size(), 0);
        dx.back() = w;
        placed += w;
    }
    if (chars.empty()) return;
    const int32_t total = measurer_.text_extent(font_, bytes).cx;
    dx.back() += total - placed; // the advances sum to the measured width

    const size_t r = begin(emr::EXTTEXTOUTW);
    const Point corners[2] = {{ref.x - total, ref.y - std::abs(font_.height)},
                              {ref.x + total, ref.y + std::abs(font_.height)}};
    bounds(corners);
    out_.u32(1);    // GM_COMPATIBLE
    out_.f32(1.0f); // 0.01 mm per device pixel
    out_.f32(1.0f);
    out_.i32(ref.x);
    out_.i32(ref.y);
    out_.u32(static_cast<uint32_t>(chars.size()));
    const size_t string_offset = 76;
    const size_t dx_offset = string_offset + (chars.size() * 2 + 3) / 4 * 4;
    out_.u32(static_cast<uint32_t>(string_offset));
    out_.u32(0); // options
    out_.zeros(16);
    out_.u32(static_cast<uint32_t>(dx_offset));
    for (const char16_t c : chars)
        out_.u16(c);
    out_.pad_to(4);
    for (const int32_t d : dx)
        out_.i32(d);
    end(r);

    if (update_cp) {
        int32_t advance = 0;
        if ((align & text_align::HorizontalMask) == text_align::Left) advance = total;
        if ((align & text_align::HorizontalMask) == text_align::Right) advance = -total;
        const double rad = font_.escapement / 10.0 * std::numbers::pi / 180;
        cp_.x += static_cast<int32_t>(std::lround(advance * std::cos(rad)));
        cp_.y -= static_cast<int32_t>(std::lround(advance * std::sin(rad)));
    }
}

void EmfSurface::draw_image(const Rect& rect, const Image& image) {
    const size_t pixels = static_cast<size_t>(std::max(0, image.width)) *
                          static_cast<size_t>(std::max(0, image.height));
    if (pixels == 0 || pixels != image.pixels.size() || pixels > (1u << 26)) return;
    const size_t r = begin(emr::STRETCHDIBITS);
    const Point corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    bounds(corners);
    out_.i32(rect.left);
    out_.i32(rect.top);
    out_.i32(0);
    out_.i32(0);
    out_.i32(image.width);
    out_.i32(image.height);
    out_.u32(80);
    out_.u32(40);
    out_.u32(120);
    out_.u32(static_cast<uint32_t>(pixels * 4));
    out_.u32(0); // DIB_RGB_COLORS
    out_.u32(gdi::SRCCOPY);
    out_.i32(rect.right - rect.left);
    out_.i32(rect.bottom - rect.top);
    // BITMAPINFOHEADER of a bottom-up 32-bit bitmap.
    out_.u32(40);
    out_.i32(image.width);
    out_.i32(image.height);
    out_.u16(1);
    out_.u16(32);
    out_.u32(0);
    out_.u32(static_cast<uint32_t>(pixels * 4));
    out_.zeros(16);
    for (int32_t row = image.height - 1; row >= 0; --row) {
        for (int32_t col = 0; col < image.width; ++col) {
            // Transparent pixels are laid on white: a DIB of this kind has no alpha.
            const uint32_t p = image.pixels[static_cast<size_t>(row) * image.width + col];
            const uint32_t a = p >> 24;
            auto channel = [&](int shift) {
                const uint32_t c = (p >> shift) & 0xFF;
                return static_cast<uint8_t>((c * a + 255 * (255 - a)) / 255);
            };
            out_.u8(channel(0));
            out_.u8(channel(8));
            out_.u8(channel(16));
            out_.u8(0);
        }
    }
    end(r);
}

void EmfSurface::set_clip_rect(const Rect* rect) {
    const size_t r = begin(emr::EXTSELECTCLIPRGN);
    out_.u32(0); // no region data: back to the default clip
    out_.u32(gdi::RGN_COPY);
    end(r);
    clip_.reset();
    if (!rect) return;
    simple(emr::INTERSECTCLIPRECT, {rect->left, rect->top, rect->right, rect->bottom});
    clip_ = *rect;
}

std::vector<uint8_t> EmfSurface::finish() {
    if (!finished_) {
        // Stock objects back in, then our own deleted.
        simple(emr::SELECTOBJECT, {static_cast<int32_t>(emr::STOCK_OBJECT | 0)});  // WHITE_BRUSH
        simple(emr::SELECTOBJECT, {static_cast<int32_t>(emr::STOCK_OBJECT | 7)});  // BLACK_PEN
        simple(emr::SELECTOBJECT, {static_cast<int32_t>(emr::STOCK_OBJECT | 13)}); // SYSTEM_FONT
        for (auto* h : {&pen_handle_, &brush_handle_, &font_handle_})
            if (*h) simple(emr::DELETEOBJECT, {static_cast<int32_t>(**h)});
        const size_t r = begin(emr::EOF_);
        out_.u32(0);  // palette entries
        out_.u32(16); // offset of the (empty) palette
        out_.u32(20); // size of this record, repeated last
        end(r);
        out_.patch_u32(48, static_cast<uint32_t>(out_.size()));
        out_.patch_u32(52, records_);
        out_.patch_u16(56, static_cast<uint16_t>(handles_.size()));
        finished_ = true;
    }
    return out_.bytes();
}

} // namespace plox
