// Drawing one graph: the body (frame, background, axes, then the series) and the annotation
// objects on top. The screen caches the body as a recording and draws the objects live;
// printing and export draw both afresh.
#pragma once

#include "render/recording_surface.h"
#include "render/render_context.h"

namespace plox {

// The cached drawing a Graph record points to (model.h declares it).
struct CachedDrawing {
    RecordingSurface body;
};

// The body sequence: copy-pen raster operation, frame rectangle, background, axis preparation
// (common flags, automatic range, normalisation written back into the axes) and the axes, then
// draw_body_series. Widens nothing but the graph's extent box (kept by the caller's record).
void draw_graph_body(Surface& surface, Graph& graph, RenderContext& context);

// Body, then draw_objects: what printing and export put on the page.
void draw_graph(Surface& surface, Graph& graph, RenderContext& context);

// The graph's body as a recording (metafile mode), made when the graph has none; a change to
// the graph drops it (graph.cached_drawing.reset()).
const RecordingSurface& cached_body(Graph& graph, RenderContext& context);

// --- Parts drawn by the rendering of series, rich text and objects (defined in the named files)
// ---

// series_drawing.cpp: every shown series (curves, error bars, lines, markers), after the axes.
// The frame rectangle is frame_rect(graph); the clip rules follow context.metafile,
// context.settings.Clipping and context.caller_clip.
void draw_body_series(Surface& surface, Graph& graph, RenderContext& context);

// objects.cpp: the annotation objects of the graph (titles, texts, arrows, …), widening the
// graph's extent box.
void draw_objects(Surface& surface, Graph& graph, RenderContext& context);

// rich_text.cpp: lays out a text object; draws it when `draw` is set (in white on a
// transparent background when `white` is set) and always stores its box in the object's
// extent fields. The axes use it for the power-of-ten multiplier.
void draw_text_object(Surface& surface, Graph& graph, RenderContext& context, GraphObject& object,
                      bool white, bool draw);

} // namespace plox
