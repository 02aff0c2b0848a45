// Objects on the clipboard: the four formats by selection kind, the fixed little-endian record
// that carries one object between running copies, and clipboard text turned into a text.
#pragma once

#include "document/model.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox::editing {

// The formats, as MIME types of the platform clipboard ("PloxLegend", "PloxDot", "PloxRect",
// "PloxArrow" in that order of precedence when pasting).
inline constexpr const char* LEGEND_FORMAT = "application/x-plox-legend";
inline constexpr const char* DOT_FORMAT = "application/x-plox-dot";
inline constexpr const char* RECT_FORMAT = "application/x-plox-rect";
inline constexpr const char* ARROW_FORMAT = "application/x-plox-arrow";
inline constexpr const char* PASTE_ORDER[4] = {LEGEND_FORMAT, DOT_FORMAT, RECT_FORMAT,
                                               ARROW_FORMAT};

// The format of an object by its type; null for a free slot.
const char* clipboard_format(const GraphObject& o);

// The record is OBJECT_RECORD_SIZE bytes, every integer little-endian, doubles as IEEE 754
// bit patterns in little-endian order:
//   0   int32 Type               4  int32 x          8  int32 y
//   12  double position[4]       44 int32 Length, RefX, RefY, Pitch, LineWidth, LineStyle,
//                                   Color, Color2, Back, PlotType, Size1, Size2, Open, Shut,
//                                   DotStyle, fill colour, Hatch, alignment (18 values)
//   116 int32 picture box[4]
//   132 three fonts of 60 bytes each (the binary font setting: five int32 height, width,
//       escapement, orientation, weight; eight bytes italic … pitch and family; 32 bytes of
//       NUL-padded face name)
//   312 512 bytes of contents: the NUL-terminated text or picture path, or for point objects
//       ten int32 pairs x, y
// The extent is not carried: it is recomputed by the next drawing.
inline constexpr size_t OBJECT_RECORD_SIZE = 824;

std::vector<uint8_t> encode_object(const GraphObject& o);

// The object of a record, or nothing when the size is wrong or a field is out of its range
// (unknown type, unterminated text, point count beyond 10, positions that are not finite or
// lie far off the page).
std::optional<GraphObject> decode_object(const std::vector<uint8_t>& bytes);

// Clipboard text as a text object's string: each CR becomes a backslash and each LF an "n",
// cut to 511 characters.
std::string text_from_clipboard(std::string_view text);

} // namespace plox::editing
