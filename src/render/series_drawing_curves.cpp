// Fits, splines and extension analyses as curves for the series drawing.
#include "render/series_drawing_curves.h"

namespace plox {

void AnalysisCurves::curves(Graph& graph, int index, std::span<const double> x,
                            std::span<const double> y, const CurveSink& draw) {
    Series& series = graph.series[static_cast<size_t>(index)];
    if (series.kind & (kind::Extension1 | kind::Extension2)) {
        if (extension_) extension_(graph, index, x, y, draw);
        return;
    }
    AnalysisContext ctx = context_;
    ctx.series_number = index + 1;
    std::optional<PointArrays> curve;
    if (series.kind == kind::Spline) {
        curve = spline_curve(graph, series, x, y, ctx);
    } else if (ctx.solver && (series.kind & kind::LeastSquares)) {
        curve = series.kind == kind::General ? fit_general_function(series, x, y, ctx)
                                             : fit_least_squares(series, x, y, ctx);
    }
    if (curve && curve->size() > 0) draw(curve->x, curve->y);
}

} // namespace plox
