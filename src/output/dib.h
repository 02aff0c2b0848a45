// Device-independent bitmaps inside metafile records, decoded into our Image.
#pragma once

#include "output/byte_io.h"
#include "render/surface.h"

#include <functional>
#include <optional>
#include <span>

namespace plox {

// Bitmaps beyond this many pixels are not decoded.
inline constexpr int64_t MAX_DIB_PIXELS = int64_t{1} << 24;

// Decodes the JPEG or PNG file a bitmap embeds into exactly `width` × `height` pixels; core
// decodes neither, so the platform supplies it.
using EmbeddedImageDecoder = std::function<std::optional<Image>(std::span<const uint8_t> file,
                                                                int32_t width, int32_t height)>;

// The header and colour table at [info, info + info_size), the pixels at [bits, bits +
// bits_size) of `data`. Uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, run-length 4 and 8
// bits per pixel, and embedded JPEG and PNG through `embedded`; nullopt otherwise.
std::optional<Image> decode_dib(const ByteReader& data, size_t info, size_t info_size, size_t bits,
                                size_t bits_size, const EmbeddedImageDecoder& embedded = {});

// A packed bitmap: header, colour table and pixels one after the other in [at, at + size).
std::optional<Image> decode_packed_dib(const ByteReader& data, size_t at, size_t size,
                                       const EmbeddedImageDecoder& embedded = {});

// The average colour of a bitmap (0x00BBGGRR): how a pattern brush looks from a distance.
Color mean_color(const Image& image);

} // namespace plox
