// The spectral colour tool: a spectrum of 401 samples against the colour-matching table
// gives tristimulus sums, chromaticity and an sRGB colour scaled to 0 … 255.
#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>

namespace chromix {

inline constexpr int RECORD_COUNT = 401;
inline constexpr const char* TABLE_FILE = "color_matching_functions1.dat";

struct ColourResult {
    float XSTI = 0, YSTI = 0, ZSTI = 0; // Σ S·x̄, Σ S·ȳ, Σ S·z̄
    float x = 0, y = 0;                 // chromaticity; 0 when the three sums add up to 0
    float R1 = 0, G1 = 0, B1 = 0;       // encoded channels R', G', B'
    float MAX = 0, MIN = 0;             // extremes of 0, R', G', B'
    float R = 0, G = 0, B = 0;          // 0 … 255; all 0 when MAX equals MIN
};

// `matching` holds x̄, ȳ, z̄ per record, paired with `spectrum` record by record.
ColourResult compute_colour(std::span<const float> spectrum,
                            std::span<const std::array<float, 3>> matching);

// "RGB_" before the base name, in the directory the name gives (if any).
std::filesystem::path result_path(const std::string& name);

// The whole tool: prompt on `out`, name from `in`, files relative to `dir`. Returns the exit
// status; a fatal error prints its message on `err` and returns 1.
int run(std::istream& in, std::ostream& out, std::ostream& err, const std::filesystem::path& dir);

} // namespace chromix
