#include "extension/render_binding.h"

#include "data/series_builder.h"
#include "document/paths.h"
#include "extension/analysis.h"

namespace plox {

ModuleRenderBinding::ModuleRenderBinding(const ExtensionModule& module, Prompter* prompter)
    : module_(module), prompter_(prompter), solver_(module), functions_(module), markers_(module) {
    AnalysisContext analysis;
    analysis.solver = &solver_;
    analysis.prompter = prompter_;
    analysis.functions = &functions_;
    curves_ = std::make_unique<AnalysisCurves>(
        analysis, [this](Graph& graph, int index, std::span<const double> x,
                         std::span<const double> y, const CurveSink& draw) {
            if (!prompter_) return;
            Series& series = graph.series[static_cast<size_t>(index)];
            const std::vector<double> positions = generate_curve_x(series, 0);
            draw_extension_analysis(module_, series, paths::display_name(series.file_name), x, y,
                                    positions, *prompter_, draw);
        });
}

void ModuleRenderBinding::bind(RenderContext& context) {
    context.curves = curves_.get();
    context.external_markers = &markers_;
    context.data.functions = &functions_;
}

} // namespace plox
