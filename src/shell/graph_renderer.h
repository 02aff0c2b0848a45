// Paints graphs on the page window through the renderer: the body replayed from its cached
// recording (made on demand), then the annotation objects drawn live.
#pragma once

#include "render/render_context.h"
#include "shell/app_state.h"

#include <QPointF>
#include <memory>

class QPainter;

namespace plox {
class ExternalMarkers;
class ExtensionFunctions;
class Converter;
class ModuleRenderBinding;
class Prompter;
class QtTextMeasurer;
class QtPictureLoader;
struct FontMapping;
} // namespace plox

namespace plox::shell {

class GraphRenderer {
public:
    GraphRenderer();
    ~GraphRenderer();

    Prompter* prompter = nullptr;
    ExternalMarkers* markers = nullptr;
    ExtensionFunctions* functions = nullptr;
    Converter* converter = nullptr;
    // Fits, splines and extension analyses; null: series draw without their curves.
    ModuleRenderBinding* curves = nullptr;
    const FontMapping* font_mapping = nullptr; // null: the built-in GRA font table

    // What a drawing of the window's graphs needs: modules, settings, measurer, pictures.
    RenderContext context(const AppState& state);

    // `scale`: device pixels per logical unit; `origin`: device position of logical (0, 0).
    void paint(QPainter& painter, Graph& graph, const AppState& state, double scale,
               QPointF origin);

    // Runs the automatic range of one axis (0..3) of `graph` now, reading its series.
    void auto_scale(Graph& graph, const AppState& state, int axis);

private:
    std::unique_ptr<QtTextMeasurer> measurer_;
    std::unique_ptr<QtPictureLoader> pictures_;
};

} // namespace plox::shell
