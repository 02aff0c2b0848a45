// Helpers of the document tests (scratch folders and files come from tests/support).
#pragma once

#include "document/model.h"
#include "test_support.h"

#include <string>

namespace plox::test {

// A graph that uses every kind of block of a document.
Graph make_rich_graph(const std::string& data_dir);

} // namespace plox::test
