// What applying new scales does (graph and axis sheets, trimming): the ranges entered count as
// computed, the graph is marked modified, and the axes whose link switch is on pass their range
// and type to the same axis of every other graph, which are marked modified too.
#pragma once

#include "document/model.h"

#include <vector>

namespace plox::forms {

// Returns the indexes of the other graphs that changed.
std::vector<int> apply_scale_change(GraphSet& set, int graph);

} // namespace plox::forms
