// --export-data OUT DOC --series S [--graph G] --curves: the points of the series' computed
// curve (fit, spline in axis coordinates, or extension analysis) in the data export format.
#include "app/cli.h"
#include "app/cli_analysis.h"
#include "data/point_export.h"

#include <charconv>
#include <cstdio>
#include <fstream>

namespace plox::app {

namespace {

// 1-based number of an option, or 0 when it is not a positive integer.
int number_option(const Args& args, std::string_view name, int fallback) {
    const std::string text = option_value(args, name);
    if (text.empty()) return has_flag(args, name) ? 0 : fallback;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value > 0 ? value : 0;
}

// The arguments that are neither options nor option values.
std::vector<std::string> positionals(const Args& args) {
    std::vector<std::string> result;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--series" || args[i] == "--graph") {
            ++i;
            continue;
        }
        if (args[i].rfind("--", 0) == 0) continue;
        result.push_back(args[i]);
    }
    return result;
}

} // namespace

int cli_export_curves(const Args& args) {
    const auto files = positionals(args);
    if (files.size() != 2)
        return cli_fail("usage: ploxwin --export-data OUT DOC --series S [--graph G] --curves");
    const int series_number = number_option(args, "--series", 0);
    const int graph_number = number_option(args, "--graph", 1);
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
    std::ofstream out(files[0], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) return cli_fail("cannot write " + files[0]);
    return 0;
}

} // namespace plox::app
