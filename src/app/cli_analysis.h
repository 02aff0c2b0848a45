// What --fit-report and --export-data --curves share: a batch session with the extension
// module required, and one series' analysis computed as a first drawing computes it.
#pragma once

#include "app/batch_session.h"
#include "data/series_builder.h"
#include "document/model.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plox::app {

struct SeriesAnalysis {
    bool analysed = false; // the series has a fit, spline or extension analysis
    bool ok = false;
    std::optional<PointArrays> curve; // the fitted, interpolated or (highest) extension curve
    std::vector<std::string> results; // the results list of a valid fit or extension analysis
};

class BatchAnalysis {
public:
    BatchAnalysis();
    ~BatchAnalysis();
    // Binds the extension module and reads the document; false after a message on stderr.
    bool open(const std::string& document);

    GraphSet& graphs() { return session_.graphs(); }
    // Series `index` (from 0) of graph `graph`: computed once, as the first drawing would.
    SeriesAnalysis analyse(Graph& graph, int index);

private:
    SeriesAnalysis analyse_extension(Graph& graph, int index);

    BatchSession session_;
    struct Solver;
    std::unique_ptr<Solver> solver_;
};

} // namespace plox::app
