// The layouts before 1.7: the object sections [TITLE], [ARROW] and [DOT] and the text codes of
// 1.0 and 1.1.
#pragma once

#include "document/model.h"
#include "document/text_lines.h"

#include <string>
#include <string_view>

namespace plox {

namespace legacy {

// Slots the sections fill: arrows from 0, point objects from 50, texts from 100.
inline constexpr int FIRST_POINT_SLOT = 50;
inline constexpr int FIRST_TEXT_SLOT = 100;

// Reads [TITLE], [ARROW] and [DOT] of a document of version `code` (1.0 to 1.6).
void read_object_sections(LineReader& r, Graph& g, int code);

// "%D12" becomes "%12E" and "%N03" becomes "%03N": the field codes of 1.0 and 1.1.
std::string rewrite_percent_codes(std::string_view text);

// The values line of a point object (first point, plot type, widths, colours, fill), as every
// version writes it; returns how many values were read.
int scan_point_object_line(std::string_view line, GraphObject& o);

} // namespace legacy
} // namespace plox
