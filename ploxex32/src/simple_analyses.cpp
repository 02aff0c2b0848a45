// Maximum and minimum search, turning-point detection and FFT smoothing.
#include "blocks.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace ploxex {

int32_t find_extremum(ExtremumBlock& block, bool maximum, int32_t count, const double* x,
                      const double* y) {
    int32_t found = -1;
    for (int32_t i = 0; i < count; ++i) {
        if (!is_valid(x[i]) || !is_valid(y[i])) continue;
        if (found < 0 || (maximum ? y[i] > y[found] : y[i] < y[found]))
            found = i; // earliest wins ties
    }
    // No valid point: the zeroed block stands, and the search still succeeds.
    if (found < 0) return 0;
    block.x = x[found];
    block.y = y[found];
    return 0;
}

void detect_turning_points(DetectionBlock& block, int32_t count, const double* x, const double* y) {
    block = DetectionBlock{};
    auto usable = [&](int32_t i) { return is_valid(x[i]) && is_valid(y[i]); };
    for (int32_t i = 1; i + 1 < count; ++i) {
        if (!usable(i - 1) || !usable(i) || !usable(i + 1)) continue;
        const double d1 = y[i] - y[i - 1];
        const double d2 = y[i + 1] - y[i];
        if (!(d1 * d2 < 0)) continue;
        const double e = std::fabs(d2) >= std::fabs(d1) ? d2 : d1;
        int at = 0;
        while (at < DETECTED_POINTS && std::fabs(block.steepness[at]) >= std::fabs(e))
            ++at;
        if (at == DETECTED_POINTS) continue;
        for (int k = DETECTED_POINTS - 1; k > at; --k) {
            block.x[k] = block.x[k - 1];
            block.y[k] = block.y[k - 1];
            block.steepness[k] = block.steepness[k - 1];
        }
        block.x[at] = x[i];
        block.y[at] = y[i];
        block.steepness[at] = e;
    }
    block.count = 0;
    while (block.count < DETECTED_POINTS && block.steepness[block.count] != 0)
        ++block.count;
}

void detection_curve(DetectionBlock& block, int32_t division, double* curve_x, double* curve_y) {
    int32_t used = 0;
    int32_t drawn = 0;
    for (int i = 0; i < DETECTED_POINTS; ++i) {
        const double e = block.steepness[i];
        if (!(std::fabs(e) > 0)) continue;
        if (used + 3 > division) break;
        curve_x[used] = block.x[i];
        curve_y[used] = block.y[i];
        curve_x[used + 1] = block.x[i];
        curve_y[used + 1] = block.y[i] - e;
        curve_x[used + 2] = curve_y[used + 2] = ERROR_VALUE;
        used += 3;
        ++drawn;
    }
    for (int32_t i = used; i < division; ++i)
        curve_x[i] = curve_y[i] = ERROR_VALUE;
    block.count = drawn;
}

namespace {

// In-place radix-2 FFT; size is a power of two. sign -1 forward, +1 inverse (unscaled).
void fft(std::vector<std::complex<double>>& a, int sign) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = sign * 2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += len) {
            std::complex<double> w(1, 0);
            for (size_t k = 0; k < len / 2; ++k) {
                const auto u = a[start + k];
                const auto v = a[start + k + len / 2] * w;
                a[start + k] = u + v;
                a[start + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

} // namespace

void smooth_curve(int32_t division, double* curve_x, double* curve_y, int32_t count,
                  const double* x, const double* y) {
    constexpr double WIDTH = 10;
    // Curve points beyond the smoothed ones are 0.
    for (int32_t i = 0; i < division; ++i)
        curve_x[i] = curve_y[i] = 0;
    if (division < 1) return;
    int32_t a = 1;
    while (a * 2 <= division)
        a *= 2;
    int32_t copied = 0;
    for (int32_t i = 0; i < count && copied < a; ++i) {
        if (!is_valid(x[i]) || !is_valid(y[i])) continue;
        curve_x[copied] = x[i];
        curve_y[copied] = y[i];
        ++copied;
    }
    if (copied < 2) return;

    const double first = curve_y[0];
    const double slope = (curve_y[copied - 1] - first) / (copied - 1);
    size_t m = 2;
    while (m < static_cast<size_t>(a) + 20)
        m *= 2;
    std::vector<std::complex<double>> data(m);
    for (int32_t i = 0; i < copied; ++i)
        data[i] = curve_y[i] - (first + slope * i);

    fft(data, -1);
    const double half = static_cast<double>(m) / 2;
    const double ratio = WIDTH / static_cast<double>(m);
    bool cut = false;
    for (size_t k = 1; k < m / 2; ++k) {
        double factor = cut ? 0 : 1 - static_cast<double>(k * k) * ratio * ratio;
        if (factor <= 0) {
            factor = 0;
            cut = true;
        }
        data[k] *= factor;
        data[m - k] *= factor;
    }
    data[m / 2] *= std::max(0.0, 1 - WIDTH * WIDTH / 4);
    fft(data, +1);
    // The forward transform divided by M/2 and the real inverse together scale by 1/M.
    const double scale = 1 / (2 * half);
    for (int32_t i = 0; i < copied; ++i)
        curve_y[i] = data[i].real() * scale + first + slope * i;
}

} // namespace ploxex
