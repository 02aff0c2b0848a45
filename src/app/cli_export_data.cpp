// --export-data OUT DOC --series S [--graph G]: the points of one series as plotted (after
// transforms, averaging and masks, outside the axes marked missing) in the data export format.
#include "app/batch_session.h"
#include "app/cli.h"
#include "document/file_access.h"

#include "data/point_export.h"
#include "document/paths.h"
#include "render/axes.h"

#include <algorithm>

namespace plox::app {

int cli_export_data(const Args& args) {
    if (has_flag(args, "--curves")) return cli_export_curves(args);
    const auto files = positionals(args, {"--series", "--graph"});
    if (files.size() != 2)
        return cli_fail("usage: ploxwin --export-data OUT DOC --series S [--graph G]");
    const int series_number = positive_option(args, "--series", 0);
    const int graph_number = positive_option(args, "--graph", 1);
    if (series_number < 1) return cli_fail("--series needs a series number from 1");
    if (graph_number < 1) return cli_fail("--graph needs a graph number from 1");

    BatchSession session;
    // Without the extension module the points are still exported; only its extra functions
    // and converters are missing then.
    session.bind_modules(BatchSession::Modules::Optional);
    if (!session.load(files[1])) return 1;
    auto& graphs = session.graphs().graphs;
    if (graph_number > static_cast<int>(graphs.size()))
        return cli_fail("the document has no graph " + std::to_string(graph_number));
    Graph& graph = *graphs[static_cast<size_t>(graph_number - 1)];
    if (series_number > std::min(graph.series_count, MAX_SERIES))
        return cli_fail("graph " + std::to_string(graph_number) + " has no series " +
                        std::to_string(series_number));

    // The axes as the drawing would use them: automatic ranges decide what lies outside.
    RenderContext render = session.render_context();
    prepare_axes(graph, render);

    const int index = series_number - 1;
    const auto points = exported_points(graph, index, render.data);
    if (!points)
        return cli_fail("series " + std::to_string(series_number) + " has no points (" +
                        paths::display_name(graph.series[static_cast<size_t>(index)].file_name) +
                        ")");

    // Atomic: on a full disk the previous file stays as it was.
    std::string message;
    if (!files::write_atomically(files[0], format_exported_points(points->x, points->y), message))
        return cli_fail(message);
    return 0;
}

} // namespace plox::app
