// What a drawing needs from the extension module: fits and splines solved with its
// GaussJordan, extension analyses drawn by the module, its marker shapes and extra functions.
// The program (window and batch export alike) binds one of these into every RenderContext.
#pragma once

#include "analysis/series_analysis.h"
#include "extension/bindings.h"
#include "render/render_context.h"
#include "render/series_drawing_curves.h"

#include <memory>

namespace plox {

class ModuleRenderBinding {
public:
    ModuleRenderBinding(const ExtensionModule& module, Prompter* prompter);

    // Fills the curve source, marker shapes and extension functions of `context`.
    void bind(RenderContext& context);

private:
    const ExtensionModule& module_;
    Prompter* prompter_;
    ModuleLinearSolver solver_;
    ModuleFunctions functions_;
    ModuleMarkers markers_;
    std::unique_ptr<AnalysisCurves> curves_;
};

} // namespace plox
