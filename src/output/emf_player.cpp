// Enhanced metafile playback.
#include "output/dib.h"
#include "output/emf_records.h"
#include "output/metafile_player_internal.h"

#include <algorithm>

namespace plox {

namespace {

constexpr uint32_t PS_STYLE_MASK = 0x0F, PS_GEOMETRIC = 0x00010000;

double unit_millimetres(uint32_t mode) {
    switch (mode) {
    case gdi::MM_LOMETRIC:
        return 0.1;
    case gdi::MM_HIMETRIC:
        return 0.01;
    case gdi::MM_LOENGLISH:
        return 0.254;
    case gdi::MM_HIENGLISH:
        return 0.0254;
    case gdi::MM_TWIPS:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

class EmfPlayer {
public:
    EmfPlayer(const ByteReader& d, PlayerCanvas& c, const EmfHeader& h, const Rect& target)
        : d_(d), c_(c), h_(h) {
        const double fw = std::max(1, h.frame.right - h.frame.left);
        const double fh = std::max(1, h.frame.bottom - h.frame.top);
        // Device pixels → 0.01 mm → the target rectangle.
        to_target_.m11 = 100.0 * h.millimetres.cx / h.device.cx * (target.right - target.left) / fw;
        to_target_.m22 = 100.0 * h.millimetres.cy / h.device.cy * (target.bottom - target.top) / fh;
        to_target_.dx = target.left - h.frame.left * (target.right - target.left) / fw;
        to_target_.dy = target.top - h.frame.top * (target.bottom - target.top) / fh;
        c_.device_map = [this](const MapState&) { return to_target_; };
        c_.logical_map = [this](const MapState& m) {
            return m.world.then(page_to_device(m)).then(to_target_);
        };
        c_.map_changed();
    }

    void run() {
        size_t at = 0;
        while (d_.has(at, 8)) {
            const uint32_t type = *d_.u32(at), size = *d_.u32(at + 4);
            if (size < 8 || !d_.has(at, size)) break;
            if (type == emr::EOF_) break;
            record(type, at, size);
            at += size;
        }
    }

private:
    Affine page_to_device(const MapState& m) const {
        Affine a;
        const double mm = unit_millimetres(m.mode);
        double sx = 1, sy = 1;
        if (m.mode == gdi::MM_ANISOTROPIC || m.mode == gdi::MM_ISOTROPIC) {
            sx = m.window_ext.x != 0 ? m.viewport_ext.x / m.window_ext.x : 1;
            sy = m.window_ext.y != 0 ? m.viewport_ext.y / m.window_ext.y : 1;
        } else if (mm > 0) {
            sx = mm * h_.device.cx / h_.millimetres.cx;
            sy = -mm * h_.device.cy / h_.millimetres.cy;
        }
        a.m11 = sx;
        a.m22 = sy;
        a.dx = m.viewport_org.x - m.window_org.x * sx;
        a.dy = m.viewport_org.y - m.window_org.y * sy;
        return a;
    }

    int32_t i32(size_t at) const { return d_.i32(at).value_or(0); }
    uint32_t u32(size_t at) const { return d_.u32(at).value_or(0); }
    PointD point(size_t at) const { return {double(i32(at)), double(i32(at + 4))}; }
    PointD point16(size_t at) const {
        return {double(d_.i16(at).value_or(0)), double(d_.i16(at + 2).value_or(0))};
    }

    // Points of a poly record: bounds, count, points (32- or 16-bit).
    std::vector<PointD> points(size_t at, size_t size, size_t count_at, size_t first, bool small) {
        const uint32_t n = u32(at + count_at);
        const size_t each = small ? 4 : 8;
        std::vector<PointD> pts;
        if (size < first || n > (size - first) / each) return pts;
        pts.reserve(n);
        for (size_t i = 0; i < n; ++i)
            pts.push_back(small ? point16(at + first + i * each) : point(at + first + i * each));
        return pts;
    }

    std::vector<std::vector<PointD>> poly_points(size_t at, size_t size, bool small) {
        const uint32_t polys = u32(at + 24), total = u32(at + 28);
        std::vector<std::vector<PointD>> shapes;
        const size_t each = small ? 4 : 8;
        if (polys > (size - 32) / 4) return shapes;
        const size_t first = 32 + size_t{polys} * 4;
        if (size < first || total > (size - first) / each) return shapes;
        size_t used = 0;
        for (size_t p = 0; p < polys; ++p) {
            const uint32_t n = u32(at + 32 + p * 4);
            if (n > total - used) break;
            shapes.emplace_back();
            for (size_t i = 0; i < n; ++i, ++used) {
                const size_t o = at + first + used * each;
                shapes.back().push_back(small ? point16(o) : point(o));
            }
        }
        return shapes;
    }

    void create_pen(size_t at, size_t size, bool extended) {
        PlayerPen p;
        if (!extended && size >= 28) {
            p.pen.style = static_cast<int32_t>(u32(at + 12) & PS_STYLE_MASK);
            p.pen.width = i32(at + 16);
            p.pen.color = static_cast<Color>(u32(at + 24) & 0xFFFFFF);
            p.cosmetic = p.pen.width <= 1;
        } else if (extended && size >= 52) {
            const uint32_t style = u32(at + 28);
            p.pen.style = static_cast<int32_t>(style & PS_STYLE_MASK);
            p.pen.width = i32(at + 32);
            p.pen.color = static_cast<Color>(u32(at + 40) & 0xFFFFFF);
            p.cosmetic = !(style & PS_GEOMETRIC);
            if (u32(at + 36) == gdi::BS_NULL) p.pen.style = pen_style::Null;
        } else {
            return;
        }
        if (p.pen.style > pen_style::Null)
            p.pen.style = pen_style::Solid; // inside frame, user styles
        c_.put_object(u32(at + 8), p);
    }

    void create_brush(size_t at, size_t size) {
        if (size < 24) return;
        Brush b;
        const uint32_t style = u32(at + 12);
        b.style = style == gdi::BS_NULL      ? brush_style::Hollow
                  : style == gdi::BS_HATCHED ? brush_style::Hatched
                                             : brush_style::Solid;
        b.color = static_cast<Color>(u32(at + 16) & 0xFFFFFF);
        b.hatch = static_cast<int32_t>(std::min<uint32_t>(u32(at + 20), 5));
        c_.put_object(u32(at + 8), b);
    }

    // Our surface has no pattern fills: a pattern brush paints the pattern's average colour.
    void pattern_brush(size_t at, size_t size) {
        if (size < 32) return;
        const uint32_t bmi = u32(at + 16), bmi_size = u32(at + 20), bits = u32(at + 24),
                       bits_size = u32(at + 28);
        Brush b{brush_style::Solid, 0xC0C0C0, 0};
        if (bmi <= size && bmi_size <= size - bmi && bits <= size && bits_size <= size - bits)
            if (const auto image =
                    decode_dib(d_, at + bmi, bmi_size, at + bits, bits_size, embedded_))
                b.color = mean_color(*image);
        c_.put_object(u32(at + 8), b);
    }

    void create_font(size_t at, size_t size) {
        if (size < 12 + 92) return;
        Font f;
        f.height = i32(at + 12);
        f.width = i32(at + 16);
        f.escapement = i32(at + 20);
        f.orientation = i32(at + 24);
        f.weight = i32(at + 28);
        f.italic = d_.u8(at + 32).value_or(0);
        f.underline = d_.u8(at + 33).value_or(0);
        f.strike_out = d_.u8(at + 34).value_or(0);
        f.charset = d_.u8(at + 35).value_or(0);
        f.quality = d_.u8(at + 38).value_or(0);
        f.pitch_and_family = d_.u8(at + 39).value_or(0);
        std::u16string face;
        for (size_t i = 0; i < 32; ++i) {
            const char16_t ch = d_.u16(at + 40 + i * 2).value_or(0);
            if (ch == 0) break;
            face.push_back(ch);
        }
        f.face = c_.codec().from_utf16(face, f.charset).substr(0, 31);
        c_.put_object(u32(at + 8), f);
    }

    void text(size_t at, size_t size, bool wide) {
        if (size < 76) return;
        const PointD ref = point(at + 36);
        const uint32_t chars = u32(at + 44), offset = u32(at + 48);
        const size_t bytes = wide ? size_t{chars} * 2 : chars;
        if (offset > size || bytes > size - offset) return;
        if (wide) {
            std::u16string s;
            s.reserve(chars);
            for (size_t i = 0; i < chars; ++i)
                s.push_back(static_cast<char16_t>(*d_.u16(at + offset + i * 2)));
            c_.text_utf16(ref, s);
        } else {
            const auto span = d_.bytes(at + offset, bytes);
            c_.text(ref, std::string_view(reinterpret_cast<const char*>(span.data()), span.size()),
                    c_.font().charset);
        }
    }

    // StretchDIBits, BitBlt and StretchBlt: a bitmap, or a brush fill when there is none.
    void bitmap(uint32_t type, size_t at, size_t size) {
        PointD a, b;
        size_t bmi = 0, bmi_size = 0, bits = 0, bits_size = 0;
        if (type == emr::STRETCHDIBITS && size >= 80) {
            a = point(at + 24);
            b = {a.x + i32(at + 72), a.y + i32(at + 76)};
            bmi = u32(at + 48), bmi_size = u32(at + 52), bits = u32(at + 56),
            bits_size = u32(at + 60);
        } else if ((type == emr::BITBLT && size >= 100) ||
                   (type == emr::STRETCHBLT && size >= 108)) {
            a = point(at + 24);
            b = {a.x + i32(at + 32), a.y + i32(at + 36)};
            bmi = u32(at + 84), bmi_size = u32(at + 88), bits = u32(at + 92),
            bits_size = u32(at + 96);
        } else {
            return;
        }
        if (bmi_size == 0) {
            c_.fill_with_brush(a, b);
            return;
        }
        if (bmi > size || bmi_size > size - bmi || bits > size || bits_size > size - bits) return;
        const auto image = decode_dib(d_, at + bmi, bmi_size, at + bits, bits_size, embedded_);
        if (image) c_.image(a, b, *image);
    }

    void record(uint32_t type, size_t at, size_t size);
    bool mapping_record(uint32_t type, size_t at, size_t size);
    bool state_record(uint32_t type, size_t at);
    bool object_record(uint32_t type, size_t at, size_t size);
    bool drawing_record(uint32_t type, size_t at, size_t size);
    void poly_record(uint32_t type, size_t at, size_t size);
    bool path_record(uint32_t type);
    bool clip_record(uint32_t type, size_t at, size_t size);

    const ByteReader& d_;
    PlayerCanvas& c_;
    const EmbeddedImageDecoder embedded_ = [this](std::span<const uint8_t> file, int32_t w,
                                                  int32_t h) {
        return c_.codec().decode_embedded_image(file, w, h);
    };
    EmfHeader h_;
    Affine to_target_;
};

// Each family handles the records it knows and reports whether it did.
void EmfPlayer::record(uint32_t type, size_t at, size_t size) {
    if (mapping_record(type, at, size) || state_record(type, at) || object_record(type, at, size) ||
        drawing_record(type, at, size) || path_record(type) || clip_record(type, at, size))
        return;
    switch (type) {
    case emr::EXTTEXTOUTW:
    case emr::EXTTEXTOUTA:
        text(at, size, type == emr::EXTTEXTOUTW);
        break;
    case emr::STRETCHDIBITS:
    case emr::BITBLT:
    case emr::STRETCHBLT:
        bitmap(type, at, size);
        break;
    default:
        break; // records without an effect on our surface
    }
}

bool EmfPlayer::mapping_record(uint32_t type, size_t at, size_t size) {
    MapState& m = c_.map();
    switch (type) {
    case emr::SETMAPMODE:
        m.mode = u32(at + 8);
        break;
    case emr::SETWINDOWEXTEX:
        m.window_ext = point(at + 8);
        break;
    case emr::SETWINDOWORGEX:
        m.window_org = point(at + 8);
        break;
    case emr::SETVIEWPORTEXTEX:
        m.viewport_ext = point(at + 8);
        break;
    case emr::SETVIEWPORTORGEX:
        m.viewport_org = point(at + 8);
        break;
    case emr::SETWORLDTRANSFORM:
    case emr::MODIFYWORLDTRANSFORM: {
        if (size < 32) return true;
        Affine x{*d_.f32(at + 8),  *d_.f32(at + 12), *d_.f32(at + 16),
                 *d_.f32(at + 20), *d_.f32(at + 24), *d_.f32(at + 28)};
        const uint32_t mode = type == emr::SETWORLDTRANSFORM ? 4 : (size >= 36 ? u32(at + 32) : 0);
        if (mode == 1) m.world = Affine{}; // MWT_IDENTITY
        if (mode == 2) m.world = x.then(m.world);
        if (mode == 3) m.world = m.world.then(x);
        if (mode == 4) m.world = x;
        break;
    }
    default:
        return false;
    }
    c_.map_changed();
    return true;
}

bool EmfPlayer::state_record(uint32_t type, size_t at) {
    switch (type) {
    case emr::SETBKMODE:
        c_.set_bk_mode(static_cast<int32_t>(u32(at + 8)));
        break;
    case emr::SETROP2:
        c_.set_rop2(static_cast<int32_t>(u32(at + 8)));
        break;
    case emr::SETTEXTALIGN:
        c_.set_text_align(u32(at + 8));
        break;
    case emr::SETTEXTCOLOR:
        c_.set_text_color(static_cast<Color>(u32(at + 8) & 0xFFFFFF));
        break;
    case emr::SETBKCOLOR:
        c_.set_bk_color(static_cast<Color>(u32(at + 8) & 0xFFFFFF));
        break;
    case emr::SAVEDC:
        c_.save();
        break;
    case emr::RESTOREDC:
        c_.restore(i32(at + 8));
        break;
    default:
        return false;
    }
    return true;
}

bool EmfPlayer::object_record(uint32_t type, size_t at, size_t size) {
    switch (type) {
    case emr::CREATEPEN:
        create_pen(at, size, false);
        break;
    case emr::EXTCREATEPEN:
        create_pen(at, size, true);
        break;
    case emr::CREATEBRUSHINDIRECT:
        create_brush(at, size);
        break;
    case emr::CREATEMONOBRUSH:
    case emr::CREATEDIBPATTERNBRUSHPT:
        pattern_brush(at, size);
        break;
    case emr::EXTCREATEFONTINDIRECTW:
        create_font(at, size);
        break;
    case emr::SELECTOBJECT: {
        const uint32_t index = u32(at + 8);
        if (index & emr::STOCK_OBJECT)
            c_.select_stock_object(index & ~emr::STOCK_OBJECT);
        else
            c_.select_object(index);
        break;
    }
    case emr::DELETEOBJECT:
        c_.delete_object(u32(at + 8));
        break;
    default:
        return false;
    }
    return true;
}

bool EmfPlayer::drawing_record(uint32_t type, size_t at, size_t size) {
    switch (type) {
    case emr::MOVETOEX:
        c_.move_to(point(at + 8));
        break;
    case emr::LINETO:
        c_.line_to(point(at + 8));
        break;
    case emr::POLYLINE:
    case emr::POLYLINE16:
    case emr::POLYLINETO:
    case emr::POLYLINETO16:
    case emr::POLYBEZIER:
    case emr::POLYBEZIER16:
    case emr::POLYBEZIERTO:
    case emr::POLYBEZIERTO16:
    case emr::POLYGON:
    case emr::POLYGON16:
    case emr::POLYPOLYGON:
    case emr::POLYPOLYGON16:
    case emr::POLYPOLYLINE:
    case emr::POLYPOLYLINE16:
        poly_record(type, at, size);
        break;
    case emr::RECTANGLE:
        if (size >= 24) c_.rectangle(point(at + 8), point(at + 16));
        break;
    case emr::ROUNDRECT:
        if (size >= 32) c_.round_rect(point(at + 8), point(at + 16), point(at + 24));
        break;
    case emr::ELLIPSE:
        if (size >= 24) c_.ellipse(point(at + 8), point(at + 16));
        break;
    case emr::ARC:
    case emr::CHORD:
    case emr::PIE:
        if (size >= 40)
            c_.arc(type == emr::ARC     ? PlayerCanvas::ArcKind::Arc
                   : type == emr::CHORD ? PlayerCanvas::ArcKind::Chord
                                        : PlayerCanvas::ArcKind::Pie,
                   point(at + 8), point(at + 16), point(at + 24), point(at + 32));
        break;
    default:
        return false;
    }
    return true;
}

void EmfPlayer::poly_record(uint32_t type, size_t at, size_t size) {
    switch (type) {
    case emr::POLYLINE:
    case emr::POLYLINE16:
    case emr::POLYLINETO:
    case emr::POLYLINETO16: {
        const bool small = type == emr::POLYLINE16 || type == emr::POLYLINETO16;
        const bool to = type == emr::POLYLINETO || type == emr::POLYLINETO16;
        c_.polyline(points(at, size, 24, 28, small), to);
        break;
    }
    case emr::POLYBEZIER:
    case emr::POLYBEZIER16:
    case emr::POLYBEZIERTO:
    case emr::POLYBEZIERTO16: {
        const bool small = type == emr::POLYBEZIER16 || type == emr::POLYBEZIERTO16;
        const bool to = type == emr::POLYBEZIERTO || type == emr::POLYBEZIERTO16;
        c_.bezier(points(at, size, 24, 28, small), to);
        break;
    }
    case emr::POLYGON:
    case emr::POLYGON16: {
        const std::vector<PointD> shape = points(at, size, 24, 28, type == emr::POLYGON16);
        c_.polygons(std::span(&shape, 1));
        break;
    }
    case emr::POLYPOLYGON:
    case emr::POLYPOLYGON16:
        if (size >= 32) c_.polygons(poly_points(at, size, type == emr::POLYPOLYGON16));
        break;
    default: // POLYPOLYLINE, POLYPOLYLINE16
        if (size >= 32)
            for (const auto& line : poly_points(at, size, type == emr::POLYPOLYLINE16))
                c_.polyline(line, false);
        break;
    }
}

bool EmfPlayer::path_record(uint32_t type) {
    switch (type) {
    case emr::BEGINPATH:
        c_.begin_path();
        break;
    case emr::ENDPATH:
        c_.end_path();
        break;
    case emr::ABORTPATH:
        c_.abort_path();
        break;
    case emr::CLOSEFIGURE:
        c_.close_figure();
        break;
    case emr::FILLPATH:
        c_.draw_path(true, false);
        break;
    case emr::STROKEPATH:
        c_.draw_path(false, true);
        break;
    case emr::STROKEANDFILLPATH:
        c_.draw_path(true, true);
        break;
    default:
        return false;
    }
    return true;
}

// Clip changes and the region fills, which share the region's layout.
bool EmfPlayer::clip_record(uint32_t type, size_t at, size_t size) {
    switch (type) {
    case emr::INTERSECTCLIPRECT:
        if (size >= 24) c_.intersect_clip(point(at + 8), point(at + 16), false);
        break;
    case emr::EXTSELECTCLIPRGN: {
        if (size < 16) break;
        const uint32_t data = u32(at + 8), mode = u32(at + 12);
        // A region is taken by its bounding box (device units), exact for rectangles.
        if (data >= 32 && data <= size - 16)
            c_.combine_clip(point(at + 16 + 16), point(at + 16 + 24), true, mode);
        else if (mode == gdi::RGN_COPY)
            c_.reset_clip(); // no region: the clip is removed
        break;
    }
    case emr::SELECTCLIPPATH:
        if (size >= 12) c_.clip_to_path(u32(at + 8));
        break;
    case emr::OFFSETCLIPRGN:
        if (size >= 16) c_.offset_clip(point(at + 8));
        break;
    case emr::FILLRGN:
        // Bounds, region size, brush, then the region whose header ends in its box.
        if (size >= 32 + 32 && u32(at + 24) >= 32 && u32(at + 24) <= size - 32)
            c_.fill_box(point(at + 32 + 16), point(at + 32 + 24), u32(at + 28));
        break;
    case emr::PAINTRGN:
        if (size >= 28 + 32 && u32(at + 24) >= 32 && u32(at + 24) <= size - 28)
            c_.fill_box(point(at + 28 + 16), point(at + 28 + 24), std::nullopt);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

std::optional<EmfHeader> read_emf_header(const ByteReader& d) {
    if (d.u32(0) != emr::HEADER || d.u32(40) != emr::SIGNATURE) return std::nullopt;
    const auto size = d.u32(4);
    if (!size || *size < 88 || !d.has(0, *size)) return std::nullopt;
    EmfHeader h;
    h.bounds = {*d.i32(8), *d.i32(12), *d.i32(16), *d.i32(20)};
    h.frame = {*d.i32(24), *d.i32(28), *d.i32(32), *d.i32(36)};
    h.device = {*d.i32(72), *d.i32(76)};
    h.millimetres = {*d.i32(80), *d.i32(84)};
    if (h.device.cx <= 0 || h.device.cy <= 0 || h.millimetres.cx <= 0 || h.millimetres.cy <= 0)
        return std::nullopt;
    if (h.frame.right <= h.frame.left || h.frame.bottom <= h.frame.top) {
        // No frame: the bounds in device pixels give the size.
        auto mm100 = [](int64_t px, int64_t mm, int64_t dev) {
            return static_cast<int32_t>(
                std::clamp<int64_t>(px * mm * 100 / dev, -(1 << 30), 1 << 30));
        };
        h.frame = {mm100(h.bounds.left, h.millimetres.cx, h.device.cx),
                   mm100(h.bounds.top, h.millimetres.cy, h.device.cy),
                   mm100(int64_t{h.bounds.right} + 1, h.millimetres.cx, h.device.cx),
                   mm100(int64_t{h.bounds.bottom} + 1, h.millimetres.cy, h.device.cy)};
    }
    if (h.frame.right <= h.frame.left || h.frame.bottom <= h.frame.top) return std::nullopt;
    if (int64_t{h.frame.right} - h.frame.left > (1 << 30) ||
        int64_t{h.frame.bottom} - h.frame.top > (1 << 30))
        return std::nullopt;
    return h;
}

void play_emf(const ByteReader& d, PlayerCanvas& canvas, const EmfHeader& header,
              const Rect& target) {
    EmfPlayer player(d, canvas, header, target);
    player.run();
}

} // namespace plox
