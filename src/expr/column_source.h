// How the evaluator reaches "#NNCC" column references without depending on the data reader:
// the data subsystem implements this for a graph (load_columns kind 3).
#pragma once

#include <optional>
#include <vector>

namespace plox {

class ColumnSource {
public:
    virtual ~ColumnSource() = default;
    // Field `field` (counted from 0) of data series `series_number` (counted from 1) of the
    // graph, element i belonging to that series' point i; nothing when the series does not
    // exist or its file cannot be read.
    virtual std::optional<std::vector<double>> load_column(int series_number, int field) = 0;
};

} // namespace plox
