// Small pictures of a series' marker and line for lists and pages, drawn by the renderer's
// legend sample.
#pragma once

#include "document/model.h"

#include <QPixmap>
#include <QString>
#include <string_view>

namespace plox::dialogs {

// The marker and line of `series` on a white strip of `width` × `height` pixels.
QPixmap series_sample(const Series& series, int width = 48, int height = 16);
// A marker of `plot_type` alone, for the plot type list.
QPixmap marker_sample(int32_t plot_type, int size = 16);
// A line of `line_type` alone, for the line type lists.
QPixmap line_sample(int32_t line_type, int width = 48, int height = 12);
// A filled swatch of a 0x00BBGGRR colour.
QPixmap colour_swatch(int32_t colour, int width = 32, int height = 12);

// Document bytes (CP932) as UTF-8, for the core forms' texts.
std::string utf8_of(std::string_view bytes);

} // namespace plox::dialogs
