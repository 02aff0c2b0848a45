// A PNG encoder tuned for exported pages: large areas of one colour and thin lines. It trades a
// somewhat larger file for a several times faster encode (zlib level 1, run-length matching,
// one fixed row filter); the pixels stay exact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plox {

// Rows of 32-bit pixels 0xAARRGGBB in the machine's byte order (QImage's RGB32 and ARGB32).
struct PngPixels {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    size_t stride = 0;      // bytes from one row to the next
    bool alpha = false;     // false: the top byte is ignored and no alpha is stored
    int dots_per_metre = 0; // written as the pHYs resolution when positive
};

// Receives the encoded bytes in order; false stops the encode.
using PngSink = std::function<bool(const uint8_t* bytes, size_t size)>;

struct PngResult {
    bool ok = false;
    std::string message; // why the encode failed, one line
};

PngResult write_png(const PngPixels& pixels, const PngSink& sink);

} // namespace plox
