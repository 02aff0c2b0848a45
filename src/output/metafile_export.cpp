// Regions, ratio and the drawing of the graphs into metafiles.
#include "output/metafile_export.h"

#include "document/file_access.h"
#include "output/emf_surface.h"
#include "output/wmf_surface.h"
#include "render/graph_drawing.h"
#include "render/objects.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace plox {

namespace {

int32_t mul_div(int64_t a, int64_t b, int64_t c) {
    const int64_t p = a * b;
    const int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

} // namespace

bool hidden_graphs_question_needed(const GraphSet& set, bool preview) {
    return set.graphs.size() >= 2 && !preview && !set.show_all;
}

Rect picture_region(GraphSet& set, const std::optional<Rect>& selected) {
    if (selected)
        return {
            std::min(selected->left, selected->right), std::min(selected->top, selected->bottom),
            std::max(selected->left, selected->right), std::max(selected->top, selected->bottom)};
    std::optional<Rect> all;
    for (auto& g : set.graphs) {
        if (!g) continue;
        const Rect e = graph_extent(*g);
        all = all ? Rect{std::min(all->left, e.left), std::min(all->top, e.top),
                         std::max(all->right, e.right), std::max(all->bottom, e.bottom)}
                  : e;
    }
    if (!all) return {};
    // Integer division truncates toward zero, as the region's rounding is defined.
    return {(all->left - 1000) / 100 * 100, (all->top - 1000) / 100 * 100,
            (all->right + 1000) / 100 * 100, (all->bottom + 1000) / 100 * 100};
}

Rect scale_region(const Rect& r, int32_t ratio) {
    return {mul_div(r.left, ratio, 100), mul_div(r.top, ratio, 100), mul_div(r.right, ratio, 100),
            mul_div(r.bottom, ratio, 100)};
}

MetafileFormat metafile_format_of(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return MetafileFormat::Enhanced;
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".wmf" ? MetafileFormat::Placeable : MetafileFormat::Enhanced;
}

void draw_graphs_scaled(Surface& surface, GraphSet& set, RenderContext context, int32_t ratio,
                        Point shift) {
    context.metafile = true;
    for (auto& g : set.graphs) {
        if (!g) continue;
        const int32_t left = g->frame_left, top = g->frame_top, mag = g->Magnification;
        g->frame_left = mul_div(left, ratio, 100) - shift.x;
        g->frame_top = mul_div(top, ratio, 100) - shift.y;
        g->Magnification = mul_div(mag, ratio, 100);
        draw_graph(surface, *g, context);
        g->frame_left = left;
        g->frame_top = top;
        g->Magnification = mag;
    }
}

std::vector<uint8_t> build_enhanced_metafile(GraphSet& set, const Rect& region, int32_t ratio,
                                             const RenderContext& context,
                                             const MetafileText& text) {
    static const FixedTextMeasurer fixed;
    RenderContext c = context; // the surface and the layout measure alike
    if (!c.measurer) c.measurer = &fixed;
    EmfSurface surface(*c.measurer, region, text);
    draw_graphs_scaled(surface, set, c, ratio);
    return surface.finish();
}

std::vector<uint8_t> build_placeable_metafile(GraphSet& set, const Rect& region, int32_t ratio,
                                              const RenderContext& context) {
    static const FixedTextMeasurer fixed;
    RenderContext c = context;
    if (!c.measurer) c.measurer = &fixed;
    WmfSurface surface(*c.measurer, region);
    draw_graphs_scaled(surface, set, c, ratio);
    return surface.finish();
}

bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    // Never through a device, FIFO or folder under the name; a link is written through.
    std::string message;
    return !path.empty() &&
           files::write_atomically(
               path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
               message);
}

} // namespace plox
