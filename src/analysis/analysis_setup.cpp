// Setting a series up for a fit or a spline, and computing its curve as a drawing does.
#include "analysis/series_analysis.h"
#include "document/model.h"
#include "expr/evaluator.h"
#include "settings/store.h"

#include <algorithm>
#include <string>

namespace plox {

namespace {

void load_curve_settings(Series& series, const SettingsStore& store) {
    const char* key = "Continuace Ini";
    store.read(key, "CountOutArea", series.CountOutArea);
    store.read(key, "Division", series.curve_points);
    store.read(key, "LineType", series.curve_line_type);
    store.read(key, "Width", series.curve_line.width);
    store.read(key, "Pitch", series.curve_line.pitch);
    store.read(key, "Color", series.curve_line.color);
}

} // namespace

bool prepare_least_squares(Series& series, const Graph& graph, const SettingsStore& store) {
    if (series.kind & kind::LeastSquares) return false;
    series.degree = 0;
    series.analysis_option = 0;
    series.analysis_values = {0, 0};
    store.read("LSQ Ini", "Dimension", series.degree);
    load_curve_settings(series, store);
    series.curve_from = graph.axes[AxisX].from;
    series.curve_to = graph.axes[AxisX].to;
    series.curve_points = 101;
    series.curve_scale_type = graph.axes[AxisX].scale_type;
    return true;
}

void prepare_general_function(Series& series, const Graph& graph, int index,
                              const SettingsStore& store) {
    if (series.fit) return;
    for (int k = std::min(graph.series_count, MAX_SERIES) - 1; k >= 0; --k) {
        const Series& other = graph.series[static_cast<size_t>(k)];
        if (k != index && other.kind == kind::General && other.fit) {
            series.fit = other.fit;
            return;
        }
    }
    FitFunction block;
    const char* key = "LSQ Function";
    std::string function = block.function;
    store.read(key, "Function0", function);
    set_text(block.function, function, EXPRESSION_CAPACITY);
    store.read(key, "Gosa", block.tolerance);
    for (int k = 0; k < 9; ++k) {
        const auto index = static_cast<size_t>(k);
        const std::string letter(1, static_cast<char>('A' + k));
        store.read(key, "IsParaMove" + std::to_string(k), block.parameter_free[index]);
        std::string derivative;
        store.read(key, "DifFunction0" + letter, derivative);
        set_text(block.derivatives[index], derivative, EXPRESSION_CAPACITY);
        store.read(key, "ParaIni0" + letter, block.parameters[index]);
    }
    series.fit = block;
}

void apply_least_squares(Series& series, int fit_kind) {
    series.kind = fit_kind;
    if (fit_kind == kind::General) {
        series.degree = 8;
    } else {
        series.fit.reset();
        if (fit_kind != kind::Polynomial) series.degree = 1;
    }
    series.needs_reading = 1;
}

bool prepare_spline(Graph& graph, int index, const SettingsStore& store, const DataContext& data) {
    Series& series = graph.series[static_cast<size_t>(index)];
    if (series.kind == kind::Spline) return false;
    std::array<double, 9> constants;
    std::copy(graph.user_constants.begin(), graph.user_constants.end(), constants.begin());
    set_parameters(constants);
    const SeriesRange range = series_range(graph, index, data);
    series.curve_from = range.xmin;
    series.curve_to = range.xmax;
    series.curve_points = 101;
    load_curve_settings(series, store);
    series.curve_scale_type = graph.axes[AxisX].scale_type;
    return true;
}

void apply_spline(Series& series, int variant) {
    if (!(series.curve_to > series.curve_from)) series.curve_to = series.curve_from + 1;
    series.kind = kind::Spline;
    series.needs_reading = 1;
    series.degree = variant;
}

AnalysisRun run_analysis(Graph& graph, int index, const AnalysisContext& context,
                         const DataContext& data) {
    AnalysisRun run;
    if (index < 0 || index >= std::min(graph.series_count, MAX_SERIES)) return run;
    Series& series = graph.series[static_cast<size_t>(index)];
    const bool handled = series.kind == kind::Spline || (series.kind & kind::LeastSquares);
    if (!handled) return run;

    auto points = build_series(graph, index, build_kind_for(series), data);
    if (!points) {
        run.status = AnalysisRun::Status::NoPoints;
        return run;
    }
    if (!series.CountOutArea) exclude_outside(graph, series, points->x, points->y);

    AnalysisContext ctx = context;
    ctx.series_number = index + 1;
    switch (series.kind) {
    case kind::Spline:
        run.curve = spline_curve(graph, series, points->x, points->y, ctx);
        break;
    case kind::General:
        run.curve = fit_general_function(series, points->x, points->y, ctx);
        break;
    default:
        run.curve = fit_least_squares(series, points->x, points->y, ctx);
        break;
    }
    run.status = run.curve ? AnalysisRun::Status::Ok : AnalysisRun::Status::Failed;
    return run;
}

std::optional<PointArrays> analysis_curve(Graph& graph, int index, const AnalysisContext& context,
                                          const DataContext& data) {
    return run_analysis(graph, index, context, data).curve;
}

} // namespace plox
