// The curve source the program binds for drawing: fits and splines computed from the points
// the drawing built, extension analyses through a hook of the extension host.
#pragma once

#include "analysis/series_analysis.h"
#include "render/series_drawing.h"

namespace plox {

class AnalysisCurves : public CurveSource {
public:
    // Kinds 256 and 512: the extension host's drawing of an analysis (its pieces, last first).
    using ExtensionCurves = std::function<void(Graph& graph, int index, std::span<const double> x,
                                               std::span<const double> y, const CurveSink& draw)>;

    // context.solver may be null: least-squares and general fits then draw nothing.
    explicit AnalysisCurves(const AnalysisContext& context, ExtensionCurves extension = {})
        : context_(context), extension_(std::move(extension)) {}

    void curves(Graph& graph, int index, std::span<const double> x, std::span<const double> y,
                const CurveSink& draw) override;

private:
    AnalysisContext context_;
    ExtensionCurves extension_;
};

} // namespace plox
