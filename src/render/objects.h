// Annotation objects drawn on top of a graph body: arrows, lines with end bars, shadowed
// rectangles, texts, point objects and pictures. Each drawing records the object's extent.
#pragma once

#include <optional>
#include <string>

#include "render/graph_drawing.h"

namespace plox {

// Reads bitmap files for picture objects; the platform binds it to its image reader.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual std::optional<Image> load_bitmap(const std::string& path) = 0;
    // Draws a metafile (.wmf, .emf) at (left, top), `width` wide and as high as its proportion
    // says; returns its natural size, or nullopt when the file cannot be read.
    virtual std::optional<Size> draw_metafile(Surface& /*surface*/, const std::string& /*path*/,
                                              int32_t /*left*/, int32_t /*top*/,
                                              int32_t /*width*/) {
        return std::nullopt;
    }
};

// One object; with `white` set every colour is white (erasing it from the screen).
void draw_object(Surface& surface, Graph& graph, RenderContext& context, GraphObject& object,
                 bool white);

// Logical position of an arrow, line, rectangle or picture corner: `end` 0 the start, 1 the end.
Point object_point(const Graph& graph, const GraphObject& object, int end);

// The graph's extent box widened in place by the stored extent of every used object.
Rect graph_extent(Graph& graph);

// The points of a new point object of `object.PlotType` with `object.alignment` (Num) points.
void default_point_geometry(const Graph& graph, GraphObject& object);

} // namespace plox
