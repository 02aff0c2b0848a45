// Plays enhanced and Windows metafiles (placeable or plain) onto a drawing surface: the
// pictures of annotation objects, and the check that our own files read back. Every size,
// count and offset is checked against the data; unknown records are skipped.
#pragma once

#include "output/metafile_text.h"
#include "render/surface.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plox {

enum class MetafileKind { Enhanced, Placeable, Plain };

struct MetafileInfo {
    MetafileKind kind = MetafileKind::Enhanced;
    Size size; // natural size in 0.01 mm, both positive
};

// The kind and natural size, or nullopt when the data is no metafile we can size.
std::optional<MetafileInfo> metafile_info(std::span<const uint8_t> data);

// Draws the picture stretched into `target` (logical units of the surface). False when the
// data is no readable metafile. The surface's clip is restored afterwards.
bool play_metafile(std::span<const uint8_t> data, Surface& surface, const Rect& target,
                   const MetafileText& text);

// Metafiles larger than this are not read as pictures.
inline constexpr size_t MAX_METAFILE_BYTES = 256u << 20;

// The whole file, or nullopt when it cannot be read or is larger than `limit`.
std::optional<std::vector<uint8_t>> read_file_bytes(const std::string& path, size_t limit);

// A picture object's metafile: drawn at (left, top), `width` wide, its height keeping the
// natural proportion. Returns the natural size in pixels of the reference device, or nullopt
// when the file cannot be read (nothing is drawn then).
std::optional<Size> draw_metafile_picture(Surface& surface, const std::string& path, int32_t left,
                                          int32_t top, int32_t width, const MetafileText& text);

} // namespace plox
