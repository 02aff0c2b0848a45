// The numbers behind a graph as text: the points of chosen series saved to files or copied to
// the clipboard, the points of their computed curves copied, clipboard text kept as a data file,
// and the command line that hands a data file to the user's editor.
#pragma once

#include "data/series_builder.h"
#include "render/render_context.h"

#include <optional>
#include <string>
#include <vector>

namespace plox {

// Series kinds the choosers list: every kind (save, copy, edit) or those with a computed curve.
inline constexpr int32_t EVERY_KIND_MASK = 0x7FF;
inline constexpr int32_t CURVE_KIND_MASK = 0x3F6;
// Indices of the graph's series whose kind is in `mask`, in order.
std::vector<int> series_of_kinds(const Graph& graph, int32_t mask);

// Where the points go; the window implements it with its save dialog and the clipboard.
class DataOutTarget {
public:
    virtual ~DataOutTarget() = default;
    // The save dialog for one series ("*.*", overwrite prompt), proposing its file path;
    // nothing when cancelled.
    virtual std::optional<std::string> file_name(const std::string& proposed) = 0;
    // Replaces the text on the clipboard; false when the clipboard cannot be used.
    virtual bool set_clipboard_text(const std::string& text) = 0;
};

struct DataOutOptions {
    bool curve = false;   // the points of the series' computed curve instead of its data
    bool to_file = false; // a file per series; else the clipboard (each series replaces it)
};

struct DataOutResult {
    int written = 0;        // files written or texts copied
    bool cancelled = false; // a save dialog was cancelled: no further series were asked for
};

// For each chosen series in order: the file name (to file), the points as plotted with points
// outside the axes missing (unless CountOutArea or kind 512), or the curve computed from them,
// in the exported line format. A file that cannot be created is skipped without a message.
// The axes are prepared as a drawing prepares them, so automatic ranges decide what lies out.
DataOutResult save_or_copy_points(Graph& graph, const std::vector<int>& chosen,
                                  const DataOutOptions& options, DataOutTarget& target,
                                  RenderContext& context);

// The curve of series `index` computed from `points` (the first, whole piece the source hands
// over), in data values: spline curves come in axis coordinates and are mapped back.
std::optional<PointArrays> series_curve(Graph& graph, int index, const PointArrays& points,
                                        RenderContext& context);

// Writes `bytes` as a new file of unique name in `directory` (ending in a separator); the
// path, or nothing when no file could be written.
std::optional<std::string> write_temporary_data(const std::string& directory,
                                                const std::string& bytes);

// Creates an empty file that must not exist yet (a new data file); false when the name is
// taken or the file cannot be created, leaving any existing file untouched.
bool create_new_file(const std::string& path);

// How the editor is found on this system; `found` tells whether a program can be run.
struct EditorEnvironment {
    std::string visual, editor; // $VISUAL and $EDITOR
    std::function<bool(const std::string& program)> found;
};

// The program and arguments that open `path` in an editor: the "Editor" setting (a command line
// to which the path is added) when its program exists; else $VISUAL or $EDITOR in a terminal
// (x-terminal-emulator, else xterm); else the desktop's default for the file (xdg-open).
// Empty when nothing can be run.
std::vector<std::string> editor_command(const std::string& setting, const std::string& path,
                                        const EditorEnvironment& environment);

} // namespace plox
