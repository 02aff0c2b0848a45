// The linear solver every fit uses. The program binds it to the extension module's
// GaussJordan; analysis code only sees this interface.
#pragma once

#include <span>

namespace plox {

inline constexpr int MAX_SOLVER_UNKNOWNS = 19; // GaussJordan refuses n >= 20

class LinearSolver {
public:
    virtual ~LinearSolver() = default;
    // Solves A·x = b with n = b.size() unknowns. `matrix` holds n·n doubles, row r column c at
    // index c + n·r; `solution` receives n doubles. Neither input is changed. Returns false when
    // n >= 20 or the matrix is singular (largest remaining pivot below 1e-100), like
    // GaussJordan's result 0; `solution` is then unspecified.
    virtual bool solve(std::span<const double> matrix, std::span<const double> rhs,
                       std::span<double> solution) = 0;
};

} // namespace plox
