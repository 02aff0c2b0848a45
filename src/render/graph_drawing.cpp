// The graph body sequence and the cached recording of it.
#include "render/graph_drawing.h"

#include "render/drawing_bounds.h"

#include "render/axes.h"
#include "render/mapping.h"

namespace plox {

void draw_graph_body(Surface& sf, Graph& g, RenderContext& ctx) {
    const DrawingBounds bounds(g);
    sf.set_rop2(rop2::CopyPen);
    const Rect frame = frame_rect(g);
    if ((g.background_color & 0xFFFFFF) != 0xFFFFFF)
        sf.fill_rect(frame, Brush{brush_style::Solid, g.background_color, hatch_style::DiagCross});
    prepare_axes(g, ctx);
    if (!ctx.metafile && ctx.caller_clip) sf.set_clip_rect(&*ctx.caller_clip);
    draw_axes(sf, g, ctx);
    draw_body_series(sf, g, ctx);
}

void draw_graph(Surface& sf, Graph& g, RenderContext& ctx) {
    draw_graph_body(sf, g, ctx);
    draw_objects(sf, g, ctx);
}

const RecordingSurface& cached_body(Graph& g, RenderContext& ctx) {
    if (!g.cached_drawing) {
        auto cache = std::make_shared<CachedDrawing>();
        const bool metafile = ctx.metafile;
        ctx.metafile = true;
        draw_graph_body(cache->body, g, ctx);
        ctx.metafile = metafile;
        g.cached_drawing = std::move(cache);
    }
    return g.cached_drawing->body;
}

} // namespace plox
