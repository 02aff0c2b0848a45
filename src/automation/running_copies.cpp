// Extracted-files list: take-over checks and the final clean-up.
#include "automation/running_copies.h"

#include "document/model.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace plox {

namespace fs = std::filesystem;

namespace {

fs::path resolved_folder(const fs::path& p) {
    std::error_code ec;
    fs::path out = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : out;
}

void remove_if_inside(const std::string& path, const std::string& dir) {
    if (is_directly_inside(path, dir)) std::remove(path.c_str());
}

} // namespace

bool is_directly_inside(const std::string& path, const std::string& dir) {
    if (path.empty() || dir.empty()) return false;
    const fs::path p = fs::path(path).lexically_normal();
    if (!p.has_filename() || p.filename() == "." || p.filename() == "..") return false;
    return resolved_folder(p.parent_path()) == resolved_folder(fs::path(dir));
}

bool is_acceptable_list(const std::string& list, const std::string& temp_dir) {
    std::error_code ec;
    return is_directly_inside(list, temp_dir) &&
           fs::path(list).filename().string().rfind("QVD", 0) == 0 &&
           fs::is_regular_file(fs::symlink_status(list, ec));
}

void delete_extracted_files(const std::string& list, const std::vector<std::string>& own,
                            const std::string& temp_dir) {
    for (const std::string& f : own)
        remove_if_inside(f, temp_dir);
    if (list.empty()) return;
    {
        std::ifstream in(list, std::ios::binary);
        char record[PATH_CAPACITY];
        while (in.read(record, sizeof record))
            remove_if_inside(std::string(record, strnlen(record, sizeof record)), temp_dir);
    }
    remove_if_inside(list, temp_dir);
}

} // namespace plox
