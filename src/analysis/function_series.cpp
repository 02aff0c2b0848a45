// Function series (kind 8) made from the analysis menu.
#include "analysis/function_series.h"

#include "document/graph_ops.h"
#include "settings/analysis_settings.h"

#include <algorithm>

namespace plox {

std::string function_start_text(const Graph& graph, int index) {
    const int count = std::clamp(graph.series_count, 0, MAX_SERIES);
    if (index >= 0 && index < count &&
        graph.series[static_cast<size_t>(index)].kind == kind::Function)
        return graph.series[static_cast<size_t>(index)].Ytrans;
    for (int i = count - 1; i >= 0; --i)
        if (graph.series[static_cast<size_t>(i)].kind == kind::Function)
            return graph.series[static_cast<size_t>(i)].Ytrans;
    return "x";
}

void prepare_function_series(Series& s, const Graph& graph, const SettingsStore& store) {
    if (s.kind != kind::Function) {
        read_curve_defaults(store, s);
        const Axis& x = graph.axes[AxisX];
        s.curve_from = x.from;
        s.curve_to = x.to;
        s.curve_points = 101;
        s.curve_scale_type = x.scale_type;
    }
    s.PlotType = 0;
}

void apply_function_series(Series& s, std::string_view function) {
    s.line = s.curve_line;
    s.LineType = s.curve_line_type;
    s.kind = kind::Function;
    s.needs_reading = 1;
    set_text(s.Ytrans, function, EXPRESSION_CAPACITY);
    s.IsYtrans = 1;
}

int add_calc_series(Graph& graph) {
    return add_series(graph, CALC_SERIES_NAME, nullptr);
}

void remove_series(Graph& graph, int index) {
    const int count = std::clamp(graph.series_count, 0, MAX_SERIES);
    if (index < 0 || index >= count) return;
    std::move(graph.series.begin() + index + 1, graph.series.begin() + count,
              graph.series.begin() + index);
    graph.series[static_cast<size_t>(count - 1)] = Series{};
    graph.series_count = count - 1;
    // Masks name series by number: those of the removed one go, later ones follow it up.
    int kept = 0;
    for (int m = 0; m < std::clamp(graph.mask_count, 0, MAX_MASKS); ++m) {
        Mask mask = graph.masks[static_cast<size_t>(m)];
        if (mask.series == index + 1) continue;
        if (mask.series > index + 1) --mask.series;
        graph.masks[static_cast<size_t>(kept++)] = mask;
    }
    for (int m = kept; m < graph.mask_count && m < MAX_MASKS; ++m)
        graph.masks[static_cast<size_t>(m)] = Mask{};
    graph.mask_count = kept;
}

} // namespace plox
