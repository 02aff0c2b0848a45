// Gaussian and Lorentzian multi-peak fits on a constant offset (Levenberg-Marquardt).
#include "blocks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace ploxex {
namespace {

// FWHM = GAUSS_FWHM · W for a Gaussian exp(-((x - P)/W)²), 2·W for a Lorentzian.
const double GAUSS_FWHM = 2 * std::sqrt(std::log(2.0));

constexpr int MAX_PARAMETERS = 1 + 3 * MAX_PEAKS; // offset, then I, P, W per peak
constexpr int MAX_ITERATIONS = 100;

struct Model {
    bool lorentz = false;
    int peaks = 1;
    double p[MAX_PARAMETERS] = {};

    // One peak k at x, with its derivatives d/dI, d/dP, d/dW when wanted.
    double peak(int k, double x, double* d = nullptr) const {
        const double I = p[1 + 3 * k], P = p[2 + 3 * k], W = p[3 + 3 * k];
        const double a = (x - P) / W;
        if (lorentz) {
            const double c = 1 / (1 + a * a);
            if (d) {
                d[0] = c;
                d[1] = 2 * I * a * c * c / W;
                d[2] = 2 * I * a * a * c * c / W;
            }
            return I * c;
        }
        const double e = std::exp(-a * a);
        if (d) {
            d[0] = e;
            d[1] = 2 * a * I * e / W;
            d[2] = 2 * a * a * I * e / W;
        }
        return I * e;
    }
};

// The normal equations of the free parameters at the model's current values.
struct Curvature {
    int n = 0;
    double alpha[MAX_PARAMETERS * MAX_PARAMETERS] = {};
    double beta[MAX_PARAMETERS] = {};
    double chi2 = 0;
};

class PeakFitter {
public:
    PeakFitter(Model model, const int* free_index, int free_count, int32_t count, const double* x,
               const double* y)
        : model_(model), free_(free_index), nfree_(free_count), count_(count), x_(x), y_(y) {}

    // Over the points whose X and Y are valid. False when χ² is not finite.
    bool evaluate(const Model& m, Curvature& c) const {
        c = Curvature{};
        c.n = nfree_;
        double all[MAX_PARAMETERS];
        double d[MAX_PARAMETERS];
        for (int32_t j = 0; j < count_; ++j) {
            if (!is_valid(x_[j]) || !is_valid(y_[j])) continue;
            double f = m.p[0];
            all[0] = 1;
            for (int k = 0; k < m.peaks; ++k)
                f += m.peak(k, x_[j], &all[1 + 3 * k]);
            for (int i = 0; i < nfree_; ++i)
                d[i] = all[free_[i]];
            const double dy = y_[j] - f;
            for (int i = 0; i < nfree_; ++i) {
                for (int l = 0; l <= i; ++l)
                    c.alpha[l + nfree_ * i] += d[i] * d[l];
                c.beta[i] += d[i] * dy;
            }
            c.chi2 += dy * dy;
        }
        for (int i = 0; i < nfree_; ++i)
            for (int l = 0; l < i; ++l)
                c.alpha[i + nfree_ * l] = c.alpha[l + nfree_ * i];
        return std::isfinite(c.chi2);
    }

    // Levenberg-Marquardt as the general-function fit does it, with λ starting at 0.001.
    bool run(double tolerance) {
        if (!evaluate(model_, current_)) return false;
        if (nfree_ == 0) return true;
        double lambda = 0.001;
        double best = current_.chi2;
        for (int iteration = 1; iteration <= MAX_ITERATIONS; ++iteration) {
            double delta[MAX_PARAMETERS];
            if (!solve(current_, lambda, delta)) return false;
            Model trial = model_;
            bool moved = false;
            for (int i = 0; i < nfree_; ++i) {
                trial.p[free_[i]] += delta[i];
                moved |= trial.p[free_[i]] != model_.p[free_[i]];
            }
            // A step too small to move any parameter means the minimum is reached to the last
            // bit; without this, exact data would run out of iterations and count as a failure.
            if (!moved) return true;
            Curvature next;
            double reported = current_.chi2;
            if (evaluate(trial, next) && next.chi2 < current_.chi2) {
                lambda *= 0.1;
                model_ = trial;
                current_ = next;
                reported = next.chi2;
            } else {
                lambda *= 10;
            }
            // A perfect fit cannot improve by any ratio; it has converged.
            if (reported == 0) return true;
            if (best > reported && tolerance * 0.01 > 1 - reported / best) return true;
            best = reported;
        }
        return false;
    }

    const Model& model() const { return model_; }

private:
    bool solve(const Curvature& c, double lambda, double* delta) const {
        double a[MAX_PARAMETERS * MAX_PARAMETERS];
        for (int i = 0; i < nfree_ * nfree_; ++i)
            a[i] = c.alpha[i];
        for (int i = 0; i < nfree_; ++i)
            a[i + nfree_ * i] *= 1 + lambda;
        return GaussJordan(nfree_, a, c.beta, delta) != 0;
    }

    Model model_;
    const int* free_;
    int nfree_;
    int32_t count_;
    const double* x_;
    const double* y_;
    Curvature current_;
};

double fwhm_factor(bool lorentz) {
    return lorentz ? 2.0 : GAUSS_FWHM;
}

Model fitted_model(const PeakBlock& block, bool lorentz) {
    Model m;
    m.lorentz = lorentz;
    m.peaks = std::clamp<int>(block.peaks, 1, MAX_PEAKS);
    m.p[0] = block.fitted_offset;
    for (int i = 0; i < 3 * m.peaks; ++i)
        m.p[1 + i] = block.fitted[i];
    return m;
}

} // namespace

int32_t fit_peaks(PeakBlock& block, bool lorentz, int32_t count, const double* x, const double* y) {
    Model m;
    m.lorentz = lorentz;
    m.peaks = std::clamp<int>(block.peaks, 1, MAX_PEAKS);
    block.peaks = m.peaks;
    int free_index[MAX_PARAMETERS];
    int nfree = 0;
    m.p[0] = block.initial_offset;
    if (block.offset_free) free_index[nfree++] = 0;
    for (int k = 0; k < m.peaks; ++k) {
        m.p[1 + 3 * k] = block.initial[3 * k];
        m.p[2 + 3 * k] = block.initial[3 * k + 1];
        m.p[3 + 3 * k] = block.initial[3 * k + 2] / fwhm_factor(lorentz);
        for (int i = 0; i < 3; ++i)
            if (block.free[3 * k + i]) free_index[nfree++] = 1 + 3 * k + i;
    }
    PeakFitter fitter(m, free_index, nfree, count, x, y);
    if (!fitter.run(block.tolerance)) return -1;
    const Model& result = fitter.model();
    block.fitted_offset = result.p[0];
    for (int i = 0; i < 3 * m.peaks; ++i)
        block.fitted[i] = result.p[1 + i];
    return m.peaks + 1 + (std::fabs(result.p[0]) > 1e-30 ? 1 : 0);
}

int32_t peak_curve(const PeakBlock& block, bool lorentz, int32_t component, int32_t division,
                   const double* curve_x, double* curve_y) {
    const Model m = fitted_model(block, lorentz);
    const int32_t total = m.peaks + (block.offset_free ? 1 : 0);
    if (component < 0 || component > total) {
        for (int32_t i = 0; i < division; ++i)
            curve_y[i] = ERROR_VALUE;
        return 0;
    }
    for (int32_t i = 0; i < division; ++i) {
        const double x = curve_x[i];
        if (!is_valid(x)) {
            curve_y[i] = ERROR_VALUE;
            continue;
        }
        double y = m.p[0];
        if (component == total)
            for (int k = 0; k < m.peaks; ++k)
                y += m.peak(k, x);
        else if (component < m.peaks)
            y += m.peak(component, x);
        curve_y[i] = std::isfinite(y) ? y : ERROR_VALUE;
    }
    return 1;
}

void peak_result_lines(const PeakBlock& block, bool lorentz, const PloxexListSink& sink) {
    const Model m = fitted_model(block, lorentz);
    char line[96];
    std::snprintf(line, sizeof line, "offset= %g", m.p[0]);
    sink.add_line(sink.user, line);
    for (int k = 0; k < m.peaks; ++k) {
        std::snprintf(line, sizeof line, "%1d:Int.= %g", k + 1, m.p[1 + 3 * k]);
        sink.add_line(sink.user, line);
        std::snprintf(line, sizeof line, "%1d:Pos = %g", k + 1, m.p[2 + 3 * k]);
        sink.add_line(sink.user, line);
        std::snprintf(line, sizeof line, "%1d:Width=%g", k + 1,
                      fwhm_factor(lorentz) * std::fabs(m.p[3 + 3 * k]));
        sink.add_line(sink.user, line);
    }
}

} // namespace ploxex
