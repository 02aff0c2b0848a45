// --export-data OUT DOC --series S [--graph G] --curves: the points of the series' computed
// curve (fit, spline in axis coordinates, or extension analysis) in the data export format.
#include "app/cli.h"
#include "app/cli_analysis.h"
#include "data/point_export.h"
#include "document/file_access.h"

namespace plox::app {

int cli_export_curves(const Args& args) {
    const auto files = positionals(args, {"--series", "--graph"});
    if (files.size() != 2)
        return cli_fail("usage: ploxwin --export-data OUT DOC --series S [--graph G] --curves");
    const int series_number = positive_option(args, "--series", 0);
    const int graph_number = positive_option(args, "--graph", 1);
    if (series_number < 1) return cli_fail("--series needs a series number from 1");
    if (graph_number < 1) return cli_fail("--graph needs a graph number from 1");

    BatchAnalysis batch;
    if (!batch.open(files[1])) return 1;
    auto& graphs = batch.graphs().graphs;
    if (graph_number > static_cast<int>(graphs.size()))
        return cli_fail("the document has no graph " + std::to_string(graph_number));
    Graph& graph = *graphs[static_cast<size_t>(graph_number - 1)];
    if (series_number > std::min(graph.series_count, MAX_SERIES))
        return cli_fail("graph " + std::to_string(graph_number) + " has no series " +
                        std::to_string(series_number));

    const SeriesAnalysis a = batch.analyse(graph, series_number - 1);
    if (!a.analysed)
        return cli_fail("series " + std::to_string(series_number) + " has no computed curve");
    if (!a.ok || !a.curve)
        return cli_fail("the curve of series " + std::to_string(series_number) +
                        " could not be computed");

    const std::string text = format_exported_points(a.curve->x, a.curve->y);
    // Atomic: on a full disk the previous file stays as it was.
    std::string message;
    if (!files::write_atomically(files[0], text, message)) return cli_fail(message);
    return 0;
}

} // namespace plox::app
