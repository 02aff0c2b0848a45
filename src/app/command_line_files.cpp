// The files named on the window's command line.
#include "app/command_line_files.h"

#include <algorithm>
#include <filesystem>

namespace plox::app {

std::vector<std::string> command_line_files(const std::vector<std::string>& words) {
    if (words.empty()) return {};
    std::string joined;
    for (size_t i = 0; i < words.size(); ++i)
        joined += (i ? " " : "") + words[i];
    std::error_code ec;
    const auto exists = [&](const std::string& f) { return std::filesystem::exists(f, ec); };
    if (words.size() > 1 && !exists(joined) && std::all_of(words.begin(), words.end(), exists))
        return words;
    return {joined};
}

} // namespace plox::app
