// Helpers of the document tests: a scratch folder and whole-file reading and writing.
#pragma once

#include "document/model.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace plox::test {

class ScratchDir {
public:
    ScratchDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("plox-doc-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // Path of `name` inside the folder (a string ending in '/' for an empty name).
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::string dir() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A graph that uses every kind of block of a document.
Graph make_rich_graph(const std::string& data_dir);

} // namespace plox::test
