#include "app/cli_analysis.h"

#include "analysis/series_analysis.h"
#include "document/document_io.h"
#include "document/paths.h"
#include "extension/analysis.h"
#include "extension/bindings.h"
#include "extension/module.h"
#include "render/axes.h"
#include "render/render_context.h"

#include <cstdio>

namespace plox::app {

Answer StderrPrompter::message(std::string_view, std::string_view text, Buttons, Icon icon) {
    std::fprintf(stderr, "ploxwin: %.*s\n", static_cast<int>(text.size()), text.data());
    if (icon == Icon::Error) ++errors;
    return Answer::Ok;
}

struct BatchAnalysis::Modules {
    ModuleBinding binding;
    std::unique_ptr<ModuleLinearSolver> solver;
    std::unique_ptr<ModuleFunctions> functions;
    std::unique_ptr<ModuleConverter> converter;
    std::unique_ptr<ModuleDocumentLines> document_lines;
    DataContext data;
};

BatchAnalysis::BatchAnalysis() : modules_(std::make_unique<Modules>()) {}
BatchAnalysis::~BatchAnalysis() = default;

bool BatchAnalysis::open(const std::string& document) {
    Modules& m = *modules_;
    m.binding = bind_modules(prompter_);
    if (!m.binding.ok()) return false;
    const ExtensionModule& module = *m.binding.extension;
    m.solver = std::make_unique<ModuleLinearSolver>(module);
    m.functions = std::make_unique<ModuleFunctions>(module);
    m.converter = std::make_unique<ModuleConverter>(m.binding.converter.get());
    m.document_lines = std::make_unique<ModuleDocumentLines>(module, m.binding.converter.get());
    m.data = DataContext{&prompter_, m.functions.get(), m.converter.get(), nullptr};

    IoContext io;
    io.prompter = &prompter_;
    io.extension = m.document_lines.get();
    io.ask_before_overwrite = false;
    const IoStatus status = load_document(document, set_, io);
    if (!status.ok()) {
        if (status.message.empty())
            std::fprintf(stderr, "ploxwin: cannot read %s\n", document.c_str());
        return false;
    }
    // Automatic ranges and normalised axes, as the drawing prepares them before any series.
    RenderContext render;
    render.prompter = &prompter_;
    render.data = m.data;
    for (auto& graph : set_.graphs)
        prepare_axes(*graph, render);
    return true;
}

SeriesAnalysis BatchAnalysis::analyse(Graph& graph, int index) {
    SeriesAnalysis result;
    Modules& m = *modules_;
    Series& series = graph.series[static_cast<size_t>(index)];
    const std::string name = paths::display_name(series.file_name);

    if (series.kind & (kind::Extension1 | kind::Extension2)) {
        result.analysed = true;
        const ExtensionModule& module = *m.binding.extension;
        auto points = build_series(graph, index, build_kind_for(series), m.data);
        if (!points) {
            std::fprintf(stderr, "ploxwin: %s: no data points\n", name.c_str());
            return result;
        }
        if ((series.kind & kind::Mask1F6) && !series.CountOutArea)
            exclude_outside(graph, series, points->x, points->y);
        const std::vector<double> positions = generate_curve_x(series, 0);
        draw_extension_analysis(
            module, series, name, points->x, points->y, positions, prompter_,
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

    AnalysisContext context;
    context.solver = m.solver.get();
    context.prompter = &prompter_;
    context.functions = m.functions.get();
    const AnalysisRun run = run_analysis(graph, index, context, m.data);
    if (run.status == AnalysisRun::Status::NotAnalysed) return result;
    result.analysed = true;
    if (run.status == AnalysisRun::Status::NoPoints) {
        std::fprintf(stderr, "ploxwin: %s: no data points\n", name.c_str());
        return result;
    }
    result.ok = run.status == AnalysisRun::Status::Ok;
    result.curve = run.curve;
    if (result.ok) result.results = results_list(series);
    return result;
}

} // namespace plox::app
