// Least-squares and general-function fits of a series, their curves, values and results list.
#include "analysis/expression_model.h"
#include "analysis/least_squares.h"
#include "analysis/series_analysis.h"
#include "document/model.h"
#include "document/paths.h"
#include "document/prompter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plox {

namespace {

void report_fit_failure(const Series& series, const AnalysisContext& context) {
    if (!context.prompter) return;
    context.prompter->message("エラー",
                              paths::display_name(series.file_name) + "の最小二乗に失敗しました",
                              Buttons::Ok, Icon::Error);
}

// Through point in the fit's coordinates; nothing when a logarithm it needs is not defined.
std::optional<std::array<double, 2>> through_point(const Series& series) {
    double x0 = series.analysis_values[0], y0 = series.analysis_values[1];
    if (series.kind == kind::Logarithmic || series.kind == kind::Power) {
        if (!(x0 > 1e-300)) return std::nullopt;
        x0 = std::log(x0);
    }
    if (series.kind == kind::Exponential || series.kind == kind::Power) {
        if (!(y0 > 1e-300)) return std::nullopt;
        y0 = std::log(y0);
    }
    return std::array<double, 2>{x0, y0};
}

std::string format_line(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::optional<PointArrays> fit_least_squares(Series& series, std::span<const double> X,
                                             std::span<const double> Y,
                                             const AnalysisContext& context) {
    if (series.needs_reading) {
        series.analysis_valid = 0;
        std::optional<std::array<double, 2>> through;
        if (series.analysis_option & 1) {
            through = through_point(series);
            if (!through) series.analysis_option &= ~1;
        }
        LeastSquaresWorkspace workspace;
        LeastSquaresResult result;
        const FitStatus status =
            context.solver ? plox::fit_least_squares(series.kind, series.degree, through, X, Y,
                                                     *context.solver, workspace, result)
                           : FitStatus::Singular;
        if (status == FitStatus::Ok) {
            series.coefficients = result.coefficients;
            series.standard_deviation = result.sigma;
            series.correlation = result.correlation;
            series.analysis_valid = 1;
        } else {
            report_fit_failure(series, context);
            series.needs_reading = 0;
        }
    }
    if (!series.analysis_valid) return std::nullopt;
    PointArrays curve;
    curve.x = generate_curve_x(series, 0);
    curve.y.resize(curve.x.size());
    least_squares_curve(series.kind, series.degree, series.coefficients, curve.x, curve.y);
    return curve;
}

std::optional<PointArrays> fit_general_function(Series& series, std::span<const double> X,
                                                std::span<const double> Y,
                                                const AnalysisContext& context) {
    if (!series.fit) {
        series.analysis_valid = 0;
        return std::nullopt;
    }
    FitFunction& block = *series.fit;
    const int series_number = context.series_number;
    if (series.needs_reading) {
        series.analysis_valid = 0;
        series.degree = 8;
        block.tolerance = clamp_tolerance(block.tolerance);
        FitParameters start{};
        std::copy(block.parameters.begin(), block.parameters.end(), start.begin());
        std::copy(start.begin(), start.end(), series.coefficients.begin());
        series.coefficients[9] = 0;

        ExpressionFitModel model(block, context.functions, context.columns, series_number);
        std::array<bool, FIT_PARAMETERS> flagged{};
        for (size_t k = 0; k < flagged.size(); ++k)
            flagged[k] = block.parameter_free[k] != 0;
        MarquardtWorkspace workspace;
        MarquardtResult result;
        if (context.solver)
            result = fit_marquardt(model, start, flagged, block.tolerance, X, Y, *context.solver,
                                   workspace, context.progress);
        std::copy(result.parameters.begin(), result.parameters.end(), series.coefficients.begin());

        if (result.valid) {
            const size_t n = std::min(X.size(), Y.size());
            std::vector<double> f(n);
            if (model.value(result.parameters, X.first(n), Y.first(n), f)) {
                // Mean relative to the first model value: a constant model gives SSR = 0 exactly.
                size_t count = 0;
                double first = 0, shifted = 0;
                for (size_t j = 0; j < n; ++j) {
                    if (!is_valid(X[j]) || !is_valid(Y[j]) || !is_valid(f[j])) continue;
                    if (count++ == 0) first = f[j];
                    shifted += f[j] - first;
                }
                double sse = 0, ssr = 0;
                const double mean = count ? first + shifted / static_cast<double>(count) : 0;
                for (size_t j = 0; j < n; ++j) {
                    if (!is_valid(X[j]) || !is_valid(Y[j]) || !is_valid(f[j])) continue;
                    sse += (f[j] - Y[j]) * (f[j] - Y[j]);
                    ssr += (f[j] - mean) * (f[j] - mean);
                }
                series.standard_deviation = count ? std::sqrt(sse / static_cast<double>(count)) : 0;
                series.correlation =
                    ssr + sse > 1e-100 ? std::sqrt(std::fabs(ssr / (ssr + sse))) : 0;
            } else {
                result.valid = false;
            }
        }
        for (size_t k = 0; k < FIT_PARAMETERS; ++k)
            if (!result.used[k]) series.coefficients[k] = ERROR_VALUE;
        if (result.valid) {
            series.analysis_valid = 1;
        } else {
            report_fit_failure(series, context);
            series.needs_reading = 0;
        }
    }
    if (!series.analysis_valid) return std::nullopt;

    PointArrays curve;
    curve.x = generate_curve_x(series, 0);
    curve.y.assign(curve.x.size(), 0.0);
    std::array<double, 9> parameters;
    std::copy_n(series.coefficients.begin(), 9, parameters.begin());
    set_parameters(parameters);
    std::vector<double> x = curve.x, y(curve.x.size(), 0.0);
    const EvalEnvironment env{context.prompter, context.functions, context.columns};
    if (!evaluate(env, static_cast<int32_t>(x.size()), x.data(), y.data(), curve.y.data(),
                  block.function, true, true, series_number))
        std::fill(curve.y.begin(), curve.y.end(), ERROR_VALUE);
    return curve;
}

double fit_value(const Series& series, double x, const AnalysisContext& context) {
    if (!series.analysis_valid) return -1e300;
    if (series.kind != kind::General)
        return least_squares_value(series.kind, series.degree, series.coefficients, x);
    if (!series.fit) return -1e300;
    std::array<double, 9> parameters;
    std::copy_n(series.coefficients.begin(), 9, parameters.begin());
    set_parameters(parameters);
    double xv = x, yv = 0, out = ERROR_VALUE;
    const EvalEnvironment env{context.prompter, context.functions, context.columns};
    if (!evaluate(env, 1, &xv, &yv, &out, series.fit->function, true, false, context.series_number))
        return -1e300;
    return is_valid(out) && std::isfinite(out) ? out : -1e300;
}

std::vector<std::string> results_list(const Series& series) {
    std::vector<std::string> lines;
    switch (series.kind) {
    case kind::Polynomial:
        lines.emplace_back("y=Σan x^n");
        break;
    case kind::Exponential:
        lines.emplace_back("ln y=a + b x");
        break;
    case kind::Logarithmic:
        lines.emplace_back("y=a + b ln x");
        break;
    case kind::Power:
        lines.emplace_back("ln y=a + b ln x");
        break;
    case kind::General:
        lines.emplace_back(series.fit ? series.fit->function : std::string());
        break;
    default:
        return lines;
    }
    if (series.kind == kind::Polynomial) {
        const int degree = effective_degree(series.kind, series.degree);
        for (int n = 0; n <= degree; ++n) {
            char text[64];
            std::snprintf(text, sizeof text, "a%1d=%le", n,
                          series.coefficients[static_cast<size_t>(n)]);
            lines.emplace_back(text);
        }
    } else {
        const int last = series.kind == kind::General ? std::clamp(series.degree, 0, 8) : 1;
        for (int n = 0; n <= last; ++n) {
            const double value = series.coefficients[static_cast<size_t>(n)];
            if (!(value > -1e300)) continue;
            char text[64];
            std::snprintf(text, sizeof text, "%1c=%le", 'a' + n, value);
            lines.emplace_back(text);
        }
    }
    lines.push_back(format_line("%le", series.standard_deviation));
    lines.push_back(format_line("|r|=%le", series.correlation));
    return lines;
}

} // namespace plox
