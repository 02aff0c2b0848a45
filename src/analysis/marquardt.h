// Levenberg–Marquardt fitting of a model y = f(x; a … i) with up to nine parameters: the
// step and the driver, over spans, with working storage sized once per fit.
#pragma once

#include "analysis/linear_solver.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace plox {

inline constexpr int FIT_PARAMETERS = 9;
inline constexpr int MAX_FIT_ITERATIONS = 500;
using FitParameters = std::array<double, FIT_PARAMETERS>;

// The model as the fit sees it. Evaluations write one value per point (ERROR_VALUE where
// undefined) and return false on an error that stops the fit.
class FitModel {
public:
    virtual ~FitModel() = default;
    virtual bool value(const FitParameters& p, std::span<const double> x, std::span<const double> y,
                       std::span<double> out) = 0;
    // Whether parameter k has an analytic derivative; without one it is taken numerically.
    virtual bool has_derivative(int k) const = 0;
    virtual bool derivative(int k, const FitParameters& p, std::span<const double> x,
                            std::span<const double> y, std::span<double> out) = 0;
    // Parameters the last value() read.
    virtual std::array<bool, FIT_PARAMETERS> used_parameters() const = 0;
};

// Receives "%d: chi^2= %g" after every iteration (the status bar shows it).
class FitProgress {
public:
    virtual ~FitProgress() = default;
    virtual void show_status(std::string_view text) = 0;
};

struct MarquardtWorkspace {
    std::vector<double> model;       // f at every point
    std::vector<double> derivatives; // ∂f/∂p_k at every point, one block of N per parameter
    std::array<int, FIT_PARAMETERS> order{}; // free parameters first, in letter order
    int free_count = 0;
    std::array<double, FIT_PARAMETERS * FIT_PARAMETERS> alpha{}, trial_alpha{},
        damped{};                       // Σ D_k·D_l
    FitParameters beta{}, trial_beta{}; // Σ D_k·(Y - f)
    FitParameters delta{}, trial{};     // step, trial parameters
    double lambda = 0;                  // damping factor
    double chi2 = 0;                    // Σ (Y - f)² at the current parameters
    double start_chi2 = 0;              // χ² at the parameters of the initialisation

    void resize(size_t points);
    void release();
};

enum class StepStatus { Ok, Failed, Finished };

// Evaluates the model and its free derivatives at p and accumulates α, β and χ² over the points
// whose X, Y, model value and free derivatives are valid.
bool model_derivatives(FitModel& model, const FitParameters& p, std::span<const double> X,
                       std::span<const double> Y, MarquardtWorkspace& ws, std::span<double> alpha,
                       std::span<double> beta, double& chi2);

// One step: λ < 0 initialises (free parameters from `free`), λ = 0 releases the storage.
// `parameters` move only when the trial lowers χ²; `chi2` reports the current χ².
StepStatus marquardt_step(FitModel& model, FitParameters& parameters,
                          const std::array<bool, FIT_PARAMETERS>& free, std::span<const double> X,
                          std::span<const double> Y, LinearSolver& solver, MarquardtWorkspace& ws,
                          double& lambda, double& chi2);

struct MarquardtResult {
    bool valid = false;
    int iterations = 0;
    FitParameters parameters{};
    std::array<bool, FIT_PARAMETERS> used{};
};

// The driver: starts from `start`, moves the parameters that are flagged free and used, and
// stops when a step lowers χ² by less than tolerance percent (or χ² falls to the rounding
// level of the data, 1e-24·ΣY²: an exact fit). Gives up after
// 500 iterations. `tolerance` is the percentage already clamped by the caller.
MarquardtResult fit_marquardt(FitModel& model, const FitParameters& start,
                              const std::array<bool, FIT_PARAMETERS>& flagged_free,
                              double tolerance, std::span<const double> X,
                              std::span<const double> Y, LinearSolver& solver,
                              MarquardtWorkspace& ws, FitProgress* progress);

// |Gosa| raised to 0.01 when below.
double clamp_tolerance(double gosa);

} // namespace plox
