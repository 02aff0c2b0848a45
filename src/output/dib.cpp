// Uncompressed DIB decoding with every offset checked.
#include "output/dib.h"

#include <array>

namespace plox {

namespace {

struct DibHeader {
    int32_t width = 0, height = 0;
    uint16_t bit_count = 0;
    uint32_t compression = 0;
    size_t header_size = 0, palette_entries = 0, entry_size = 4;
    std::array<uint32_t, 3> masks{0xFF0000, 0xFF00, 0xFF};
};

std::optional<DibHeader> read_header(const ByteReader& d, size_t at, size_t size) {
    DibHeader h;
    const auto header_size = d.u32(at);
    if (!header_size || *header_size > size) return std::nullopt;
    h.header_size = *header_size;
    if (h.header_size == 12) { // the old core header
        const auto w = d.u16(at + 4), hh = d.u16(at + 6), bits = d.u16(at + 10);
        if (!w || !hh || !bits) return std::nullopt;
        h.width = *w, h.height = *hh, h.bit_count = *bits, h.entry_size = 3;
    } else if (h.header_size >= 40) {
        const auto w = d.i32(at + 4), hh = d.i32(at + 8);
        const auto bits = d.u16(at + 14);
        const auto comp = d.u32(at + 16), used = d.u32(at + 32);
        if (!w || !hh || !bits || !comp || !used) return std::nullopt;
        h.width = *w, h.height = *hh, h.bit_count = *bits, h.compression = *comp;
        h.palette_entries = *used;
    } else {
        return std::nullopt;
    }
    if (h.bit_count <= 8 && h.palette_entries == 0) h.palette_entries = size_t{1} << h.bit_count;
    if (h.bit_count > 8) h.palette_entries = 0;
    if (h.compression == 3 && (h.bit_count == 16 || h.bit_count == 32)) {
        // Bit-field masks follow a 40-byte header, or sit inside a larger one.
        for (size_t i = 0; i < 3; ++i) {
            const auto m = d.u32(at + 40 + 4 * i);
            if (!m || 40 + 4 * i + 4 > size) return std::nullopt;
            h.masks[i] = *m;
        }
        if (h.header_size == 40) h.header_size = 52;
    } else if (h.compression != 0) {
        return std::nullopt; // run-length and embedded JPEG/PNG bitmaps are left out
    } else if (h.bit_count == 16) {
        h.masks = {0x7C00, 0x03E0, 0x001F};
    }
    return h;
}

uint32_t masked(uint32_t v, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    const uint32_t max = mask;
    return ((v >> shift) & max) * 255 / max;
}

} // namespace

std::optional<Image> decode_dib(const ByteReader& d, size_t info, size_t info_size, size_t bits,
                                size_t bits_size) {
    if (!d.has(info, info_size) || !d.has(bits, bits_size)) return std::nullopt;
    const auto h = read_header(d, info, info_size);
    if (!h) return std::nullopt;
    const bool top_down = h->height < 0;
    const int64_t width = h->width, height = top_down ? -int64_t{h->height} : h->height;
    if (width <= 0 || height <= 0 || width * height > MAX_DIB_PIXELS) return std::nullopt;
    const int bpp = h->bit_count;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const size_t stride = static_cast<size_t>((width * bpp + 31) / 32 * 4);
    if (stride * static_cast<size_t>(height) > bits_size) return std::nullopt;

    std::vector<uint32_t> palette;
    const size_t palette_at = info + h->header_size;
    if (h->palette_entries > 256) return std::nullopt;
    for (size_t i = 0; i < h->palette_entries; ++i) {
        const size_t at = palette_at + i * h->entry_size;
        if (at + 3 > info + info_size) break;
        const auto b = d.u8(at), g = d.u8(at + 1), r = d.u8(at + 2);
        palette.push_back(0xFF000000u | uint32_t{*r} << 16 | uint32_t{*g} << 8 | *b);
    }

    Image image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.pixels.resize(static_cast<size_t>(width * height));
    const std::span<const uint8_t> all = d.bytes(bits, bits_size);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* line =
            all.data() + static_cast<size_t>(top_down ? row : height - 1 - row) * stride;
        uint32_t* out = image.pixels.data() + static_cast<size_t>(row * width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t px = 0xFF000000;
            if (bpp <= 8) {
                const size_t bit = static_cast<size_t>(x * bpp);
                const uint32_t index = (line[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = index < palette.size() ? palette[index] : 0xFF000000;
            } else if (bpp == 16) {
                const uint32_t v = line[x * 2] | line[x * 2 + 1] << 8;
                px |= masked(v, h->masks[0]) << 16 | masked(v, h->masks[1]) << 8 |
                      masked(v, h->masks[2]);
            } else if (bpp == 24) {
                const uint8_t* p = line + x * 3;
                px |= uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
            } else {
                const uint8_t* p = line + x * 4;
                const uint32_t v =
                    p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
                px |= masked(v, h->masks[0]) << 16 | masked(v, h->masks[1]) << 8 |
                      masked(v, h->masks[2]);
            }
            out[x] = px;
        }
    }
    return image;
}

std::optional<Image> decode_packed_dib(const ByteReader& d, size_t at, size_t size) {
    if (!d.has(at, size)) return std::nullopt;
    const auto h = read_header(d, at, size);
    if (!h) return std::nullopt;
    const size_t info_size = h->header_size + h->palette_entries * h->entry_size;
    if (info_size > size) return std::nullopt;
    return decode_dib(d, at, info_size, at + info_size, size - info_size);
}

} // namespace plox
