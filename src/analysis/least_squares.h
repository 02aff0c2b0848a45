// Linear least squares of the polynomial and the three linearisable models, on spans of
// points, with the solver the program binds.
#pragma once

#include "analysis/linear_solver.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace plox {

inline constexpr int MAX_POLYNOMIAL_DEGREE = 9;

struct LeastSquaresResult {
    std::array<double, 10> coefficients{}; // a0 … a9; a0 is "a" and a1 "b" for the models
    double sigma = 0;                      // sqrt(SSE / n), in transformed coordinates
    double correlation = 0; // |r| = sqrt(|SSR / (SSR + SSE)|), 0 when that sum ≤ 1e-100
    int points = 0;         // points used
};

enum class FitStatus { Ok, NoPoints, Singular };

// Scratch of one fit: the system and the power sums; reusing one avoids allocations.
struct LeastSquaresWorkspace {
    std::vector<double> matrix, rhs, solution;
    std::array<double, 2 * MAX_POLYNOMIAL_DEGREE + 1> power_sums{}; // Σ X'^k
    std::array<double, MAX_POLYNOMIAL_DEGREE + 1> moment_sums{};    // Σ X'^k·Y'
};

// The degree the fit uses: 0 … 9 for kind 2, 1 for the models (16, 32, 64).
int effective_degree(int kind, int degree);

// (x, y) in the fit's coordinates: ln x for kinds 32 and 64, ln y for kinds 16 and 64.
// Nothing when a value is invalid or a logarithm's argument is not above 1e-300.
std::optional<std::array<double, 2>> transform_point(int kind, double x, double y);

// Fits kind 2, 16, 32 or 64 to the points (X[i], Y[i]); `through` is the point (already in
// the caller's data coordinates) the curve must pass, or nothing.
FitStatus fit_least_squares(int kind, int degree, std::optional<std::array<double, 2>> through,
                            std::span<const double> X, std::span<const double> Y,
                            LinearSolver& solver, LeastSquaresWorkspace& workspace,
                            LeastSquaresResult& result);

// The fitted function at x (value-evaluation command): -1e300 where it is not defined.
double least_squares_value(int kind, int degree, std::span<const double, 10> coefficients,
                           double x);

// Curve Y at every curve X (drawing): ERROR_VALUE where the curve is undefined, 0 for kind 64
// at x ≤ 1e-300.
void least_squares_curve(int kind, int degree, std::span<const double, 10> coefficients,
                         std::span<const double> curve_x, std::span<double> curve_y);

} // namespace plox
