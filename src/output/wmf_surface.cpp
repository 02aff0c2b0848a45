// Placeable Windows metafile writer.
#include "output/wmf_surface.h"

#include "output/emf_records.h"
#include "output/metafile_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plox {

namespace {

int16_t clamp16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

// Half of a length in 0.01 mm, rounded half away from zero.
int64_t halve(int64_t v) {
    return v >= 0 ? (v + 1) / 2 : -((-v + 1) / 2);
}

} // namespace

WmfSurface::WmfSurface(const TextMeasurer& measurer, Rect region)
    : measurer_(measurer), region_(region) {
    if (region_.right <= region_.left) region_.right = region_.left + 2;
    if (region_.bottom <= region_.top) region_.bottom = region_.top + 2;
    simple(wmr::SETMAPMODE, {static_cast<int32_t>(gdi::MM_ANISOTROPIC)});
    simple(wmr::SETWINDOWORG, {0, 0});
    simple(wmr::SETWINDOWEXT,
           {length(region_.bottom - region_.top), length(region_.right - region_.left)});
}

int16_t WmfSurface::x(int32_t v) const {
    return clamp16(halve(int64_t{v} - region_.left));
}
int16_t WmfSurface::y(int32_t v) const {
    return clamp16(halve(int64_t{v} - region_.top));
}
int16_t WmfSurface::length(int32_t v) const {
    return clamp16(halve(v));
}

size_t WmfSurface::begin(uint16_t function) {
    const size_t start = out_.size();
    out_.u32(0);
    out_.u16(function);
    return start;
}

void WmfSurface::end(size_t start) {
    out_.pad_to(2);
    const auto words = static_cast<uint32_t>((out_.size() - start) / 2);
    out_.patch_u32(start, words);
    max_record_words_ = std::max(max_record_words_, words);
}

void WmfSurface::simple(uint16_t function, std::initializer_list<int32_t> words) {
    const size_t r = begin(function);
    for (const int32_t w : words)
        out_.i16(w);
    end(r);
}

void WmfSurface::points_record(uint16_t function, std::span<const Point> points) {
    const size_t n = std::min<size_t>(points.size(), INT16_MAX);
    const size_t r = begin(function);
    out_.i16(static_cast<int32_t>(n));
    for (size_t i = 0; i < n; ++i) {
        out_.i16(x(points[i].x));
        out_.i16(y(points[i].y));
    }
    end(r);
}

// Rectangle-like records list their corners bottom, right, top, left.
void WmfSurface::box(uint16_t function, int32_t l, int32_t t, int32_t r, int32_t b) {
    simple(function, {y(b), x(r), y(t), x(l)});
}

// A new object takes the lowest free slot of the object table, as readers expect.
uint16_t WmfSurface::create(uint16_t function) {
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    size_t slot = static_cast<size_t>(free - slots_.begin());
    if (free == slots_.end())
        slots_.push_back(true);
    else
        *free = true;
    (void)function;
    return static_cast<uint16_t>(slot);
}

void WmfSurface::replace(std::optional<uint16_t>& current, uint16_t created) {
    simple(wmr::SELECTOBJECT, {created});
    if (current) {
        simple(wmr::DELETEOBJECT, {*current});
        slots_[*current] = false;
    }
    current = created;
}

void WmfSurface::sync_pen() {
    if (emitted_pen_ == pen_) return;
    const uint16_t slot = create(wmr::CREATEPENINDIRECT);
    const size_t r = begin(wmr::CREATEPENINDIRECT);
    out_.u16(static_cast<uint16_t>(pen_.style));
    out_.i16(pen_.width > 0 ? std::max<int16_t>(1, length(pen_.width)) : 0);
    out_.i16(0);
    out_.u32(static_cast<uint32_t>(pen_.color) & 0xFFFFFF);
    end(r);
    replace(pen_slot_, slot);
    emitted_pen_ = pen_;
}

void WmfSurface::sync_brush() {
    if (emitted_brush_ == brush_) return;
    const uint16_t slot = create(wmr::CREATEBRUSHINDIRECT);
    const size_t r = begin(wmr::CREATEBRUSHINDIRECT);
    const uint32_t style = brush_.style == brush_style::Hollow    ? gdi::BS_NULL
                           : brush_.style == brush_style::Hatched ? gdi::BS_HATCHED
                                                                  : gdi::BS_SOLID;
    out_.u16(static_cast<uint16_t>(style));
    out_.u32(static_cast<uint32_t>(brush_.color) & 0xFFFFFF);
    out_.u16(static_cast<uint16_t>(brush_.hatch >= 0 && brush_.hatch <= 5 ? brush_.hatch : 5));
    end(r);
    replace(brush_slot_, slot);
    emitted_brush_ = brush_;
}

// Text bytes of every font but Symbol are Shift-JIS here, as the screen and the enhanced writer
// decode them; a reader goes by the font's character set, so a Latin font that draws
// Japanese characters is written as a Shift-JIS one.
Font WmfSurface::font_for(std::string_view bytes) const {
    Font font = font_;
    const bool wide = std::any_of(bytes.begin(), bytes.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (wide && font.charset != SYMBOL_FONT_CHARSET) font.charset = SHIFTJIS_FONT_CHARSET;
    return font;
}

void WmfSurface::sync_font(const Font& font) {
    if (emitted_font_ == font) return;
    const uint16_t slot = create(wmr::CREATEFONTINDIRECT);
    const size_t r = begin(wmr::CREATEFONTINDIRECT);
    out_.i16(length(font.height));
    out_.i16(length(font.width));
    out_.i16(font.escapement);
    out_.i16(font.orientation);
    out_.i16(font.weight);
    out_.u8(font.italic);
    out_.u8(font.underline);
    out_.u8(font.strike_out);
    out_.u8(font.charset);
    out_.u8(font.out_precision);
    out_.u8(font.clip_precision);
    out_.u8(font.quality);
    out_.u8(font.pitch_and_family);
    std::string face = portable_face_name(font.face).substr(0, 31);
    face.resize(32, '\0');
    for (const char c : face)
        out_.u8(static_cast<uint8_t>(c));
    end(r);
    replace(font_slot_, slot);
    emitted_font_ = font;
}

void WmfSurface::set_rop2(int32_t mode) {
    if (mode != rop2_) simple(wmr::SETROP2, {mode, 0});
    rop2_ = mode;
}

void WmfSurface::set_bk_mode(int32_t mode) {
    if (mode != bk_mode_) simple(wmr::SETBKMODE, {mode, 0});
    bk_mode_ = mode;
}

void WmfSurface::set_bk_color(Color color) {
    if (color != bk_color_) {
        const size_t r = begin(wmr::SETBKCOLOR);
        out_.u32(static_cast<uint32_t>(color) & 0xFFFFFF);
        end(r);
    }
    bk_color_ = color;
}

void WmfSurface::set_text_color(Color color) {
    if (color != text_color_) {
        const size_t r = begin(wmr::SETTEXTCOLOR);
        out_.u32(static_cast<uint32_t>(color) & 0xFFFFFF);
        end(r);
    }
    text_color_ = color;
}

void WmfSurface::move_to(int32_t px, int32_t py) {
    cp_ = {px, py};
    line_end_.reset();
}

void WmfSurface::line_to(int32_t px, int32_t py) {
    sync_pen();
    if (line_end_ != out_.size()) simple(wmr::MOVETO, {y(cp_.y), x(cp_.x)});
    simple(wmr::LINETO, {y(py), x(px)});
    cp_ = {px, py};
    line_end_ = out_.size();
}

void WmfSurface::polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    sync_pen();
    points_record(wmr::POLYLINE, points);
}

void WmfSurface::polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    sync_pen();
    sync_brush();
    points_record(wmr::POLYGON, points);
}

void WmfSurface::rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    sync_pen();
    sync_brush();
    box(wmr::RECTANGLE, l, t, r, b);
}

void WmfSurface::round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    sync_pen();
    sync_brush();
    simple(wmr::ROUNDRECT, {length(h), length(w), y(b), x(r), y(t), x(l)});
}

void WmfSurface::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    sync_pen();
    sync_brush();
    box(wmr::ELLIPSE, l, t, r, b);
}

void WmfSurface::chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2) {
    sync_pen();
    sync_brush();
    simple(wmr::CHORD, {y(y2), x(x2), y(y1), x(x1), y(b), x(r), y(t), x(l)});
}

void WmfSurface::arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
                     int32_t y2) {
    sync_pen();
    simple(wmr::ARC, {y(y2), x(x2), y(y1), x(x1), y(b), x(r), y(t), x(l)});
}

void WmfSurface::fill_rect(const Rect& rect, const Brush& brush) {
    const Pen pen = pen_;
    const Brush selected = brush_;
    pen_ = Pen{pen_style::Null, 0, 0};
    brush_ = brush;
    rectangle(rect.left, rect.top, rect.right, rect.bottom);
    pen_ = pen;
    brush_ = selected;
}

// As in the enhanced writer, the current point is ours: the reference point is explicit.
void WmfSurface::text_out(int32_t px, int32_t py, std::string_view bytes) {
    if (bytes.empty()) return;
    sync_font(font_for(bytes));
    const bool update_cp = align_ & text_align::UpdateCP;
    const uint32_t align = align_ & ~text_align::UpdateCP;
    if (align != emitted_align_) simple(wmr::SETTEXTALIGN, {static_cast<int32_t>(align), 0});
    emitted_align_ = align;
    const Point ref = update_cp ? cp_ : Point{px, py};
    const std::string_view text = bytes.substr(0, INT16_MAX);
    const size_t r = begin(wmr::EXTTEXTOUT);
    out_.i16(y(ref.y));
    out_.i16(x(ref.x));
    out_.i16(static_cast<int32_t>(text.size()));
    out_.u16(0); // no options, so no rectangle
    for (const char c : text)
        out_.u8(static_cast<uint8_t>(c));
    end(r);
    if (update_cp) {
        const int32_t total = measurer_.text_extent(font_, bytes).cx;
        int32_t advance = 0;
        if ((align & text_align::HorizontalMask) == text_align::Left) advance = total;
        if ((align & text_align::HorizontalMask) == text_align::Right) advance = -total;
        const double rad = font_.escapement / 10.0 * std::numbers::pi / 180;
        cp_.x += static_cast<int32_t>(std::lround(advance * std::cos(rad)));
        cp_.y -= static_cast<int32_t>(std::lround(advance * std::sin(rad)));
    }
}

void WmfSurface::draw_image(const Rect& rect, const Image& image) {
    const size_t pixels = static_cast<size_t>(std::max(0, image.width)) *
                          static_cast<size_t>(std::max(0, image.height));
    if (pixels == 0 || pixels != image.pixels.size() || pixels > (1u << 24) ||
        image.width > INT16_MAX || image.height > INT16_MAX)
        return;
    const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) / 4 * 4;
    const size_t r = begin(wmr::STRETCHDIB);
    out_.u32(gdi::SRCCOPY);
    out_.u16(0); // DIB_RGB_COLORS
    out_.i16(image.height);
    out_.i16(image.width);
    out_.i16(0);
    out_.i16(0);
    out_.i16(length(rect.bottom - rect.top));
    out_.i16(length(rect.right - rect.left));
    out_.i16(y(rect.top));
    out_.i16(x(rect.left));
    out_.u32(40);
    out_.i32(image.width);
    out_.i32(image.height);
    out_.u16(1);
    out_.u16(24);
    out_.u32(0);
    out_.u32(static_cast<uint32_t>(stride * image.height));
    out_.zeros(16);
    for (int32_t row = image.height - 1; row >= 0; --row) {
        for (int32_t col = 0; col < image.width; ++col) {
            const uint32_t p = image.pixels[static_cast<size_t>(row) * image.width + col];
            const uint32_t a = p >> 24;
            for (const int shift : {0, 8, 16})
                out_.u8(static_cast<uint8_t>((((p >> shift) & 0xFF) * a + 255 * (255 - a)) / 255));
        }
        out_.zeros(stride - static_cast<size_t>(image.width) * 3);
    }
    end(r);
}

// A Windows metafile cannot reset its clip, so each clip lives inside a saved state; the
// objects and values in use are selected again after the state is restored.
void WmfSurface::set_clip_rect(const Rect* rect) {
    if (saved_) {
        simple(wmr::RESTOREDC, {-1});
        saved_ = false;
        write_state();
    }
    clip_.reset();
    if (!rect) return;
    simple(wmr::SAVEDC, {});
    saved_ = true;
    box(wmr::INTERSECTCLIPRECT, rect->left, rect->top, rect->right, rect->bottom);
    clip_ = *rect;
}

void WmfSurface::write_state() {
    for (const auto& slot : {pen_slot_, brush_slot_, font_slot_})
        if (slot) simple(wmr::SELECTOBJECT, {*slot});
    const int32_t rop2 = rop2_, bk_mode = bk_mode_;
    const Color bk_color = bk_color_, text_color = text_color_;
    rop2_ = bk_mode_ = -1;
    bk_color_ = text_color_ = -1;
    set_rop2(rop2);
    set_bk_mode(bk_mode);
    set_bk_color(bk_color);
    set_text_color(text_color);
    simple(wmr::SETTEXTALIGN, {static_cast<int32_t>(emitted_align_), 0});
}

std::vector<uint8_t> WmfSurface::finish() {
    if (finished_) return {};
    finished_ = true;
    if (saved_) simple(wmr::RESTOREDC, {-1});
    for (const auto& slot : {pen_slot_, brush_slot_, font_slot_})
        if (slot) simple(wmr::DELETEOBJECT, {*slot});
    simple(wmr::EOF_, {});

    ByteWriter file;
    const int16_t right = length(region_.right - region_.left);
    const int16_t bottom = length(region_.bottom - region_.top);
    file.u32(wmr::PLACEABLE_KEY);
    file.u16(0);
    file.i16(0);
    file.i16(0);
    file.i16(right);
    file.i16(bottom);
    file.u16(WMF_UNITS_PER_INCH);
    file.u32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<uint16_t>(file.bytes()[i] | file.bytes()[i + 1] << 8);
    file.u16(checksum);

    file.u16(1);      // in memory, as the system's conversion writes it
    file.u16(9);      // header words
    file.u16(0x0300); // version
    file.u32(static_cast<uint32_t>(9 + out_.size() / 2));
    file.u16(static_cast<uint16_t>(std::max<size_t>(slots_.size(), 1)));
    file.u32(max_record_words_);
    file.u16(0);
    file.raw(out_.bytes());
    return std::move(file.bytes());
}

} // namespace plox
