// The operations every part of the program performs on graphs and the graph set: creating,
// adding and freeing graphs, adding series under the 50-series limit, moving the frame, the two
// document flags and the object slots.
#pragma once

#include "document/model.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace plox {

class Prompter;

// A graph with every field at its default, named `name`.
std::unique_ptr<Graph> create_graph(std::string_view name = {});

// Reads a template into a freshly created graph; false when it could not be read.
using TemplateReader = std::function<bool(Graph&)>;

// Appends a new graph (filled by `read_template` when given) and makes it current. A graph whose
// template fails is reset to the defaults. Returns nullptr when 20 graphs are open.
Graph* add_graph(GraphSet& set, const TemplateReader& read_template = {});

// Removes graph `index`, keeping the order of the others. Removing the only graph leaves one new
// empty graph; the current graph stays the same one or, when it was removed, becomes the last.
void free_graph(GraphSet& set, int index, const TemplateReader& read_template = {});

// A graph counts as empty when it has no series and its scales are not valid.
bool is_empty_graph(const Graph& g);

enum class LimitMessage {
    Interactive, // "%d個以上のファイルは開けません"
    Reading      // "cannot open over %d files" (while reading a document)
};

// Initialises the next series entry with the defaults and returns its index; at the limit of 50
// reports through `prompter` (when given) and returns -1, leaving the graph unchanged.
int add_series(Graph& g, std::string_view file_name, Prompter* prompter,
               LimitMessage which = LimitMessage::Interactive);

// The text add_series shows at the limit (UTF-8).
std::string series_limit_message(LimitMessage which);

// Keeps every frame value within 1000..28000 and right and bottom edges at most 32000.
void clamp_frame(int32_t& left, int32_t& top, int32_t& width, int32_t& height);

// Moves the axis titles with the frame (halves of the size change truncated toward zero), then
// stores the (clamped) frame.
void set_frame(Graph& g, int32_t left, int32_t top, int32_t width, int32_t height);
// The same without clamping, for callers that apply limits of their own (the frame page).
void place_frame(Graph& g, int32_t left, int32_t top, int32_t width, int32_t height);

// Clears the unmodified flag and drops the cached drawing.
void mark_modified(Graph& g);
void mark_saved(Graph& g);
// Forces automatic ranges on the next drawing.
void invalidate_scales(Graph& g);
// After the axis ranges changed: analyses that leave out the points outside the graph
// (`CountOutArea` 0) are computed again, as they would be when the document is opened again.
void reread_range_analyses(Graph& g);

// Lowest free object slot, or -1.
int find_free_object_slot(const Graph& g);
int count_objects(const Graph& g, int32_t type);
// Slot of the first object of `type`, or -1 (axis titles exist at most once).
int find_object(const Graph& g, int32_t type);
// Moves the used slots down over the free ones, keeping their order; text objects (types 4 to 8)
// with an empty text are dropped.
void compact_objects(Graph& g);
// Frees slot `slot` and compacts.
void delete_object(Graph& g, int slot);

// Keeps the series codes of the text objects ("%01E", "%02N", "%03C0102" …) pointing at the same
// series after series were closed or reordered: `old_to_new[i]` is the new index of the series
// that had index i (-1: closed), `old_shown[i]` whether it was shown. Numbers count every series
// or only the shown ones, as the graph says. Codes of closed series are taken out of the texts;
// codes that named no series stay as typed.
void renumber_series_references(Graph& g, const std::vector<int>& old_to_new,
                                const std::vector<bool>& old_shown);
// Closes series `index`: the series after it move down one place, text codes follow them.
void close_series(Graph& g, int index);

} // namespace plox
