// Deterministic input files of the data benchmarks: 320,000 lines of two columns (~8 MB),
// separated by spaces or by commas, written once per run into the temporary folder.
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace plox::bench {

inline constexpr int BENCH_LINES = 320000;

inline std::string two_column_text(char separator) {
    std::string text;
    text.reserve(static_cast<size_t>(BENCH_LINES) * 28);
    char line[64];
    for (int i = 0; i < BENCH_LINES; ++i) {
        const double x = i * 0.001;
        const double y = std::sin(x) * 1000.0 + i % 97;
        const int n = std::snprintf(line, sizeof line, "%.6f%c%.9e\r\n", x, separator, y);
        text.append(line, static_cast<size_t>(n));
    }
    return text;
}

// Path of the file, created on first use.
inline std::string two_column_file(char separator) {
    const std::string name = separator == ',' ? "plox_bench_320k.csv" : "plox_bench_320k.dat";
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    const std::string text = two_column_text(separator);
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) != text.size())
        std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace plox::bench
