// PNG encoding on zlib: the chunks are few and simple, and doing the row filter and the byte
// order here, four bytes at a time, leaves zlib as nearly the only cost.
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

// Each byte of a less the same byte of b, modulo 256, four bytes at a time.
inline uint32_t byte_difference(uint32_t a, uint32_t b) {
    constexpr uint32_t HIGH = 0x80808080u;
    return ((a | HIGH) - (b & ~HIGH)) ^ ((a ^ ~b) & HIGH);
}

// The "up" filter straight from the 32-bit pixels 0xAARRGGBB: the bytes R, G, B[, A] of each
// pixel less those of the pixel above. A page repeats most rows, so these become runs of
// zeros that run-length matching codes in a few bits.
template <bool Alpha>
void filter_up(const uint8_t* row, const uint8_t* above, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        uint32_t v, a;
        std::memcpy(&v, row + static_cast<size_t>(x) * 4, 4);
        std::memcpy(&a, above + static_cast<size_t>(x) * 4, 4);
        const uint32_t d = byte_difference(v, a);
        out[0] = static_cast<uint8_t>(d >> 16);
        out[1] = static_cast<uint8_t>(d >> 8);
        out[2] = static_cast<uint8_t>(d);
        if constexpr (Alpha) out[3] = static_cast<uint8_t>(d >> 24);
        out += Alpha ? 4 : 3;
    }
}

class Deflater {
public:
    Deflater() {
        // Run-length matching never looks the hash up, but zlib still slides it along every
        // 32 KiB of input: a smaller one (memory level 4) spares most of that work.
        ok_ = deflateInit2(&z_, 1, Z_DEFLATED, 15, 4, Z_RLE) == Z_OK;
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

    // The filtered row with its filter type in front; above the first row all bytes are 0.
    std::vector<uint8_t> filtered(row_bytes + 1), zeros(static_cast<size_t>(pixels.width) * 4, 0);
    filtered[0] = 2; // "up"
    bool ok = out.ok();
    bool zero_row = false; // whether `filtered` holds a repeated row already
    for (int y = 0; ok && y < pixels.height; ++y) {
        const uint8_t* row = pixels.data + static_cast<size_t>(y) * pixels.stride;
        const uint8_t* above = y > 0 ? row - pixels.stride : zeros.data();
        const bool repeated = y > 0 && std::memcmp(row, above, zeros.size()) == 0;
        if (repeated && !zero_row)
            std::memset(filtered.data() + 1, 0, row_bytes);
        else if (!repeated && pixels.alpha)
            filter_up<true>(row, above, pixels.width, filtered.data() + 1);
        else if (!repeated)
            filter_up<false>(row, above, pixels.width, filtered.data() + 1);
        zero_row = repeated;
        ok = deflater.add(filtered.data(), filtered.size(), y + 1 == pixels.height, out);
    }
    ok = ok && out.chunk("IEND", nullptr, 0);
    if (ok) return {true, {}};
    if (!out.ok()) return {false, "the PNG data could not be written"};
    return {false, "PNG compression failed"};
}

} // namespace plox
