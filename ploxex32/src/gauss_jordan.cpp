// Gauss-Jordan elimination with partial pivoting over the rows not yet used as pivots.
#include "ploxex32.h"

#include <array>
#include <cmath>

extern "C" PLOXEX_API int32_t GaussJordan(int32_t n, const double* matrix, const double* rhs,
                                          double* solution) {
    constexpr int LIMIT = 20;
    if (n < 1 || n >= LIMIT || !matrix || !rhs || !solution) return 0;
    std::array<double, LIMIT * LIMIT> a;
    std::array<double, LIMIT> b;
    std::array<int, LIMIT> pivot_row;
    std::array<bool, LIMIT> used{};
    for (int i = 0; i < n * n; ++i)
        a[i] = matrix[i];
    for (int i = 0; i < n; ++i)
        b[i] = rhs[i];

    for (int c = 0; c < n; ++c) {
        int best = -1;
        double best_magnitude = -1;
        for (int r = 0; r < n; ++r) {
            if (used[r]) continue;
            const double m = std::fabs(a[c + n * r]);
            if (m > best_magnitude) { // strict: the first row wins ties
                best_magnitude = m;
                best = r;
            }
        }
        // The negated test also refuses NaN pivots.
        if (best < 0 || !(best_magnitude >= 1e-100)) return 0;
        const double pivot = a[c + n * best];
        for (int k = c; k < n; ++k)
            a[k + n * best] /= pivot;
        b[best] /= pivot;
        used[best] = true;
        pivot_row[c] = best;
        for (int r = 0; r < n; ++r) {
            if (r == best) continue;
            const double factor = a[c + n * r];
            if (factor == 0) continue;
            for (int k = c + 1; k < n; ++k)
                a[k + n * r] -= factor * a[k + n * best];
            a[c + n * r] = 0;
            b[r] -= factor * b[best];
        }
    }
    for (int c = 0; c < n; ++c)
        solution[c] = b[pivot_row[c]];
    return 1;
}
