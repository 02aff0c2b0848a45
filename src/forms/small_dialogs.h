// Rules of the small dialogs: the about box's lines and the missing-files dialog's search.
#pragma once

#include "document/model.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plox::forms {

// A module version word as "%2d.%02d": low byte major, high byte minor.
std::string module_version_text(int32_t version);
// The about box: the program line, the extension module line and the converter module line
// ("Ploxfil.dll: none" without the module).
std::vector<std::string> about_lines(int32_t extension_version,
                                     std::optional<int32_t> converter_version);

// A series whose data file was not found.
struct MissingFile {
    int graph = 0, series = 0;
};

// The user found the file of entry `chosen` at `found`: that series takes the path, and every
// other listed series whose file of the same name exists in that folder takes it too. The
// series that were given a path leave the list; returns how many.
int apply_found_file(GraphSet& set, std::vector<MissingFile>& list, size_t chosen,
                     const std::string& found,
                     const std::function<bool(const std::string&)>& exists);

} // namespace plox::forms
