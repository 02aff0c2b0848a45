// The example documents and data files under examples/, made by code so that they stay
// reproducible: make_examples writes them, the render tests check the files against them.
#pragma once

#include "document/model.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plox::examples {

struct Example {
    std::string name; // file name under examples/
    std::function<Graph()> make;
};

// The single-graph documents, and the data files they read (name, exact contents).
const std::vector<Example>& documents();
const std::vector<std::pair<std::string, std::string>>& data_files();

// The two graphs of the bundle BUNDLE.
inline constexpr const char* BUNDLE = "two_graphs.qva";
std::unique_ptr<Graph> two_graph(bool upper);

// Writes every data file, document and the bundle into `dir` (ending in '/'). False at the
// first file that cannot be written, named in `failed`.
bool write_examples(const std::string& dir, std::string* failed = nullptr);

} // namespace plox::examples
