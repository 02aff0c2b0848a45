// Windows metafile playback, placeable or plain.
#include "output/dib.h"
#include "output/emf_records.h"
#include "output/metafile_player_internal.h"

#include <algorithm>

namespace plox {

namespace {

constexpr size_t META_HEADER_BYTES = 18;

class WmfPlayer {
public:
    WmfPlayer(const ByteReader& d, PlayerCanvas& c, const WmfHeader& h, const Rect& target)
        : d_(d), c_(c), h_(h) {
        const double tw = target.right - target.left, th = target.bottom - target.top;
        c_.logical_map = [tw, th, target](const MapState& m) {
            Affine a;
            a.m11 = m.window_ext.x != 0 ? tw / m.window_ext.x : 1;
            a.m22 = m.window_ext.y != 0 ? th / m.window_ext.y : 1;
            a.dx = target.left - m.window_org.x * a.m11;
            a.dy = target.top - m.window_org.y * a.m22;
            return a;
        };
        c_.device_map = c_.logical_map;
        const Rect start = h.box ? *h.box : h.window.value_or(Rect{0, 0, 1, 1});
        MapState& m = c_.map();
        m.mode = gdi::MM_ANISOTROPIC;
        m.window_org = {double(start.left), double(start.top)};
        m.window_ext = {double(start.right - start.left), double(start.bottom - start.top)};
        c_.map_changed();
    }

    void run() {
        size_t at = h_.start + META_HEADER_BYTES;
        while (d_.has(at, 6)) {
            const uint32_t words = *d_.u32(at);
            const uint16_t function = *d_.u16(at + 4);
            if (words < 3 || words > (d_.size() - at) / 2) break;
            if (function == wmr::EOF_) break;
            record(function, at, size_t{words} * 2);
            at += size_t{words} * 2;
        }
    }

private:
    int16_t w(size_t at, size_t k) const { return d_.i16(at + 6 + 2 * k).value_or(0); }
    uint32_t u32(size_t at) const { return d_.u32(at).value_or(0); }
    PointD yx(size_t at, size_t k) const { return {double(w(at, k + 1)), double(w(at, k))}; }

    void create(PlayerObject object) {
        if (const auto slot = c_.lowest_free_slot(std::max<uint32_t>(h_.objects, 1)))
            c_.put_object(*slot, std::move(object));
    }

    void create_pen(size_t at, size_t size) {
        if (size < 16) return;
        PlayerPen p;
        p.pen.style = static_cast<uint16_t>(w(at, 0)) & 0x0F;
        if (p.pen.style > pen_style::Null) p.pen.style = pen_style::Solid;
        p.pen.width = std::abs(w(at, 1));
        p.pen.color = static_cast<Color>(u32(at + 12) & 0xFFFFFF);
        p.cosmetic = p.pen.width == 0;
        create(p);
    }

    void create_brush(size_t at, size_t size) {
        if (size < 14) return;
        Brush b;
        const uint16_t style = static_cast<uint16_t>(w(at, 0));
        b.style = style == gdi::BS_NULL      ? brush_style::Hollow
                  : style == gdi::BS_HATCHED ? brush_style::Hatched
                                             : brush_style::Solid;
        b.color = static_cast<Color>(u32(at + 8) & 0xFFFFFF);
        b.hatch = std::clamp<int32_t>(w(at, 3), 0, 5);
        create(b);
    }

    void create_font(size_t at, size_t size) {
        Font f;
        if (size < 6 + 18) return;
        f.height = w(at, 0);
        f.width = w(at, 1);
        f.escapement = w(at, 2);
        f.orientation = w(at, 3);
        f.weight = w(at, 4);
        f.italic = d_.u8(at + 16).value_or(0);
        f.underline = d_.u8(at + 17).value_or(0);
        f.strike_out = d_.u8(at + 18).value_or(0);
        f.charset = d_.u8(at + 19).value_or(0);
        f.quality = d_.u8(at + 22).value_or(0);
        f.pitch_and_family = d_.u8(at + 23).value_or(0);
        for (size_t i = 24; i < size && i < 24 + 31; ++i) {
            const uint8_t ch = *d_.u8(at + i);
            if (ch == 0) break;
            f.face.push_back(static_cast<char>(ch));
        }
        create(f);
    }

    // A region object: its bounding box (the scans inside it are not kept). An empty or
    // damaged region still takes its slot, so that later indices stay right.
    void create_region(size_t at, size_t size) {
        if (size < 6 + 22) {
            create(PlayerRegion{{0, 0}, {0, 0}});
            return;
        }
        create(PlayerRegion{{double(w(at, 7)), double(w(at, 8))},
                            {double(w(at, 9)), double(w(at, 10))}});
    }

    // Our surface has no pattern fills: a pattern brush paints the pattern's average colour.
    Color pattern_color(uint16_t function, size_t at, size_t size) {
        constexpr Color grey = 0xC0C0C0;
        const uint16_t style = static_cast<uint16_t>(w(at, 0));
        if (function == wmr::DIBCREATEPATTERNBRUSH && style != gdi::BS_PATTERN) {
            if (size <= 10) return grey;
            const auto image = decode_packed_dib(d_, at + 10, size - 10, embedded_);
            return image ? mean_color(*image) : grey;
        }
        // A device-dependent bitmap: only monochrome ones (set bits white) are read.
        const size_t head = function == wmr::CREATEPATTERNBRUSH ? 6 : 10;
        const size_t bits = head + 10 + (function == wmr::CREATEPATTERNBRUSH ? 18 : 0);
        const int32_t width = d_.i16(at + head + 2).value_or(0),
                      height = d_.i16(at + head + 4).value_or(0);
        const int32_t stride = d_.i16(at + head + 6).value_or(0);
        const uint8_t planes = d_.u8(at + head + 8).value_or(0),
                      depth = d_.u8(at + head + 9).value_or(0);
        if (planes != 1 || depth != 1 || width <= 0 || height <= 0 || stride * 8 < width ||
            bits > size || size_t(stride) * size_t(height) > size - bits)
            return grey;
        uint64_t set = 0;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                set += (*d_.u8(at + bits + size_t(y) * size_t(stride) + size_t(x / 8)) >>
                        (7 - x % 8)) &
                       1u;
        const auto level = static_cast<Color>(set * 255 / (uint64_t(width) * uint64_t(height)));
        return level << 16 | level << 8 | level;
    }

    std::vector<PointD> points(size_t at, size_t size, size_t count_word) {
        std::vector<PointD> pts;
        const int16_t n = w(at, count_word);
        const size_t first = 6 + 2 * (count_word + 1);
        if (n <= 0 || size < first || static_cast<size_t>(n) > (size - first) / 4) return pts;
        for (size_t i = 0; i < static_cast<size_t>(n); ++i)
            pts.push_back(
                {double(*d_.i16(at + first + 4 * i)), double(*d_.i16(at + first + 4 * i + 2))});
        return pts;
    }

    void poly_polygon(size_t at, size_t size) {
        const int16_t polys = w(at, 0);
        if (polys <= 0 || static_cast<size_t>(polys) > (size - 8) / 2) return;
        size_t o = 8 + 2 * static_cast<size_t>(polys);
        std::vector<std::vector<PointD>> shapes;
        for (size_t p = 0; p < static_cast<size_t>(polys); ++p) {
            const int16_t n = *d_.i16(at + 8 + 2 * p);
            if (n < 0 || o > size || static_cast<size_t>(n) > (size - o) / 4) break;
            shapes.emplace_back();
            for (int16_t i = 0; i < n; ++i, o += 4)
                shapes.back().push_back({double(*d_.i16(at + o)), double(*d_.i16(at + o + 2))});
        }
        c_.polygons(shapes);
    }

    void text(size_t at, size_t size, bool extended) {
        size_t string_at = 0, length = 0;
        PointD ref;
        if (!extended) {
            length = static_cast<uint16_t>(w(at, 0));
            string_at = 8;
            const size_t after = string_at + (length + 1) / 2 * 2;
            if (after + 4 > size) return;
            ref = {double(*d_.i16(at + after + 2)), double(*d_.i16(at + after))};
        } else {
            if (size < 14) return;
            ref = yx(at, 0);
            length = static_cast<uint16_t>(w(at, 2));
            const uint16_t options = static_cast<uint16_t>(w(at, 3));
            string_at = 14 + ((options & 0x0006) ? 8 : 0); // ETO_OPAQUE, ETO_CLIPPED
        }
        if (string_at > size || length > size - string_at) return;
        const auto span = d_.bytes(at + string_at, length);
        c_.text(ref, std::string_view(reinterpret_cast<const char*>(span.data()), span.size()),
                c_.font().charset);
    }

    // Bitmap records: the destination from their words, a packed DIB behind them.
    void bitmap(uint16_t function, size_t at, size_t size) {
        const bool with_bitmap = size / 2 != static_cast<size_t>(function >> 8) + 3;
        PointD a, b;
        size_t dib = 0;
        if (function == wmr::STRETCHDIB) {
            a = yx(at, 11);
            b = {a.x + w(at, 10), a.y + w(at, 9)};
            dib = 28;
        } else if (function == wmr::DIBSTRETCHBLT) {
            const size_t k = with_bitmap ? 0 : 1;
            a = yx(at, 9 + k);
            b = {a.x + w(at, 8 + k), a.y + w(at, 7 + k)};
            dib = 26;
        } else {
            const size_t k = with_bitmap ? 0 : 1;
            a = yx(at, 7 + k);
            b = {a.x + w(at, 6 + k), a.y + w(at, 5 + k)};
            dib = 22;
        }
        if (!with_bitmap) {
            c_.fill_with_brush(a, b);
            return;
        }
        if (dib >= size) return;
        if (const auto image = decode_packed_dib(d_, at + dib, size - dib, embedded_))
            c_.image(a, b, *image);
    }

    void record(uint16_t function, size_t at, size_t size);
    bool mapping_record(uint16_t function, size_t at);
    bool state_record(uint16_t function, size_t at);
    bool object_record(uint16_t function, size_t at, size_t size);
    bool drawing_record(uint16_t function, size_t at, size_t size);
    bool clip_record(uint16_t function, size_t at, size_t size);

    const ByteReader& d_;
    PlayerCanvas& c_;
    const EmbeddedImageDecoder embedded_ = [this](std::span<const uint8_t> file, int32_t w,
                                                  int32_t h) {
        return c_.codec().decode_embedded_image(file, w, h);
    };
    WmfHeader h_;
};

// Each family handles the records it knows and reports whether it did.
void WmfPlayer::record(uint16_t function, size_t at, size_t size) {
    if (mapping_record(function, at) || state_record(function, at) ||
        object_record(function, at, size) || drawing_record(function, at, size) ||
        clip_record(function, at, size))
        return;
    switch (function) {
    case wmr::TEXTOUT:
        text(at, size, false);
        break;
    case wmr::EXTTEXTOUT:
        text(at, size, true);
        break;
    case wmr::STRETCHDIB:
    case wmr::DIBSTRETCHBLT:
    case wmr::DIBBITBLT:
        bitmap(function, at, size);
        break;
    default:
        break;
    }
}

bool WmfPlayer::mapping_record(uint16_t function, size_t at) {
    MapState& m = c_.map();
    switch (function) {
    case wmr::SETMAPMODE:
        m.mode = static_cast<uint16_t>(w(at, 0));
        return true; // the window alone maps this surface
    case wmr::SETWINDOWORG:
        m.window_org = yx(at, 0);
        break;
    case wmr::SETWINDOWEXT:
        m.window_ext = yx(at, 0);
        break;
    case wmr::OFFSETWINDOWORG:
        m.window_org.x += w(at, 1);
        m.window_org.y += w(at, 0);
        break;
    case wmr::SCALEWINDOWEXT:
        if (w(at, 0) == 0 || w(at, 2) == 0) return true;
        m.window_ext.y = m.window_ext.y * w(at, 1) / w(at, 0);
        m.window_ext.x = m.window_ext.x * w(at, 3) / w(at, 2);
        break;
    default:
        return false;
    }
    c_.map_changed();
    return true;
}

bool WmfPlayer::state_record(uint16_t function, size_t at) {
    switch (function) {
    case wmr::SETBKMODE:
        c_.set_bk_mode(w(at, 0));
        break;
    case wmr::SETROP2:
        c_.set_rop2(w(at, 0));
        break;
    case wmr::SETTEXTALIGN:
        c_.set_text_align(static_cast<uint16_t>(w(at, 0)));
        break;
    case wmr::SETBKCOLOR:
        c_.set_bk_color(static_cast<Color>(u32(at + 6) & 0xFFFFFF));
        break;
    case wmr::SETTEXTCOLOR:
        c_.set_text_color(static_cast<Color>(u32(at + 6) & 0xFFFFFF));
        break;
    case wmr::SAVEDC:
        c_.save();
        break;
    case wmr::RESTOREDC:
        c_.restore(w(at, 0));
        break;
    default:
        return false;
    }
    return true;
}

bool WmfPlayer::object_record(uint16_t function, size_t at, size_t size) {
    switch (function) {
    case wmr::CREATEPENINDIRECT:
        create_pen(at, size);
        break;
    case wmr::CREATEBRUSHINDIRECT:
        create_brush(at, size);
        break;
    case wmr::CREATEFONTINDIRECT:
        create_font(at, size);
        break;
    case wmr::DIBCREATEPATTERNBRUSH:
    case wmr::CREATEPATTERNBRUSH:
        create(Brush{brush_style::Solid, pattern_color(function, at, size), 0});
        break;
    case wmr::CREATEREGION:
        create_region(at, size);
        break;
    case wmr::CREATEPALETTE:
        create(PlayerPen{Pen{pen_style::Null, 0, 0}, true}); // holds its slot; never drawn
        break;
    case wmr::SELECTOBJECT:
        c_.select_object(static_cast<uint16_t>(w(at, 0)));
        break;
    case wmr::DELETEOBJECT:
        c_.delete_object(static_cast<uint16_t>(w(at, 0)));
        break;
    default:
        return false;
    }
    return true;
}

bool WmfPlayer::drawing_record(uint16_t function, size_t at, size_t size) {
    switch (function) {
    case wmr::MOVETO:
        c_.move_to(yx(at, 0));
        break;
    case wmr::LINETO:
        c_.line_to(yx(at, 0));
        break;
    case wmr::POLYLINE:
        c_.polyline(points(at, size, 0), false);
        break;
    case wmr::POLYGON: {
        const std::vector<PointD> shape = points(at, size, 0);
        c_.polygons(std::span(&shape, 1));
        break;
    }
    case wmr::POLYPOLYGON:
        if (size >= 8) poly_polygon(at, size);
        break;
    case wmr::RECTANGLE:
        if (size >= 14) c_.rectangle(yx(at, 2), yx(at, 0));
        break;
    case wmr::ELLIPSE:
        if (size >= 14) c_.ellipse(yx(at, 2), yx(at, 0));
        break;
    case wmr::ROUNDRECT:
        if (size >= 18) c_.round_rect(yx(at, 4), yx(at, 2), yx(at, 0));
        break;
    case wmr::ARC:
    case wmr::CHORD:
    case wmr::PIE:
        if (size >= 22)
            c_.arc(function == wmr::ARC     ? PlayerCanvas::ArcKind::Arc
                   : function == wmr::CHORD ? PlayerCanvas::ArcKind::Chord
                                            : PlayerCanvas::ArcKind::Pie,
                   yx(at, 6), yx(at, 4), yx(at, 2), yx(at, 0));
        break;
    case wmr::PATBLT:
        if (size >= 18)
            c_.fill_with_brush(yx(at, 4),
                               {w(at, 5) + double(w(at, 3)), w(at, 4) + double(w(at, 2))});
        break;
    default:
        return false;
    }
    return true;
}

// Clip changes and the region fills, which share the region objects.
bool WmfPlayer::clip_record(uint16_t function, size_t at, size_t size) {
    switch (function) {
    case wmr::INTERSECTCLIPRECT:
        if (size >= 14) c_.intersect_clip(yx(at, 2), yx(at, 0), false);
        break;
    case wmr::SELECTCLIPREGION:
        c_.select_clip_region(static_cast<uint16_t>(w(at, 0)));
        break;
    case wmr::OFFSETCLIPRGN:
        if (size >= 10) c_.offset_clip(yx(at, 0));
        break;
    case wmr::FILLREGION:
    case wmr::PAINTREGION:
        if (const auto r = c_.region(static_cast<uint16_t>(w(at, 0))))
            c_.fill_box(r->a, r->b,
                        function == wmr::FILLREGION
                            ? std::optional<uint32_t>(static_cast<uint16_t>(w(at, 1)))
                            : std::nullopt);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

std::optional<WmfHeader> read_wmf_header(const ByteReader& d) {
    WmfHeader h;
    if (d.u32(0) == wmr::PLACEABLE_KEY) {
        if (!d.has(0, 22)) return std::nullopt;
        h.start = 22;
        h.box = Rect{*d.i16(6), *d.i16(8), *d.i16(10), *d.i16(12)};
        h.units_per_inch = *d.u16(14);
    }
    const auto type = d.u16(h.start), header_words = d.u16(h.start + 2);
    if (!type || (*type != 1 && *type != 2) || header_words != 9 ||
        !d.has(h.start, META_HEADER_BYTES))
        return std::nullopt;
    h.objects = *d.u16(h.start + 10);
    // The first window origin and extent set, for a file without a placeable header.
    PointD org, ext;
    bool has_ext = false;
    size_t at = h.start + META_HEADER_BYTES;
    while (d.has(at, 6) && !has_ext) {
        const uint32_t words = *d.u32(at);
        const uint16_t function = *d.u16(at + 4);
        if (words < 3 || words > (d.size() - at) / 2 || function == wmr::EOF_) break;
        if (function == wmr::SETWINDOWORG && words >= 5)
            org = {double(*d.i16(at + 8)), double(*d.i16(at + 6))};
        if (function == wmr::SETWINDOWEXT && words >= 5) {
            ext = {double(*d.i16(at + 8)), double(*d.i16(at + 6))};
            has_ext = true;
        }
        at += size_t{words} * 2;
    }
    if (has_ext)
        h.window =
            Rect{int32_t(org.x), int32_t(org.y), int32_t(org.x + ext.x), int32_t(org.y + ext.y)};
    return h;
}

std::optional<Size> wmf_size(const WmfHeader& h) {
    int64_t w = 0, hh = 0;
    if (h.box && h.units_per_inch > 0) {
        w = std::abs(int64_t{h.box->right} - h.box->left) * 2540 / h.units_per_inch;
        hh = std::abs(int64_t{h.box->bottom} - h.box->top) * 2540 / h.units_per_inch;
    } else if (h.window) {
        // A plain metafile's window units count as pixels of the 96 dpi reference screen.
        w = std::abs(int64_t{h.window->right} - h.window->left) * 2540 / 96;
        hh = std::abs(int64_t{h.window->bottom} - h.window->top) * 2540 / 96;
    }
    if (w <= 0 || hh <= 0) return std::nullopt;
    return Size{static_cast<int32_t>(w), static_cast<int32_t>(hh)};
}

void play_wmf(const ByteReader& d, PlayerCanvas& canvas, const WmfHeader& header,
              const Rect& target) {
    WmfPlayer player(d, canvas, header, target);
    player.run();
}

} // namespace plox
