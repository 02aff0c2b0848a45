// Rich-text labels: field expansion, then run layout with three fonts (Latin, Japanese,
// Greek), weight, slant, underline, colour, size, scripts, shifts and legend samples. The
// same layout measures a text without drawing it, which gives the object its box.
#pragma once

#include <string_view>

#include "render/graph_drawing.h"
#include "render/rich_text_fields.h"

namespace plox {

// Draws (draw set) or only measures a text object of types 4 to 8, in white on a transparent
// background when `white` is set. The ordered box goes into the object's extent fields and is
// returned. Field texts come from `sources`.
Rect draw_text_object(Surface& surface, Graph& graph, RenderContext& context, GraphObject& object,
                      bool white, bool draw, const FieldSources& sources);

// Fonts of a new text object: those of the graph's last text object (escapement cleared), or
// "Times New Roman" / "ＭＳ 明朝" / "Symbol" at 24 points.
void default_text_fonts(const Graph& graph, GraphObject& object);

} // namespace plox
