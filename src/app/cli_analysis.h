// What --fit-report and --export-data --curves share: the extension module, a document read
// without a window, and one series' analysis computed as a first drawing computes it.
#pragma once

#include "data/series_builder.h"
#include "document/model.h"
#include "document/prompter.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plox::app {

// Messages go to standard error as "ploxwin: TEXT"; error messages are counted.
class StderrPrompter : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override;
    int errors = 0;
};

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

    GraphSet& graphs() { return set_; }
    // Series `index` (from 0) of graph `graph`: computed once, as the first drawing would.
    SeriesAnalysis analyse(Graph& graph, int index);
    StderrPrompter& prompter() { return prompter_; }

private:
    struct Modules;
    std::unique_ptr<Modules> modules_;
    StderrPrompter prompter_;
    GraphSet set_;
};

} // namespace plox::app
