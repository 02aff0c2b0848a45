// Import of Ngraph 5.3 project files: one project becomes one graph. The project's first line is
// recognised by the converter module; everything after it is read here, by position.
#pragma once

#include "document/model.h"
#include "document/qvp_format.h"
#include "document/text_lines.h"

#include <string>
#include <string_view>

namespace plox {

// Fills `g` (created with defaults) from the lines after the first. `code` 1 says data blocks
// ending in "[EOF]" follow the project (info.with_data is set); 0 a project without data.
void import_ngraph(LineReader& r, Graph& g, int code, ReadInfo& info, IoContext& ctx);

namespace ngraph {

int32_t colour(int32_t index);      // colour index → 0x00BBGGRR
int32_t line_type(int32_t t);       // Ngraph line type → LineType
int32_t plot_type(int32_t g);       // series plot type → PlotType
int32_t point_plot_type(int32_t k); // point-object kind → PlotType
// A font spec of 20 columns: the Latin and the Japanese font and the text colour.
struct FontSpec {
    LogFont latin, japanese;
    int32_t color = 0;
};
FontSpec font_spec(std::string_view spec, int32_t escapement = 0);
// Every '%' of a transform becomes "#00".
std::string transform_text(std::string_view text);
// "%nm" (two digits) becomes the parameter letter 'a' + m.
std::string fit_text(std::string_view text);

} // namespace ngraph
} // namespace plox
