#include "app/cli_analysis.h"

#include "analysis/series_analysis.h"
#include "document/paths.h"
#include "extension/analysis.h"
#include "extension/bindings.h"
#include "extension/module.h"
#include "render/axes.h"

#include <cstdio>

namespace plox::app {

struct BatchAnalysis::Solver {
    explicit Solver(const ExtensionModule& module) : solver(module), functions(module) {}
    ModuleLinearSolver solver;
    ModuleFunctions functions;
};

BatchAnalysis::BatchAnalysis() = default;
BatchAnalysis::~BatchAnalysis() = default;

bool BatchAnalysis::open(const std::string& document) {
    if (!session_.bind_modules(BatchSession::Modules::Required)) return false;
    solver_ = std::make_unique<Solver>(*session_.module());
    if (!session_.load(document)) return false;
    // Automatic ranges and normalised axes, as the drawing prepares them before any series.
    RenderContext render = session_.render_context();
    for (auto& graph : session_.graphs().graphs)
        prepare_axes(*graph, render);
    return true;
}

SeriesAnalysis BatchAnalysis::analyse_extension(Graph& graph, int index) {
    SeriesAnalysis result;
    result.analysed = true;
    Series& series = graph.series[static_cast<size_t>(index)];
    const std::string name = paths::display_name(series.file_name);
    const ExtensionModule& module = *session_.module();
    const DataContext data = session_.data();
    auto points = build_series(graph, index, build_kind_for(series), data);
    if (!points) {
        cli_fail(name + ": no data points");
        return result;
    }
    if ((series.kind & kind::AreaLimitedFit) && !series.CountOutArea)
        exclude_outside(graph, series, points->x, points->y);
    const std::vector<double> positions = generate_curve_x(series, 0);
    draw_extension_analysis(
        module, series, name, points->x, points->y, positions, session_.prompter(),
        [&](std::span<const double> x, std::span<const double> y) {
            // Components come from the highest (the whole model) down.
            if (!result.curve)
                result.curve = PointArrays{{x.begin(), x.end()}, {y.begin(), y.end()}};
        });
    result.ok = series.analysis_valid != 0;
    if (result.ok) {
        result.results = ExtensionAnalyses(module).result_lines(series);
    } else {
        result.curve.reset();
    }
    return result;
}

SeriesAnalysis BatchAnalysis::analyse(Graph& graph, int index) {
    Series& series = graph.series[static_cast<size_t>(index)];
    if (series.kind & (kind::Extension1 | kind::Extension2)) return analyse_extension(graph, index);

    SeriesAnalysis result;
    AnalysisContext context;
    context.solver = &solver_->solver;
    context.prompter = &session_.prompter();
    context.functions = &solver_->functions;
    const AnalysisRun run = run_analysis(graph, index, context, session_.data());
    if (run.status == AnalysisRun::Status::NotAnalysed) return result;
    result.analysed = true;
    if (run.status == AnalysisRun::Status::NoPoints) {
        cli_fail(paths::display_name(series.file_name) + ": no data points");
        return result;
    }
    result.ok = run.status == AnalysisRun::Status::Ok;
    result.curve = run.curve;
    if (result.ok) result.results = results_list(series);
    return result;
}

} // namespace plox::app
