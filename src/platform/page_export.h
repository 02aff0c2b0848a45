// Writes the page of a document (every graph at its own position) as PNG, PDF or SVG,
// chosen by the file name's extension. No window is needed.
#pragma once

#include "render/render_context.h"

#include <string>

namespace plox {

struct PageSize {
    int32_t width_mm = 210;
    int32_t height_mm = 297;
};

// The document's paper, turned for landscape; a side below 10 mm counts as 320 mm.
PageSize page_size_of(const Graph& graph);

enum class ExportFormat { Png, Pdf, Svg, Unknown };
ExportFormat export_format_of(const std::string& path);

struct ExportResult {
    bool ok = false;
    std::string message; // what went wrong, one line
};

// Draws the graphs (body and objects) onto one page of `page` and writes it to `path`. PNG is
// rendered at `dpi`; PDF and SVG measure the paper in millimetres. Text is measured with the
// Qt measurer whatever context.measurer says, so layout matches the drawing.
ExportResult export_page(GraphSet& set, const std::string& path, PageSize page, int dpi,
                         RenderContext context);

} // namespace plox
