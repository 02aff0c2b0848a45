// Fits and splines of a data series: computing them from the series' point arrays as a
// drawing does (recompute while needs_reading is set, report a failure once), their curves,
// the results list, and the set-up that precedes the fitting and curve dialogs.
#pragma once

#include "analysis/linear_solver.h"
#include "analysis/marquardt.h"
#include "data/context.h"
#include "data/series_builder.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plox {

struct Graph;
struct Series;
class Prompter;
class SettingsStore;
class ExtensionFunctions;
class ColumnSource;

// What an analysis may call out to. `solver` is required; every other pointer may be null.
struct AnalysisContext {
    LinearSolver* solver = nullptr;
    Prompter* prompter = nullptr;            // failure messages
    FitProgress* progress = nullptr;         // "%d: chi^2= %g" of general fits
    ExtensionFunctions* functions = nullptr; // extra functions in user functions
    ColumnSource* columns = nullptr;         // "#NNCC" in user functions
    int series_number = 0;                   // 1-based, for "#00CC"; 0 when unknown
};

// Kinds 2, 16, 32, 64: recomputes coefficients, σ and |r| while needs_reading is set ("%sの最小
// 二乗に失敗しました" and needs_reading cleared on failure); returns the curve (curve_points
// points from generate_curve_x, axis type 0) while the analysis is valid.
std::optional<PointArrays> fit_least_squares(Series& series, std::span<const double> X,
                                             std::span<const double> Y,
                                             const AnalysisContext& context);

// Kind 128, Levenberg–Marquardt on the series' FitFunction block (tolerance clamped and written
// back, unused parameters' coefficients ERROR_VALUE, degree 8).
std::optional<PointArrays> fit_general_function(Series& series, std::span<const double> X,
                                                std::span<const double> Y,
                                                const AnalysisContext& context);

// The fitted function at x; -1e300 when the analysis is not valid or x is outside its domain.
double fit_value(const Series& series, double x, const AnalysisContext& context);

// Kind 4: the spline curve in axis coordinates of the series' reference axes (U or X, R or Y)
// for variant series.degree (0 cubic, 1 parametric, 2 closed, 3 curve X only). Computed on every
// call while the analysis is valid or needs_reading is set; a failure is reported and stays.
std::optional<PointArrays> spline_curve(const Graph& graph, Series& series,
                                        std::span<const double> X, std::span<const double> Y,
                                        const AnalysisContext& context);

// One analysis as a drawing runs it: the series' points built, points outside its axes removed
// unless CountOutArea, then the fit or spline of kinds 2, 4, 16, 32, 64 and 128.
struct AnalysisRun {
    enum class Status { NotAnalysed, NoPoints, Failed, Ok };
    Status status = Status::NotAnalysed;
    std::optional<PointArrays> curve;
};
AnalysisRun run_analysis(Graph& graph, int index, const AnalysisContext& context,
                         const DataContext& data = {});
// Just the curve of run_analysis.
std::optional<PointArrays> analysis_curve(Graph& graph, int index, const AnalysisContext& context,
                                          const DataContext& data = {});

// The lines of the results dialog: formula, coefficients, σ and "|r|=…" (kinds 2 … 128).
std::vector<std::string> results_list(const Series& series);

// Choosing a least-squares kind: for a series without one, resets degree, option and point,
// loads "Dimension" and the curve settings, takes the curve range and scale type from the X axis
// and 101 curve points. Returns whether it did (the fitting dialog follows either way).
bool prepare_least_squares(Series& series, const Graph& graph, const SettingsStore& store);
// Kind 128 needs a block: a series without one copies the block of the last other series of
// `graph` of kind 128 that has one (`index` is the series' own place), else takes "LSQ Function".
void prepare_general_function(Series& series, const Graph& graph, int index,
                              const SettingsStore& store);
// After OK: stores the kind (degree 1 for the models, 8 for kind 128), frees the block of a
// linear kind and sets needs_reading.
void apply_least_squares(Series& series, int kind);

// Setting up a spline for a series not yet of kind 4: curve range from the data range, 101
// points, curve settings from the store, scale type of the X axis. Returns whether it did.
bool prepare_spline(Graph& graph, int index, const SettingsStore& store,
                    const DataContext& data = {});
// After OK: repairs the range (to > from), kind 4, needs_reading, the variant.
void apply_spline(Series& series, int variant);

} // namespace plox
