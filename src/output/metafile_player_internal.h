// The two players behind metafile_player.h.
#pragma once

#include "output/byte_io.h"
#include "output/player_canvas.h"

namespace plox {

struct EmfHeader {
    Rect bounds; // reference pixels, inclusive
    Rect frame;  // 0.01 mm
    Size device, millimetres;
};

std::optional<EmfHeader> read_emf_header(const ByteReader& data);
void play_emf(const ByteReader& data, PlayerCanvas& canvas, const EmfHeader& header,
              const Rect& target);

struct WmfHeader {
    size_t start = 0;           // offset of the metafile header (22 after a placeable header)
    std::optional<Rect> box;    // placeable bounding box
    int32_t units_per_inch = 0; // placeable resolution
    std::optional<Rect> window; // the first window origin and extent found in the records
    uint32_t objects = 0;       // size of the object table
};

std::optional<WmfHeader> read_wmf_header(const ByteReader& data);
// Natural size in 0.01 mm.
std::optional<Size> wmf_size(const WmfHeader& header);
void play_wmf(const ByteReader& data, PlayerCanvas& canvas, const WmfHeader& header,
              const Rect& target);

} // namespace plox
