// --fit-report DOC: every fitted series of every graph, computed as a first drawing computes
// it, with its results list; the exit status says whether every fit succeeded.
#include "app/cli.h"
#include "app/cli_analysis.h"
#include "document/paths.h"

#include <cstdio>

namespace plox::app {

int cli_fit_report(const Args& args) {
    if (args.size() < 2 || args[1].rfind("--", 0) == 0)
        return cli_fail("usage: ploxwin --fit-report DOC");
    BatchAnalysis batch;
    if (!batch.open(args[1])) return 1;

    bool failed = false;
    auto& graphs = batch.graphs().graphs;
    for (size_t g = 0; g < graphs.size(); ++g) {
        Graph& graph = *graphs[g];
        for (int s = 0; s < std::min(graph.series_count, MAX_SERIES); ++s) {
            const Series& series = graph.series[static_cast<size_t>(s)];
            // Splines have no results list; everything else with a result is reported.
            if (!(series.kind & (kind::LeastSquares | kind::Extension1 | kind::Extension2)))
                continue;
            const SeriesAnalysis a = batch.analyse(graph, s);
            if (!a.analysed) continue;
            std::printf("graph %zu series %d %s\n", g + 1, s + 1,
                        paths::display_name(series.file_name).c_str());
            for (const auto& line : a.results)
                std::printf("%s\n", line.c_str());
            failed = failed || !a.ok;
        }
    }
    std::fflush(stdout);
    return failed ? 1 : 0;
}

} // namespace plox::app
