// Extension analyses on a series: set-up from the menu, computation and curves while drawing,
// result lines, and the block's state lines in documents. Core only: the curve dialog and the
// results dialog come from the UI through AnalysisUi, messages through the Prompter.
#pragma once

#include "document/model.h"
#include "extension/module.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

class Prompter;
class SettingsStore;

// The module's calls on one series' analysis (named by series.analysis_name, block in
// series.extension). Every call is safe when an export is missing: it then does nothing.
class ExtensionAnalyses {
public:
    explicit ExtensionAnalyses(const ExtensionModule& module) : module_(module) {}

    // InitExternalAnalyze for the series' analysis name; creates the series' block holder.
    int32_t init(Series& series, void* window, bool quiet, int32_t* has_curve = nullptr,
                 int32_t* show_result = nullptr) const;
    // SetExternalAnalyzeFirst; an old analysis name the module rewrites is stored back.
    int32_t compute(Series& series, std::span<const double> x, std::span<const double> y) const;
    // SetExternalAnalyzeSecond for one component; curve_x holds the positions and may be
    // rewritten, curve_y receives as many values.
    int32_t curve(Series& series, int32_t component, std::span<double> curve_x,
                  std::span<double> curve_y, std::span<const double> x,
                  std::span<const double> y) const;
    std::vector<std::string> result_lines(const Series& series) const;
    // SaveExternalAnalyze: the count line and the lines after it, without line ends.
    std::vector<std::string> save_lines(const Series& series) const;
    void load_line(Series& series, std::string_view line, int index) const;

private:
    const ExtensionModule& module_;
};

// What the menu command needs from the UI.
class AnalysisUi {
public:
    virtual ~AnalysisUi() = default;
    // The curve dialog (from, to, points, line) for a series whose analysis asked for it.
    virtual void edit_curve(Series& series) = 0;
    // The results dialog titled `title` with the module's lines.
    virtual void show_results(std::string_view title, const std::vector<std::string>& lines) = 0;
};

// Step 2 of running analysis `key` (command 681 + i) on one chosen series: frees a block of
// another analysis, sets the analysis up (dialog unless the module decides otherwise) and
// gives the series its kind and curve settings. Returns the module's show-result flag.
bool set_up_analysis(const ExtensionModule& module, Graph& graph, Series& series,
                     const std::string& key, const SettingsStore& settings, AnalysisUi& ui,
                     void* window = nullptr);

// Step 4, after the redraw: the results dialog "Result" for a valid analysis, otherwise
// "失敗しました".
void report_analysis(const ExtensionModule& module, const Series& series, Prompter& prompter,
                     AnalysisUi& ui);

// Draws one computed curve: curve X then curve Y, equally long.
using CurveSink = std::function<void(std::span<const double> x, std::span<const double> y)>;

// The drawing of a series of kind 256 or 512 after its points are built: checks and clears
// needs_reading, computes, and hands every curve component from the highest to 0 that the
// module produces (answers valid) to `draw`.
// curve_positions are the series' curve X positions (generate_curve_x, axis type 0);
// display_name is the series' name as shown to the user (UTF-8).
void draw_extension_analysis(const ExtensionModule& module, Series& series,
                             std::string_view display_name, std::span<const double> x,
                             std::span<const double> y, std::span<const double> curve_positions,
                             Prompter& prompter, const CurveSink& draw);

} // namespace plox
