// PNG encoding on zlib: the chunks are few and simple, and doing the row filter and the byte
// order here, a row at a time in loops the compiler vectorises, leaves zlib as the only cost.
#include "platform/png_writer.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <vector>

namespace plox {

namespace {

constexpr size_t OUT_BLOCK = 128 * 1024; // compressed bytes per IDAT chunk

void put_u32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

class ChunkWriter {
public:
    explicit ChunkWriter(const PngSink& sink) : sink_(sink) {}

    bool raw(const uint8_t* bytes, size_t size) { return ok_ = ok_ && sink_(bytes, size); }

    // Length, type, data and the CRC of type and data.
    bool chunk(const char (&type)[5], const uint8_t* data, size_t size) {
        uint8_t head[8];
        put_u32(head, static_cast<uint32_t>(size));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
        uint8_t tail[4];
        put_u32(tail, static_cast<uint32_t>(crc));
        return raw(head, 8) && (size == 0 || raw(data, size)) && raw(tail, 4);
    }

    bool ok() const { return ok_; }

private:
    const PngSink& sink_;
    bool ok_ = true;
};

// One row as PNG bytes (R, G, B[, A]) from 32-bit pixels 0xAARRGGBB.
void convert_row(const uint8_t* pixels, int width, bool alpha, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        uint32_t v;
        std::memcpy(&v, pixels + static_cast<size_t>(x) * 4, 4);
        *out++ = static_cast<uint8_t>(v >> 16);
        *out++ = static_cast<uint8_t>(v >> 8);
        *out++ = static_cast<uint8_t>(v);
        if (alpha) *out++ = static_cast<uint8_t>(v >> 24);
    }
}

// The "up" filter: each byte less the one above it. A page repeats most rows, so these become
// runs of zeros that run-length matching codes in a few bits.
void filter_up(const uint8_t* row, const uint8_t* above, size_t size, uint8_t* out) {
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(row[i] - above[i]);
}

class Deflater {
public:
    Deflater() {
        ok_ = deflateInit2(&z_, 1, Z_DEFLATED, 15, 8, Z_RLE) == Z_OK;
        out_.resize(OUT_BLOCK);
    }
    ~Deflater() {
        if (ok_) deflateEnd(&z_);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool ready() const { return ok_; }

    // Compresses `size` bytes (all the rest when `last`), writing each full block as IDAT.
    bool add(const uint8_t* data, size_t size, bool last, ChunkWriter& out) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(size);
        for (;;) {
            z_.next_out = out_.data() + used_;
            z_.avail_out = static_cast<uInt>(out_.size() - used_);
            const int status = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
            if (status == Z_STREAM_ERROR) return false;
            used_ = out_.size() - z_.avail_out;
            if (used_ == out_.size() || (last && status == Z_STREAM_END && used_ > 0)) {
                if (!out.chunk("IDAT", out_.data(), used_)) return false;
                used_ = 0;
            }
            if (last ? status == Z_STREAM_END : z_.avail_in == 0 && z_.avail_out > 0) return true;
        }
    }

private:
    z_stream z_{};
    bool ok_ = false;
    std::vector<uint8_t> out_;
    size_t used_ = 0;
};

} // namespace

PngResult write_png(const PngPixels& pixels, const PngSink& sink) {
    if (!pixels.data || pixels.width < 1 || pixels.height < 1 ||
        pixels.stride < static_cast<size_t>(pixels.width) * 4)
        return {false, "no image to encode"};
    const int channels = pixels.alpha ? 4 : 3;
    const size_t row_bytes = static_cast<size_t>(pixels.width) * static_cast<size_t>(channels);
    Deflater deflater;
    if (!deflater.ready()) return {false, "not enough memory for the PNG encoder"};
    ChunkWriter out(sink);

    static constexpr uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::array<uint8_t, 13> header{};
    put_u32(header.data(), static_cast<uint32_t>(pixels.width));
    put_u32(header.data() + 4, static_cast<uint32_t>(pixels.height));
    header[8] = 8;                    // bits per channel
    header[9] = pixels.alpha ? 6 : 2; // colour with alpha, colour
    out.raw(SIGNATURE, sizeof SIGNATURE);
    out.chunk("IHDR", header.data(), header.size());
    if (pixels.dots_per_metre > 0) {
        std::array<uint8_t, 9> phys{};
        put_u32(phys.data(), static_cast<uint32_t>(pixels.dots_per_metre));
        put_u32(phys.data() + 4, static_cast<uint32_t>(pixels.dots_per_metre));
        phys[8] = 1; // the unit is the metre
        out.chunk("pHYs", phys.data(), phys.size());
    }

    // Rows as PNG bytes, this one and the one above (zeros above the first), and the filtered
    // row with its filter type in front.
    std::vector<uint8_t> current(row_bytes), above(row_bytes, 0), filtered(row_bytes + 1);
    filtered[0] = 2; // "up"
    bool ok = out.ok();
    for (int y = 0; ok && y < pixels.height; ++y) {
        convert_row(pixels.data + static_cast<size_t>(y) * pixels.stride, pixels.width,
                    pixels.alpha, current.data());
        filter_up(current.data(), above.data(), row_bytes, filtered.data() + 1);
        ok = deflater.add(filtered.data(), filtered.size(), y + 1 == pixels.height, out);
        current.swap(above);
    }
    ok = ok && out.chunk("IEND", nullptr, 0);
    if (ok) return {true, {}};
    if (!out.ok()) return {false, "the PNG data could not be written"};
    return {false, "PNG compression failed"};
}

} // namespace plox
