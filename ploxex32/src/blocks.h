// The per-series state blocks of the analyses and the internal entry points behind the exports.
#pragma once

#include "ploxex32.h"

#include <array>
#include <cstdint>
#include <string>

namespace ploxex {

inline constexpr double ERROR_VALUE = -1e301;
inline bool is_valid(double v) {
    return v > -1e300;
}

inline constexpr int MAX_PEAKS = 6;
inline constexpr int DETECTED_POINTS = 20;

template <class T, size_t N> constexpr std::array<T, N> filled(T v) {
    std::array<T, N> a{};
    a.fill(v);
    return a;
}

// Edited by the "SET_GAUSS" dialog, kept in documents, filled by the fit.
struct PeakBlock {
    int32_t peaks = 1;
    std::array<int32_t, 3 * MAX_PEAKS> free =
        filled<int32_t, 3 * MAX_PEAKS>(1); // I, P, FWHM per peak
    int32_t offset_free = 0;
    std::array<double, 3 * MAX_PEAKS> initial = filled<double, 3 * MAX_PEAKS>(1.0); // I, P, FWHM
    double initial_offset = 0;
    std::array<double, 3 * MAX_PEAKS> fitted{}; // I, P, width parameter W
    double fitted_offset = 0;
    double tolerance = 0.1; // percent
};

struct ExtremumBlock {
    double x = 0;
    double y = 0;
};

struct DetectionBlock {
    int32_t count = 0;
    std::array<double, DETECTED_POINTS> x{}, y{}, steepness{}; // by decreasing |steepness|
};

enum class BlockKind { Peak, Extremum, Detection };

enum class Analysis {
    Gauss,
    Lorentz,
    OldGauss,
    OldLorentz,
    GetMax,
    GetMin,
    PeakDct,
    Smooth,
    Unknown
};

Analysis analysis_of(const char* name);
inline bool is_peak_fit(Analysis a) {
    return a == Analysis::Gauss || a == Analysis::Lorentz || a == Analysis::OldGauss ||
           a == Analysis::OldLorentz;
}
inline bool is_lorentz(Analysis a) {
    return a == Analysis::Lorentz || a == Analysis::OldLorentz;
}

// Peak fits (peak_fit.cpp).
int32_t fit_peaks(PeakBlock& block, bool lorentz, int32_t count, const double* x, const double* y);
int32_t peak_curve(const PeakBlock& block, bool lorentz, int32_t component, int32_t division,
                   const double* curve_x, double* curve_y);
void peak_result_lines(const PeakBlock& block, bool lorentz, const PloxexListSink& sink);

// The other analyses (simple_analyses.cpp).
int32_t find_extremum(ExtremumBlock& block, bool maximum, int32_t count, const double* x,
                      const double* y);
void detect_turning_points(DetectionBlock& block, int32_t count, const double* x, const double* y);
void detection_curve(DetectionBlock& block, int32_t division, double* curve_x, double* curve_y);
void smooth_curve(int32_t division, double* curve_x, double* curve_y, int32_t count,
                  const double* x, const double* y);

// The "SET_GAUSS" dialog: 1 OK, 0 cancelled or closed, -1 could not be shown.
int run_gauss_dialog(void* window, PeakBlock& block);
void show_about(void* window, const std::string& text);

} // namespace ploxex

struct PloxexBlock {
    ploxex::BlockKind kind; // which member is in use
    ploxex::PeakBlock peak;
    ploxex::ExtremumBlock extremum;
    ploxex::DetectionBlock detection;
};
