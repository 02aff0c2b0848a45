// The points of a series as they are saved or copied as text: as plotted, with points outside
// the reference axes marked missing, one "%+9e<TAB>%+9e" line with CR LF per point.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "data/series_builder.h"

namespace plox {

// The series' arrays as plotted, with points outside its reference axes marked missing unless
// the series counts them (CountOutArea) or is of kind 512. Nothing when it has no points.
std::optional<PointArrays> exported_points(Graph& graph, int index,
                                           const DataContext& context = {});

// One exported line: "+1.000000e+00\t-2.000000e+00\r\n"; " ERROR_VALUE " for a missing X and
// "\tERROR_VALUE " for a missing Y.
void append_exported_line(std::string& out, double x, double y);
std::string format_exported_points(std::span<const double> x, std::span<const double> y);

} // namespace plox
