// The analysis exports: table, set-up, computation, results and document state of each analysis.
#include "blocks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace ploxex {
namespace {

struct TableEntry {
    const char* key;
    const char* menu_text;
};

// Index 5 is answered but not counted, so the menu never offers it.
constexpr TableEntry TABLE[] = {
    {"GAUSSF2", "Gaussian fitting"}, {"LORENF2", "Lorenzian fitting"}, {"GetMax", "最大値サーチ"},
    {"GetMin", "最小値サーチ"},      {"PeakDct", "Peak Detect"},       {"SMOOTH", "Smothing"},
};
constexpr int32_t MENU_COUNT = 5;

void copy_text(char* dst, const char* src, size_t capacity) {
    if (!dst) return;
    const size_t n = std::min(std::strlen(src), capacity - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

// Returns the block to use for `kind`: the existing one when it is of that kind, else a new one
// (a block of another kind is freed: its layout means nothing here).
PloxexBlock* block_of_kind(PloxexBlock** handle, BlockKind kind, bool fresh) {
    PloxexBlock* block = *handle;
    if (block && block->kind == kind && !fresh) return block;
    PloxexBlock* made = new (std::nothrow) PloxexBlock{kind, {}, {}, {}};
    if (!made) return nullptr;
    delete block;
    *handle = made;
    return made;
}

bool write_line(const PloxexWriter* file, const char* text) {
    std::string line = text;
    line += "\r\n";
    return file->write && file->write(file->user, line.data(), line.size()) != 0;
}

int32_t save_peaks(const PloxexWriter* file, Analysis analysis, const PeakBlock& block) {
    const bool old_key = analysis == Analysis::OldGauss || analysis == Analysis::OldLorentz;
    const int peaks = std::clamp<int>(block.peaks, 1, MAX_PEAKS);
    char line[256];
    bool ok = true;
    std::snprintf(line, sizeof line, "%d", peaks + (old_key ? 1 : 2));
    ok &= write_line(file, line);
    std::snprintf(line, sizeof line, "%lf", block.tolerance);
    ok &= write_line(file, line);
    if (!old_key) {
        std::snprintf(line, sizeof line, "%d %lf", block.offset_free, block.initial_offset);
        ok &= write_line(file, line);
    }
    for (int k = 0; k < peaks; ++k) {
        std::snprintf(line, sizeof line, "%d %g %d %g %d %g", block.free[3 * k],
                      block.initial[3 * k], block.free[3 * k + 1], block.initial[3 * k + 1],
                      block.free[3 * k + 2], block.initial[3 * k + 2]);
        ok &= write_line(file, line);
    }
    return ok ? 1 : 0;
}

// Takes a value only when it converted and is finite, so a malformed line changes nothing.
void load_peaks(const char* line, int32_t number, Analysis analysis, PeakBlock& block) {
    const bool old_key = analysis == Analysis::OldGauss || analysis == Analysis::OldLorentz;
    if (number == 0) {
        double tolerance;
        if (std::sscanf(line, "%lf", &tolerance) == 1 && std::isfinite(tolerance))
            block.tolerance = tolerance;
        return;
    }
    if (!old_key && number == 1) {
        int flag;
        double offset;
        const int n = std::sscanf(line, "%d %lf", &flag, &offset);
        if (n >= 1) block.offset_free = flag ? 1 : 0;
        if (n >= 2 && std::isfinite(offset)) block.initial_offset = offset;
        return;
    }
    const int peak = number - (old_key ? 1 : 2);
    if (peak < 0 || peak >= MAX_PEAKS) return;
    int flags[3];
    double values[3];
    const int n = std::sscanf(line, "%d %lf %d %lf %d %lf", &flags[0], &values[0], &flags[1],
                              &values[1], &flags[2], &values[2]);
    if (n <= 0) return;
    for (int i = 0; i < 3; ++i) {
        if (n > 2 * i) block.free[3 * peak + i] = flags[i] ? 1 : 0;
        if (n > 2 * i + 1 && std::isfinite(values[i])) block.initial[3 * peak + i] = values[i];
    }
    block.peaks = peak + 1;
}

} // namespace

Analysis analysis_of(const char* name) {
    if (!name) return Analysis::Unknown;
    static constexpr struct {
        const char* key;
        Analysis analysis;
    } keys[] = {{"GAUSSF2", Analysis::Gauss},    {"LORENF2", Analysis::Lorentz},
                {"GAUSS_F", Analysis::OldGauss}, {"LOREN_F", Analysis::OldLorentz},
                {"GetMax", Analysis::GetMax},    {"GetMin", Analysis::GetMin},
                {"PeakDct", Analysis::PeakDct},  {"SMOOTH", Analysis::Smooth}};
    for (const auto& k : keys)
        if (std::strcmp(name, k.key) == 0) return k.analysis;
    return Analysis::Unknown;
}

} // namespace ploxex

using namespace ploxex;

extern "C" {

PLOXEX_API int32_t ExternalAnalyzeAbout(void*, void* window, int32_t show) {
    if (show) {
        char text[64];
        std::snprintf(text, sizeof text, "PloxWin Extension DLL ver.%x.%02x", PLOXEX_VERSION & 0xFF,
                      PLOXEX_VERSION >> 8);
        show_about(window, text);
    }
    return PLOXEX_VERSION;
}

PLOXEX_API int32_t RegisterExternalAnalyze(int32_t index, char* key, char* menu_text) {
    if (index >= 0 && index < static_cast<int32_t>(std::size(TABLE))) {
        copy_text(key, TABLE[index].key, PLOXEX_KEY_SIZE);
        copy_text(menu_text, TABLE[index].menu_text, PLOXEX_MENU_TEXT_SIZE);
    }
    return MENU_COUNT;
}

PLOXEX_API int32_t InitExternalAnalyze(void* window, const char* name, PloxexBlock** block,
                                       int32_t quiet, int32_t* has_curve, int32_t* show_result) {
    if (!block) return PLOXEX_INIT_FAILED;
    int32_t curve = 0, result = 0, status = PLOXEX_INIT_FAILED;
    try {
        const Analysis analysis = analysis_of(name);
        switch (analysis) {
        case Analysis::Gauss:
        case Analysis::Lorentz:
        case Analysis::OldGauss:
        case Analysis::OldLorentz: {
            PloxexBlock* b = block_of_kind(block, BlockKind::Peak, false);
            if (!b) break;
            curve = result = 1;
            status = quiet || run_gauss_dialog(window, b->peak) == 1 ? PLOXEX_INIT_CURVE
                                                                     : PLOXEX_INIT_FAILED;
            break;
        }
        case Analysis::GetMax:
        case Analysis::GetMin:
            if (!block_of_kind(block, BlockKind::Extremum, true)) break;
            result = 1;
            status = PLOXEX_INIT_RESULT_ONLY;
            break;
        case Analysis::PeakDct:
            if (!block_of_kind(block, BlockKind::Detection, false)) break;
            curve = result = 1;
            status = PLOXEX_INIT_CURVE;
            break;
        case Analysis::Smooth:
            curve = 1;
            status = PLOXEX_INIT_PER_POINT;
            break;
        case Analysis::Unknown:
            break;
        }
    } catch (...) {
        status = PLOXEX_INIT_FAILED;
    }
    if (has_curve) *has_curve = curve;
    if (show_result) *show_result = result;
    return status;
}

PLOXEX_API int32_t SetExternalAnalyzeFirst(char* name, PloxexBlock* block, int32_t count,
                                           const double* x, const double* y) {
    if (count < 0 || (count > 0 && (!x || !y))) return -1;
    try {
        const Analysis analysis = analysis_of(name);
        if (is_peak_fit(analysis)) {
            if (!block || block->kind != BlockKind::Peak) return -1;
            if (analysis == Analysis::OldGauss) copy_text(name, "GAUSSF2", PLOXEX_KEY_SIZE);
            if (analysis == Analysis::OldLorentz) copy_text(name, "LORENF2", PLOXEX_KEY_SIZE);
            return fit_peaks(block->peak, is_lorentz(analysis), count, x, y);
        }
        switch (analysis) {
        case Analysis::GetMax:
        case Analysis::GetMin:
            if (!block || block->kind != BlockKind::Extremum) return -1;
            return find_extremum(block->extremum, analysis == Analysis::GetMax, count, x, y);
        case Analysis::PeakDct:
            if (!block || block->kind != BlockKind::Detection) return -1;
            detect_turning_points(block->detection, count, x, y);
            return 1;
        case Analysis::Smooth:
            return 1;
        default:
            return -1;
        }
    } catch (...) {
        return -1;
    }
}

PLOXEX_API int32_t SetExternalAnalyzeSecond(const char* name, PloxexBlock* block, int32_t component,
                                            int32_t division, double* curve_x, double* curve_y,
                                            int32_t count, const double* x, const double* y) {
    if (division < 0 || (division > 0 && (!curve_x || !curve_y))) return 0;
    if (count < 0 || (count > 0 && (!x || !y))) return 0;
    try {
        const Analysis analysis = analysis_of(name);
        if (is_peak_fit(analysis)) {
            if (!block || block->kind != BlockKind::Peak) return 0;
            return peak_curve(block->peak, is_lorentz(analysis), component, division, curve_x,
                              curve_y);
        }
        switch (analysis) {
        case Analysis::GetMax:
        case Analysis::GetMin:
            for (int32_t i = 0; i < division; ++i)
                curve_x[i] = curve_y[i] = ERROR_VALUE;
            return 1;
        case Analysis::PeakDct:
            if (!block || block->kind != BlockKind::Detection) return 0;
            detection_curve(block->detection, division, curve_x, curve_y);
            return 1;
        case Analysis::Smooth:
            smooth_curve(division, curve_x, curve_y, count, x, y);
            return 1;
        default:
            return 0;
        }
    } catch (...) {
        return 0;
    }
}

PLOXEX_API int32_t EndExternalAnalyze(const PloxexListSink* sink, const char* name,
                                      const PloxexBlock* block) {
    if (!sink || !sink->add_line || !block) return 0;
    const Analysis analysis = analysis_of(name);
    char line[128];
    if (is_peak_fit(analysis) && block->kind == BlockKind::Peak) {
        peak_result_lines(block->peak, is_lorentz(analysis), *sink);
    } else if ((analysis == Analysis::GetMax || analysis == Analysis::GetMin) &&
               block->kind == BlockKind::Extremum) {
        std::snprintf(line, sizeof line,
                      analysis == Analysis::GetMax ? "MAX(X,Y)= %g, %g" : "MIN(X,Y)= %g, %g",
                      block->extremum.x, block->extremum.y);
        sink->add_line(sink->user, line);
    } else if (analysis == Analysis::PeakDct && block->kind == BlockKind::Detection) {
        const auto& d = block->detection;
        for (int i = 0; i < std::clamp<int32_t>(d.count, 0, DETECTED_POINTS); ++i) {
            std::snprintf(line, sizeof line, "(x,y)=(%g, %g)", d.x[i], d.y[i]);
            sink->add_line(sink->user, line);
        }
    }
    return 0;
}

PLOXEX_API int32_t SaveExternalAnalyze(int32_t, const PloxexWriter* file, const char* name,
                                       const PloxexBlock* block) {
    if (!file) return 0;
    try {
        const Analysis analysis = analysis_of(name);
        if (is_peak_fit(analysis) && block && block->kind == BlockKind::Peak)
            return save_peaks(file, analysis, block->peak);
        // Every other analysis keeps no state; a count line of 0 keeps the document readable.
        return write_line(file, "0") ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

PLOXEX_API int32_t LoadExternalAnalyze(int32_t, const char* line, int32_t line_number,
                                       const char* name, PloxexBlock* block) {
    if (!line || !block || line_number < 0) return 1;
    const Analysis analysis = analysis_of(name);
    if (is_peak_fit(analysis) && block->kind == BlockKind::Peak)
        load_peaks(line, line_number, analysis, block->peak);
    return 1;
}

PLOXEX_API void FreeExternalAnalyze(PloxexBlock* block) {
    delete block;
}

} // extern "C"
