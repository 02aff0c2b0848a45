// The extra functions of the expression evaluator: dif, integ, theta, delta, erfc, gamma, max, min.
#include "blocks.h"

#include <cmath>
#include <strings.h>

namespace ploxex {
namespace {

constexpr const char* NAMES[] = {"dif", "integ", "theta", "delta", "erfc", "gamma", "max", "min"};

// Rational approximation 1/(1 + a1·x + … + a6·x⁶)^16 on 0 < x ≤ 10.
double erfc_value(double x) {
    if (!is_valid(x) || x < 0) return ERROR_VALUE;
    // The ends take the function's own values: erfc(0) = 1 and erfc(x) is below 1e-40 past 10.
    if (x == 0) return 1;
    if (x > 10) return 0;
    static constexpr double a[] = {0.0705230784, 0.0422820123, 0.0092705272,
                                   0.0001520143, 0.0002765672, 0.0000430638};
    double sum = 1, power = 1;
    for (double c : a) {
        power *= x;
        sum += c * power;
    }
    return std::pow(sum, -16);
}

double gamma_value(double x) {
    if (!is_valid(x) || !(x > 0 && x < 57)) return ERROR_VALUE;
    static constexpr double b[] = {-0.577191652, 0.988205891, -0.897056937, 0.918206857,
                                   -0.756704078, 0.482199394, -0.193527818, 0.035868343};
    double factor = 1;
    while (x > 1) {
        x -= 1;
        factor *= x;
    }
    double series = 1, power = 1;
    for (double c : b) {
        power *= x;
        series += c * power;
    }
    return factor * series / x;
}

} // namespace
} // namespace ploxex

using namespace ploxex;

extern "C" {

PLOXEX_API int32_t ExternalFunctionNumber(const char* name) {
    if (!name) return -1;
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(NAMES)); ++i)
        if (strcasecmp(name, NAMES[i]) == 0) return i;
    return -1;
}

PLOXEX_API int32_t ExternalFunctionSet(int32_t index, const double* v, const double*, const double*,
                                       double* out, int32_t n) {
    if (index < 0 || index >= static_cast<int32_t>(std::size(NAMES))) return -1;
    if (n <= 0) return 0;
    if (!v || !out) return -1;
    switch (index) {
    case 0: // dif
        // Backwards so that out may alias v.
        for (int32_t i = n - 1; i >= 1; --i)
            out[i] = is_valid(v[i]) && is_valid(v[i - 1]) ? v[i] - v[i - 1] : ERROR_VALUE;
        out[0] = ERROR_VALUE;
        break;
    case 1: { // integ
        double sum = 0;
        for (int32_t i = 0; i < n; ++i) {
            if (is_valid(v[i])) sum += v[i];
            out[i] = sum;
        }
        break;
    }
    case 2: // theta
        for (int32_t i = 0; i < n; ++i)
            out[i] = !is_valid(v[i]) ? ERROR_VALUE : v[i] >= 0 ? 1 : 0;
        break;
    case 3: // delta
        for (int32_t i = 0; i < n; ++i)
            out[i] = !is_valid(v[i]) ? ERROR_VALUE : std::fabs(v[i]) <= 1e300 ? 1 : 0;
        break;
    case 4: // erfc
        for (int32_t i = 0; i < n; ++i)
            out[i] = erfc_value(v[i]);
        break;
    case 5: // gamma
        for (int32_t i = 0; i < n; ++i)
            out[i] = gamma_value(v[i]);
        break;
    case 6:   // max
    case 7: { // min
        double extreme = ERROR_VALUE;
        bool any = false;
        for (int32_t i = 0; i < n; ++i) {
            if (!is_valid(v[i])) continue;
            if (!any || (index == 6 ? v[i] > extreme : v[i] < extreme)) extreme = v[i];
            any = true;
        }
        for (int32_t i = 0; i < n; ++i)
            out[i] = extreme;
        break;
    }
    }
    return 0;
}

} // extern "C"
