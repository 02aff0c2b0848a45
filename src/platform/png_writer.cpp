// PNG encoding with libpng. libpng reports errors by longjmp, so the function that calls it
// holds no object with a destructor; everything that owns memory lives in write_png.
#include "platform/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <bit>
#include <csetjmp>
#include <cstring>

namespace plox {

namespace {

struct Encoder {
    const PngPixels* pixels = nullptr;
    const PngSink* sink = nullptr;
    bool sink_failed = false;
    char message[160] = {};
};

void on_error(png_structp png, png_const_charp message) {
    auto* e = static_cast<Encoder*>(png_get_error_ptr(png));
    std::strncpy(e->message, message ? message : "", sizeof e->message - 1);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

void on_write(png_structp png, png_bytep data, size_t size) {
    auto* e = static_cast<Encoder*>(png_get_io_ptr(png));
    // Once the sink has failed the rest of the stream is only counted as lost; stopping here
    // by longjmp would skip the sink's own clean-up.
    if (!e->sink_failed && !(*e->sink)(data, size)) e->sink_failed = true;
}

void on_flush(png_structp) {}

// Level 1 with run-length matching finds the long runs of a page almost as well as level 6
// and at a fraction of the time; the left-neighbour filter turns an edge into one run.
void set_fast_compression(png_structp png) {
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_buffer_size(png, 128 * 1024);
}

// The 32-bit pixels are B, G, R, A in memory on little-endian machines and A, R, G, B on
// big-endian ones; PNG wants R, G, B[, A].
void set_byte_order(png_structp png, bool alpha) {
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        if (alpha)
            png_set_swap_alpha(png);
        else
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
}

bool encode(png_structp png, png_infop info, Encoder& e) {
    if (setjmp(png_jmpbuf(png))) return false;
    const PngPixels& p = *e.pixels;
    png_set_write_fn(png, &e, on_write, on_flush);
    set_fast_compression(png);
    png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height),
                 8, p.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (p.dots_per_metre > 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(p.dots_per_metre),
                     static_cast<png_uint_32>(p.dots_per_metre), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    set_byte_order(png, p.alpha);
    for (int y = 0; y < p.height && !e.sink_failed; ++y)
        png_write_row(png, const_cast<png_bytep>(p.data + static_cast<size_t>(y) * p.stride));
    if (!e.sink_failed) png_write_end(png, info);
    return !e.sink_failed;
}

} // namespace

PngResult write_png(const PngPixels& pixels, const PngSink& sink) {
    if (!pixels.data || pixels.width < 1 || pixels.height < 1 ||
        pixels.stride < static_cast<size_t>(pixels.width) * 4)
        return {false, "no image to encode"};
    Encoder e;
    e.pixels = &pixels;
    e.sink = &sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, on_error, on_warning);
    if (!png) return {false, "not enough memory for the PNG encoder"};
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {false, "not enough memory for the PNG encoder"};
    }
    const bool ok = encode(png, info, e);
    png_destroy_write_struct(&png, &info);
    if (ok) return {true, {}};
    if (e.sink_failed) return {false, "the PNG data could not be written"};
    return {false, std::string("PNG encoding failed: ") + e.message};
}

} // namespace plox
