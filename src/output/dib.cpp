// DIB decoding (uncompressed, bit fields and run-length) with every offset checked.
#include "output/dib.h"

#include <array>

namespace plox {

namespace {

constexpr uint32_t BI_RLE8 = 1, BI_RLE4 = 2, BI_JPEG = 4, BI_PNG = 5;
// A run-length code expands to at most 255 pixels from 2 bytes; a bitmap claiming far more
// pixels than its codes can describe is refused before anything is allocated.
constexpr int64_t MAX_RLE_PIXELS_PER_BYTE = 256;

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
    } else if ((h.compression == BI_RLE8 && h.bit_count == 8) ||
               (h.compression == BI_RLE4 && h.bit_count == 4)) {
        // run-length pixels are expanded below
    } else if (h.compression == BI_JPEG || h.compression == BI_PNG) {
        h.palette_entries = 0; // a whole image file follows
    } else if (h.compression != 0) {
        return std::nullopt;
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

// Palette indices of a run-length bitmap, bottom row first; pixels no code reaches keep index 0.
// Absolute runs are padded to 16 bits; a delta moves right and up; the end code stops.
std::optional<std::vector<uint8_t>> expand_rle(std::span<const uint8_t> in, int64_t width,
                                               int64_t height, int bpp) {
    std::vector<uint8_t> out(static_cast<size_t>(width * height), 0);
    int64_t x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < width && y < height) out[static_cast<size_t>(y * width + x)] = index;
        ++x;
    };
    size_t i = 0;
    while (i + 1 < in.size() && y < height) {
        const uint8_t count = in[i], value = in[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(bpp == 8 ? value : (k % 2 == 0 ? value >> 4 : value & 0x0F));
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= in.size()) break;
            x += in[i];
            y += in[i + 1];
            i += 2;
        } else { // absolute run of `value` pixels
            const size_t bytes = bpp == 8 ? value : (value + 1u) / 2;
            if (bytes > in.size() - i) return std::nullopt;
            for (int k = 0; k < value; ++k) {
                const uint8_t b = in[i + static_cast<size_t>(bpp == 8 ? k : k / 2)];
                put(bpp == 8 ? b : (k % 2 == 0 ? b >> 4 : b & 0x0F));
            }
            i += (bytes + 1) / 2 * 2;
        }
    }
    return out;
}

std::vector<uint32_t> read_palette(const ByteReader& d, const DibHeader& h, size_t info,
                                   size_t info_size) {
    std::vector<uint32_t> palette;
    const size_t palette_at = info + h.header_size;
    for (size_t i = 0; i < h.palette_entries; ++i) {
        const size_t at = palette_at + i * h.entry_size;
        if (at + 3 > info + info_size) break;
        const auto b = d.u8(at), g = d.u8(at + 1), r = d.u8(at + 2);
        palette.push_back(0xFF000000u | uint32_t{*r} << 16 | uint32_t{*g} << 8 | *b);
    }
    return palette;
}

std::optional<Image> decode_rle(const DibHeader& h, const std::vector<uint32_t>& palette,
                                std::span<const uint8_t> bits) {
    const int64_t width = h.width, height = h.height;
    // Run-length bitmaps are always stored bottom-up.
    if (width <= 0 || height <= 0 || width * height > MAX_DIB_PIXELS ||
        width * height > MAX_RLE_PIXELS_PER_BYTE * static_cast<int64_t>(bits.size()))
        return std::nullopt;
    const auto indices = expand_rle(bits, width, height, h.bit_count);
    if (!indices) return std::nullopt;
    Image image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.pixels.resize(indices->size());
    for (int64_t row = 0; row < height; ++row)
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t index = (*indices)[static_cast<size_t>((height - 1 - row) * width + x)];
            image.pixels[static_cast<size_t>(row * width + x)] =
                index < palette.size() ? palette[index] : 0xFF000000;
        }
    return image;
}

// An embedded image file, accepted only at the size the header gives.
std::optional<Image> decode_embedded(const DibHeader& h, std::span<const uint8_t> file,
                                     const EmbeddedImageDecoder& embedded) {
    const int64_t width = h.width, height = h.height < 0 ? -int64_t{h.height} : h.height;
    if (!embedded || file.empty() || width <= 0 || height <= 0 || width * height > MAX_DIB_PIXELS)
        return std::nullopt;
    auto image = embedded(file, static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (!image || image->width != width || image->height != height ||
        image->pixels.size() != static_cast<size_t>(width * height))
        return std::nullopt;
    return image;
}

} // namespace

Color mean_color(const Image& image) {
    if (image.pixels.empty()) return 0xC0C0C0;
    uint64_t r = 0, g = 0, b = 0;
    for (const uint32_t p : image.pixels) {
        r += (p >> 16) & 0xFF;
        g += (p >> 8) & 0xFF;
        b += p & 0xFF;
    }
    const uint64_t n = image.pixels.size();
    return static_cast<Color>((b / n) << 16 | (g / n) << 8 | (r / n));
}

std::optional<Image> decode_dib(const ByteReader& d, size_t info, size_t info_size, size_t bits,
                                size_t bits_size, const EmbeddedImageDecoder& embedded) {
    if (!d.has(info, info_size) || !d.has(bits, bits_size)) return std::nullopt;
    const auto h = read_header(d, info, info_size);
    if (!h) return std::nullopt;
    if (h->palette_entries > 256) return std::nullopt;
    if (h->compression == BI_JPEG || h->compression == BI_PNG)
        return decode_embedded(*h, d.bytes(bits, bits_size), embedded);
    if (h->compression == BI_RLE8 || h->compression == BI_RLE4)
        return decode_rle(*h, read_palette(d, *h, info, info_size), d.bytes(bits, bits_size));
    const bool top_down = h->height < 0;
    const int64_t width = h->width, height = top_down ? -int64_t{h->height} : h->height;
    if (width <= 0 || height <= 0 || width * height > MAX_DIB_PIXELS) return std::nullopt;
    const int bpp = h->bit_count;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const size_t stride = static_cast<size_t>((width * bpp + 31) / 32 * 4);
    if (stride * static_cast<size_t>(height) > bits_size) return std::nullopt;

    const std::vector<uint32_t> palette = read_palette(d, *h, info, info_size);

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

std::optional<Image> decode_packed_dib(const ByteReader& d, size_t at, size_t size,
                                       const EmbeddedImageDecoder& embedded) {
    if (!d.has(at, size)) return std::nullopt;
    const auto h = read_header(d, at, size);
    if (!h) return std::nullopt;
    const size_t info_size = h->header_size + h->palette_entries * h->entry_size;
    if (info_size > size) return std::nullopt;
    return decode_dib(d, at, info_size, at + info_size, size - info_size, embedded);
}

} // namespace plox
