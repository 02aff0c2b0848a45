// Device-independent bitmaps inside metafile records, decoded into our Image.
#pragma once

#include "output/byte_io.h"
#include "render/surface.h"

#include <optional>

namespace plox {

// Bitmaps beyond this many pixels are not decoded.
inline constexpr int64_t MAX_DIB_PIXELS = int64_t{1} << 24;

// The header and colour table at [info, info + info_size), the pixels at [bits, bits +
// bits_size) of `data`. Uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel and run-length 4 and 8
// bits per pixel; nullopt otherwise (embedded JPEG and PNG among them).
std::optional<Image> decode_dib(const ByteReader& data, size_t info, size_t info_size, size_t bits,
                                size_t bits_size);

// A packed bitmap: header, colour table and pixels one after the other in [at, at + size).
std::optional<Image> decode_packed_dib(const ByteReader& data, size_t at, size_t size);

// The average colour of a bitmap (0x00BBGGRR): how a pattern brush looks from a distance.
Color mean_color(const Image& image);

} // namespace plox
