// The [DATA] section: data and picture files embedded byte for byte behind a document, and
// their restoration into the temporary directory.
#pragma once

#include "document/model.h"
#include "document/text_lines.h"

#include <ctime>
#include <string>
#include <vector>

namespace plox {

struct IoContext;

// Files a section holds for these graphs: series files (not function series) and picture files,
// each path once (case-insensitively), at the place of its last occurrence.
std::vector<std::string> data_section_files(const std::vector<const Graph*>& graphs);

// Appends one block per readable file (not the "[DATA]" line); unreadable files are left out.
void write_data_blocks(LineWriter& w, const std::vector<std::string>& files, IoContext& ctx);

// Local date and time of a moment in the two-second steps of the stamp line.
std::tm stamp_time(std::time_t t);

// Restores every block after the "[DATA]" line into the temporary directory, asking before
// differing files are overwritten (ask false: no questions). Returns false when a block could
// not be written or was damaged: the extraction stops there and the problem is reported. Blocks
// without a size end at `end_line` ("[End of Data]"; Ngraph projects: "[EOF]").
bool extract_data_blocks(LineReader& r, IoContext& ctx, bool ask,
                         std::string_view end_line = "[End of Data]");

// The temporary directory of the context, with a trailing separator.
std::string temp_directory(const IoContext& ctx);

} // namespace plox
