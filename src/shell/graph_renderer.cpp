// Screen drawing of one graph.
#include "shell/graph_renderer.h"

#include "extension/render_binding.h"
#include "platform/picture_loader_qt.h"
#include "platform/qt_surface.h"
#include "platform/qt_text_measurer.h"
#include "render/graph_drawing.h"
#include "render/mapping.h"
#include "render/render_settings.h"
#include "shell/page_geometry.h"

#include <QPainter>

namespace plox::shell {

GraphRenderer::GraphRenderer()
    : measurer_(std::make_unique<QtTextMeasurer>()),
      pictures_(std::make_unique<QtPictureLoader>()) {}
GraphRenderer::~GraphRenderer() = default;

RenderContext GraphRenderer::context(const AppState& state) {
    RenderContext context;
    context.measurer = measurer_.get();
    context.prompter = prompter;
    context.external_markers = markers;
    context.settings = render_settings_of(state.config);
    context.data.prompter = prompter;
    context.data.functions = functions;
    context.data.converter = converter;
    if (curves) curves->bind(context);
    context.pictures = pictures_.get();
    context.font_mapping = font_mapping;
    return context;
}

void GraphRenderer::auto_scale(Graph& graph, const AppState& state, int axis) {
    RenderContext context = this->context(state);
    auto_range(graph, context, axis == AxisX, axis == AxisY, axis == AxisU, axis == AxisR);
}

void GraphRenderer::paint(QPainter& painter, Graph& graph, const AppState& state, double scale,
                          QPointF origin) {
    RenderContext context = this->context(state);
    QtSurface surface(painter, *measurer_, scale, plox::Size{LOGICAL_EXTENT, LOGICAL_EXTENT},
                      origin);
    cached_body(graph, context).replay(surface);
    // Objects are drawn live on top; they are not part of the recording.
    context.metafile = false;
    draw_objects(surface, graph, context);
}

} // namespace plox::shell
