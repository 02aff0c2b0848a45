// Ngraph GRA pictures: reads a .gra file record by record and draws it scaled into a picture
// rectangle (10000 GRA units span `scale` logical units).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "render/font_mapping.h"
#include "render/surface.h"

namespace plox {

// One record line, numbers parsed with the record's own format.
struct GraRecord {
    char letter = 0;
    int parsed = 0;                  // numbers converted
    std::array<int32_t, 9> values{}; // leading count first; unparsed positions keep old values
    std::string text;                // "S" and "K": the bytes from the sixth character
};

inline constexpr size_t GRA_LINE_CAPACITY = 301;
inline constexpr int GRA_MAX_POLYGON = 20;

// Parses a record line (without its line ending) into `record`, whose values from the previous
// record fill the positions this line leaves out. Polygon points of "D" go to `points`
// (x, y pairs, at most GRA_MAX_POLYGON of them); returns their number.
int parse_gra_record(std::string_view line, GraRecord& record,
                     std::array<int32_t, 2 * GRA_MAX_POLYGON>& points);

struct GraResult {
    int status = -1; // 0 drawn, -1 not opened or not a GRA file
    Rect extent{30000, 30000, -30000, -30000};
};

// Draws the file at (x0, y0) with width `scale`. `mapping` gives the fonts of the six slots;
// the drawing works on a copy ("F" records update the slots for the rest of the file only).
GraResult draw_gra_file(Surface& surface, const TextMeasurer& measurer, const std::string& path,
                        int32_t x0, int32_t y0, int32_t scale, const FontMapping& mapping);

// The same from file contents in memory.
GraResult draw_gra_text(Surface& surface, const TextMeasurer& measurer, std::string_view contents,
                        int32_t x0, int32_t y0, int32_t scale, const FontMapping& mapping);

} // namespace plox
