// Pictures of a page region in the formats besides metafiles (PDF, SVG, PNG), and the
// clipboard's picture: the metafile together with SVG and PNG, so that office programs,
// vector editors and image editors can all paste it.
#pragma once

#include "render/render_context.h"

#include <QMimeData>

#include <memory>
#include <string>
#include <vector>

namespace plox {

// Resolution of the PNG written for a picture and put on the clipboard.
inline constexpr int PICTURE_PNG_DPI = 150;

// Writes `region` (page units, already scaled by the ratio) of the graphs drawn at
// ratio / 100 as PDF, SVG or PNG by the extension; false when that fails or the extension is
// none of them.
bool write_region_picture(const std::string& path, GraphSet& set, const Rect& region, int32_t ratio,
                          const RenderContext& context);

// The clipboard's data: "image/x-emf" (or "image/x-wmf" for a Windows metafile),
// "image/svg+xml" and a PNG image.
std::unique_ptr<QMimeData> picture_mime_data(const std::vector<uint8_t>& metafile, bool enhanced,
                                             GraphSet& set, const Rect& region, int32_t ratio,
                                             const RenderContext& context);

} // namespace plox
