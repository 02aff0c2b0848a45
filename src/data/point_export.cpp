// Points of a series as saved or copied: as plotted, outside points marked, fixed text lines.
#include "data/point_export.h"

#include <cstdio>

#include "document/model.h"

namespace plox {

std::optional<PointArrays> exported_points(Graph& graph, int index, const DataContext& context) {
    if (index < 0 || index >= std::min(graph.series_count, MAX_SERIES)) return std::nullopt;
    Series& series = graph.series[index];
    auto points = build_series(graph, index, build_kind_for(series), context);
    if (!points) return std::nullopt;
    if (!series.CountOutArea && series.kind != kind::Extension2)
        exclude_outside(graph, series, points->x, points->y);
    return points;
}

void append_exported_line(std::string& out, double x, double y) {
    char number[64];
    if (is_valid(x)) {
        out.append(number, static_cast<size_t>(std::snprintf(number, sizeof number, "%+9e", x)));
    } else {
        out += " ERROR_VALUE ";
    }
    if (is_valid(y)) {
        out += '\t';
        out.append(number, static_cast<size_t>(std::snprintf(number, sizeof number, "%+9e", y)));
    } else {
        out += "\tERROR_VALUE ";
    }
    out += "\r\n";
}

std::string format_exported_points(std::span<const double> x, std::span<const double> y) {
    std::string out;
    const size_t n = std::min(x.size(), y.size());
    out.reserve(n * 29 + 1);
    for (size_t i = 0; i < n; ++i)
        append_exported_line(out, x[i], y[i]);
    return out;
}

} // namespace plox
