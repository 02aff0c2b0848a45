#include "analysis/marquardt.h"

#include "document/model.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace plox {

namespace {

// Valid and finite: an infinity would poison the sums of every later point.
bool usable(double v) {
    return v > -1e300 && v <= DBL_MAX;
}

} // namespace

void MarquardtWorkspace::resize(size_t points) {
    model.assign(points, 0.0);
    derivatives.assign(points * FIT_PARAMETERS, 0.0);
}

void MarquardtWorkspace::release() {
    std::vector<double>().swap(model);
    std::vector<double>().swap(derivatives);
}

double clamp_tolerance(double gosa) {
    const double t = std::fabs(gosa);
    return t < 0.01 || std::isnan(t) ? 0.01 : t;
}

bool model_derivatives(FitModel& model, const FitParameters& p, std::span<const double> X,
                       std::span<const double> Y, MarquardtWorkspace& ws, std::span<double> alpha,
                       std::span<double> beta, double& chi2) {
    const size_t n = std::min(X.size(), Y.size());
    const size_t m = static_cast<size_t>(ws.free_count);
    if (ws.model.size() < n || ws.derivatives.size() < n * m) ws.resize(n);
    const std::span<double> f(ws.model.data(), n);
    if (!model.value(p, X.first(n), Y.first(n), f)) return false;

    for (size_t k = 0; k < m; ++k) {
        const int parameter = ws.order[k];
        const std::span<double> D(ws.derivatives.data() + k * n, n);
        if (model.has_derivative(parameter)) {
            if (!model.derivative(parameter, p, X.first(n), Y.first(n), D)) return false;
            continue;
        }
        const double pk = p[static_cast<size_t>(parameter)];
        double h = 0.001 * pk;
        if (std::fabs(h) < 1e-10) h = std::signbit(pk) ? -0.1 : 0.1;
        FitParameters shifted = p;
        shifted[static_cast<size_t>(parameter)] = pk + h;
        if (!model.value(shifted, X.first(n), Y.first(n), D)) return false;
        for (size_t j = 0; j < n; ++j)
            D[j] = usable(D[j]) && usable(f[j]) ? (D[j] - f[j]) / h : ERROR_VALUE;
    }

    std::fill(alpha.begin(), alpha.begin() + static_cast<std::ptrdiff_t>(m * m), 0.0);
    std::fill(beta.begin(), beta.begin() + static_cast<std::ptrdiff_t>(m), 0.0);
    chi2 = 0;
    std::array<double, FIT_PARAMETERS> d{};
    for (size_t j = 0; j < n; ++j) {
        if (!usable(X[j]) || !usable(Y[j]) || !usable(f[j])) continue;
        bool ok = true;
        for (size_t k = 0; k < m && ok; ++k) {
            d[k] = ws.derivatives[k * n + j];
            ok = usable(d[k]);
        }
        if (!ok) continue;
        const double dy = Y[j] - f[j];
        for (size_t k = 0; k < m; ++k) {
            for (size_t l = 0; l <= k; ++l)
                alpha[k * m + l] += d[k] * d[l];
            beta[k] += d[k] * dy;
        }
        chi2 += dy * dy;
    }
    for (size_t k = 0; k < m; ++k)
        for (size_t l = 0; l < k; ++l)
            alpha[l * m + k] = alpha[k * m + l];
    return true;
}

StepStatus marquardt_step(FitModel& model, FitParameters& parameters,
                          const std::array<bool, FIT_PARAMETERS>& free, std::span<const double> X,
                          std::span<const double> Y, LinearSolver& solver, MarquardtWorkspace& ws,
                          double& lambda, double& chi2) {
    if (lambda < 0) {
        ws.free_count = 0;
        for (int k = 0; k < FIT_PARAMETERS; ++k)
            if (free[static_cast<size_t>(k)]) ws.order[static_cast<size_t>(ws.free_count++)] = k;
        for (int k = 0, next = ws.free_count; k < FIT_PARAMETERS; ++k)
            if (!free[static_cast<size_t>(k)]) ws.order[static_cast<size_t>(next++)] = k;
        lambda = 0.01;
        if (!model_derivatives(model, parameters, X, Y, ws, ws.alpha, ws.beta, ws.chi2))
            return StepStatus::Failed;
        ws.start_chi2 = ws.chi2;
    }
    if (lambda == 0) {
        // The final solve of the undamped system serves nothing here; only the storage goes.
        ws.release();
        return StepStatus::Finished;
    }

    const size_t m = static_cast<size_t>(ws.free_count);
    std::copy_n(ws.alpha.begin(), m * m, ws.damped.begin());
    for (size_t k = 0; k < m; ++k)
        ws.damped[k * m + k] *= 1 + lambda;
    if (!solver.solve(std::span<const double>(ws.damped.data(), m * m),
                      std::span<const double>(ws.beta.data(), m),
                      std::span<double>(ws.delta.data(), m)))
        return StepStatus::Failed;

    ws.trial = parameters;
    for (size_t k = 0; k < m; ++k)
        ws.trial[static_cast<size_t>(ws.order[k])] += ws.delta[k];
    double trial_chi2 = 0;
    if (!model_derivatives(model, ws.trial, X, Y, ws, ws.trial_alpha, ws.trial_beta, trial_chi2))
        return StepStatus::Failed;

    // A NaN χ² counts as no improvement, so a broken trial is never taken.
    if (!(trial_chi2 < ws.chi2)) {
        lambda *= 10;
    } else {
        lambda *= 0.1;
        ws.alpha = ws.trial_alpha;
        ws.beta = ws.trial_beta;
        parameters = ws.trial;
        ws.chi2 = trial_chi2;
    }
    chi2 = ws.chi2;
    return StepStatus::Ok;
}

MarquardtResult fit_marquardt(FitModel& model, const FitParameters& start,
                              const std::array<bool, FIT_PARAMETERS>& flagged_free,
                              double tolerance, std::span<const double> X,
                              std::span<const double> Y, LinearSolver& solver,
                              MarquardtWorkspace& ws, FitProgress* progress) {
    MarquardtResult result;
    result.parameters = start;
    const size_t n = std::min(X.size(), Y.size());
    ws.resize(n);
    if (!model.value(start, X.first(n), Y.first(n), std::span<double>(ws.model.data(), n))) {
        ws.release();
        return result;
    }
    result.used = model.used_parameters();
    std::array<bool, FIT_PARAMETERS> free{};
    bool any_free = false;
    for (size_t k = 0; k < free.size(); ++k) {
        free[k] = flagged_free[k] && result.used[k];
        any_free = any_free || free[k];
    }

    // χ² at the rounding level of the data: an exact fit, which the relative rule below never
    // accepts because no step can lower χ² any further.
    double sum_y2 = 0;
    for (size_t j = 0; j < n; ++j)
        if (usable(Y[j])) sum_y2 += Y[j] * Y[j];
    const double negligible = 1e-24 * sum_y2;

    double lambda = -1, chi2 = 0, best = 0;
    for (int iteration = 1; iteration <= MAX_FIT_ITERATIONS; ++iteration) {
        result.iterations = iteration;
        if (!any_free) {
            result.valid = true;
            break;
        }
        const bool first = lambda < 0;
        if (marquardt_step(model, result.parameters, free, X, Y, solver, ws, lambda, chi2) !=
            StepStatus::Ok)
            break;
        if (first) best = ws.start_chi2;
        if (progress) {
            char text[64];
            std::snprintf(text, sizeof text, "%d: chi^2= %g", iteration, chi2);
            progress->show_status(text);
        }
        if (chi2 <= negligible) {
            result.valid = true;
            break;
        }
        if (best > chi2) {
            if (tolerance * 0.01 > 1 - chi2 / best) {
                result.valid = true;
                break;
            }
            best = chi2;
        }
    }
    double final_lambda = 0;
    marquardt_step(model, result.parameters, free, X, Y, solver, ws, final_lambda, chi2);
    return result;
}

} // namespace plox
