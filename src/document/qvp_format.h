// The graph body of a QVP document (everything after the version line and before [DATA]):
// the positional reader and the 1.8 writer. Whole-file handling is in document_io.
#pragma once

#include "document/model.h"
#include "document/text_lines.h"

#include <string>

namespace plox {

struct IoContext;

// What the lines of a document say beyond the graph itself.
struct ReadInfo {
    int32_t with_data = 0;      // a [DATA] section follows
    int32_t same_directory = 0; // bare series names mean "next to the document"
    std::string saved_path;     // t6: where the document was written
    int series_skipped = 0;     // series beyond the limit of 50
};

// Reads the body of a document of version `code` into `g` (created with defaults). Short lines
// take the documented fill-in values; a truncated body leaves the rest at defaults. Returns false
// for versions this reader does not handle.
bool read_graph_body(LineReader& r, Graph& g, int code, ReadInfo& info, IoContext& ctx);

struct WriteOptions {
    bool with_data = false;
    bool same_directory = true;     // SavePath setting
    std::string document_path;      // where the document is written (t6, same-directory rule)
    bool template_document = false; // no series, no masks
};

// Appends the version line and body of a 1.8 document (not the [DATA] section).
void write_graph_document(LineWriter& w, const Graph& g, const WriteOptions& o, IoContext& ctx);
// The same in the 1.5 layout that the 16-bit edition reads: fonts in whole points, the object
// sections [TITLE], [ARROW] and [DOT], no page fields, no document path.
void write_graph_document_1_5(LineWriter& w, const Graph& g, const WriteOptions& o, IoContext& ctx);

// Font record: two lines, the escapement stored negated. Up to 1.5 heights are whole points.
void write_font(LineWriter& w, const LogFont& f, bool points = false);
void read_font(LineReader& r, LogFont& f, bool points = false);

// The object line of arrows, lines, rectangles and pictures; with 15 values or fewer the head
// style, `Open` and `Shut` take their defaults.
void read_object_line(LineReader& r, GraphObject& o);

} // namespace plox
