// The export and copy of pictures: the region of the page to take, the reduction ratio, and
// the graphs drawn into an enhanced or placeable Windows metafile.
#pragma once

#include "output/metafile_text.h"
#include "render/render_context.h"

#include <optional>
#include <string>
#include <vector>

namespace plox {

// Two or more graphs while the window shows only the current one: the user is asked first.
bool hidden_graphs_question_needed(const GraphSet& set, bool preview);

// The region to take: a selected rectangle put in order, or the union of every graph's extent
// widened by 10 mm and rounded to whole millimetres toward zero.
Rect picture_region(GraphSet& set, const std::optional<Rect>& selected);

// The four edges scaled by ratio / 100 (rounded as MulDiv rounds).
Rect scale_region(const Rect& region, int32_t ratio);

// ".wmf" in any case writes a placeable Windows metafile; everything else an enhanced one.
enum class MetafileFormat { Enhanced, Placeable };
MetafileFormat metafile_format_of(const std::string& path);

// Draws every graph in order, each with its frame corner and Magnification scaled by
// ratio / 100 and shifted by -`shift` (put back afterwards), in metafile mode.
void draw_graphs_scaled(Surface& surface, GraphSet& set, RenderContext context, int32_t ratio,
                        Point shift = {});

// The graphs drawn into a metafile of `region` (already scaled by the ratio).
std::vector<uint8_t> build_enhanced_metafile(GraphSet& set, const Rect& region, int32_t ratio,
                                             const RenderContext& context,
                                             const MetafileText& text);
std::vector<uint8_t> build_placeable_metafile(GraphSet& set, const Rect& region, int32_t ratio,
                                              const RenderContext& context);

// Writes the bytes to `path` through a temporary file renamed into place; false on failure.
bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace plox
