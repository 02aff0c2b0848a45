// Field expansion of rich-text markup (file names, dates, times, values read from data files),
// and the edits that keep series references in texts in step with the series list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/graph_ops.h" // compact_objects
#include "document/model.h"

namespace plox {

// Capacity of one expanded line and of one field's text, counting the terminating NUL.
inline constexpr size_t RICH_LINE_CAPACITY = 512;

struct Stamp {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0; // local time
};

// Where field texts come from; the default reads the file system and the local clock.
class FieldSources {
public:
    virtual ~FieldSources() = default;
    virtual Stamp now() const;
    virtual std::optional<Stamp> file_time(const std::string& path) const;
    // Line `number` (1-based) of a text file without its line ending, cut to `max_bytes`.
    virtual std::optional<std::string> file_line(const std::string& path, int number,
                                                 size_t max_bytes) const;
};

const FieldSources& system_field_sources();

struct ExpandedLine {
    std::string text;               // at most RICH_LINE_CAPACITY - 1 bytes
    std::optional<int32_t> advance; // set by "%W": the line advance in logical units
};

// Splits `markup` at "\n" and expands every field of every line.
std::vector<ExpandedLine> expand_fields(const Graph& graph, std::string_view markup,
                                        const FieldSources& sources = system_field_sources());

// Index (0-based) of the series that markup number dd names, or -1 when there is none.
int series_for_number(const Graph& graph, int number);

// "my_data.qvp" → "MY\_DATA.QVP" (or lower case): the base name with its underscores escaped.
std::string file_name_field(std::string_view path, bool upper);

// Rewrites "%dd" series references in every text object after series were deleted or moved:
// new_index[old] is the series' new 0-based index, or -1 when it was deleted.
void renumber_series_references(Graph& graph, const std::vector<int>& new_index);
std::string renumber_series_references(std::string_view markup, const std::vector<int>& new_index);

} // namespace plox
