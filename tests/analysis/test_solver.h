// A linear solver for the tests, with the semantics the program's binding has: partial
// pivoting, failure when n ≥ 20 or the largest remaining pivot is below 1e-100.
#pragma once

#include "analysis/linear_solver.h"

#include <cmath>
#include <vector>

namespace plox::test {

class TestSolver : public LinearSolver {
public:
    bool solve(std::span<const double> matrix, std::span<const double> rhs,
               std::span<double> solution) override {
        ++calls;
        const size_t n = rhs.size();
        if (n >= 20) return false;
        std::vector<double> a(matrix.begin(), matrix.end()), b(rhs.begin(), rhs.end());
        std::vector<size_t> pivot_row(n);
        std::vector<bool> used(n, false);
        for (size_t c = 0; c < n; ++c) {
            size_t best = n;
            for (size_t r = 0; r < n; ++r)
                if (!used[r] && (best == n || std::fabs(a[c + n * r]) > std::fabs(a[c + n * best])))
                    best = r;
            if (std::fabs(a[c + n * best]) < 1e-100) return false;
            const double p = a[c + n * best];
            for (size_t k = c; k < n; ++k)
                a[k + n * best] /= p;
            b[best] /= p;
            used[best] = true;
            pivot_row[c] = best;
            for (size_t r = 0; r < n; ++r) {
                if (r == best) continue;
                const double f = a[c + n * r];
                for (size_t k = c; k < n; ++k)
                    a[k + n * r] -= f * a[k + n * best];
                b[r] -= f * b[best];
            }
        }
        for (size_t c = 0; c < n; ++c)
            solution[c] = b[pivot_row[c]];
        return true;
    }
    int calls = 0;
};

} // namespace plox::test
