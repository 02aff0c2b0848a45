// The lookup tables of the GRA reader. Indices outside a table are clamped to its ends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "render/surface.h"

namespace plox {

inline Color gra_color(int32_t index) {
    static constexpr Color table[8] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return table[std::clamp(index, 0, 7)];
}

inline int32_t gra_pen_style(int32_t style) {
    static constexpr int32_t table[4] = {pen_style::Solid, pen_style::Dot, pen_style::Dash,
                                         pen_style::DashDot};
    return table[std::clamp(style, 0, 3)];
}

// The Symbol-font letter of a Shift-JIS Greek letter (0x83 0x9F..0xB6 capitals, 0x83 0xBF..0xD6
// small letters), or 0 for any other pair.
inline char sjis_greek_to_symbol(std::string_view pair) {
    static constexpr char letters[] = "abgdezhqiklmnxoprstufcyw";
    if (pair.size() != 2 || static_cast<unsigned char>(pair[0]) != 0x83) return 0;
    auto trail = static_cast<unsigned char>(pair[1]);
    if (trail >= 0xBF && trail <= 0xD6) return letters[trail - 0xBF];
    if (trail >= 0x9F && trail <= 0xB6) return static_cast<char>(letters[trail - 0x9F] - 'a' + 'A');
    return 0;
}

} // namespace plox
