// The value-reading cursor: steps through the plotted points of one series with wrap-around and
// skipping of missing points, remembers a mark and averages the stretch from it.
#pragma once

#include "render/surface.h"

#include <optional>
#include <utility>
#include <vector>

namespace plox {

struct Graph;

class ValueReader {
public:
    // `x`, `y`: the series' plotted points (missing ones invalid); `sort` orders them by X
    // keeping each point's number in file order; `direction` is +1 when the X axis runs from a
    // smaller to a larger value, else -1. The cursor starts at the middle, then at the next
    // valid point.
    ValueReader(std::vector<double> x, std::vector<double> y, bool sort, int direction);

    // No valid point at all: nothing to read.
    bool empty() const { return !has_valid_; }
    int size() const { return static_cast<int>(x_.size()); }
    int current() const { return current_; }
    double x() const { return x_[static_cast<size_t>(current_)]; }
    double y() const { return y_[static_cast<size_t>(current_)]; }
    // The current point's number in file order.
    int number() const { return order_[static_cast<size_t>(current_)]; }

    // Moves by `points` × the direction sign ("<<<" -100 … ">>>" +100, the wheel ±1).
    void move(int points);
    void set_mark() { mark_ = current_; }
    std::optional<int> mark() const { return mark_; }
    // Mean X and Y over the points from the mark to the current point (inclusive, array order),
    // skipping missing ones; nothing without a mark or without a valid point.
    std::optional<std::pair<double, double>> average() const;

private:
    bool valid(int i) const;
    void skip_missing(int step);

    std::vector<double> x_, y_;
    std::vector<int> order_;
    int direction_ = 1;
    int current_ = 0;
    std::optional<int> mark_;
    bool has_valid_ = false;
};

// The page position (logical units) of a data point on the given axes; false when a value
// cannot be placed on its axis.
bool point_position(const Graph& graph, int horizontal_axis, int vertical_axis, double x, double y,
                    Point& position);

} // namespace plox
