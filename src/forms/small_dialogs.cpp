// About box lines and the search for missing data files.
#include "forms/small_dialogs.h"

#include "document/paths.h"

#include <cstdio>

namespace plox::forms {

std::string module_version_text(int32_t version) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d.%02d", version & 0xFF, (version >> 8) & 0xFF);
    return buf;
}

std::vector<std::string> about_lines(int32_t extension_version,
                                     std::optional<int32_t> converter_version) {
    return {"Plox for Windows95/98/NT  ver. 1.48",
            "Ploxext.dll:" + module_version_text(extension_version),
            converter_version ? "Ploxfil.dll:" + module_version_text(*converter_version)
                              : std::string("Ploxfil.dll: none")};
}

namespace {

Series* series_of(GraphSet& set, const MissingFile& m) {
    if (m.graph < 0 || m.graph >= static_cast<int>(set.graphs.size())) return nullptr;
    Graph& g = *set.graphs[static_cast<size_t>(m.graph)];
    if (m.series < 0 || m.series >= std::min(g.series_count, MAX_SERIES)) return nullptr;
    return &g.series[static_cast<size_t>(m.series)];
}

} // namespace

int apply_found_file(GraphSet& set, std::vector<MissingFile>& list, size_t chosen,
                     const std::string& found,
                     const std::function<bool(const std::string&)>& exists) {
    if (chosen >= list.size()) return 0;
    const std::string folder(paths::directory_of(found));
    int resolved = 0;
    std::vector<MissingFile> rest;
    for (size_t i = 0; i < list.size(); ++i) {
        Series* s = series_of(set, list[i]);
        std::string path;
        if (i == chosen) {
            path = found;
        } else if (s) {
            std::string candidate = folder + std::string(paths::file_name_of(s->file_name));
            if (exists && exists(candidate)) path = candidate;
        }
        if (s && !path.empty()) {
            set_text(s->file_name, path, PATH_CAPACITY);
            s->needs_reading = 1;
            ++resolved;
        } else {
            rest.push_back(list[i]);
        }
    }
    list = rest;
    return resolved;
}

} // namespace plox::forms
