// The value-reading cursor.
#include "editing/value_reading.h"

#include "document/model.h"
#include "render/mapping.h"

#include <algorithm>
#include <numeric>

namespace plox {

ValueReader::ValueReader(std::vector<double> x, std::vector<double> y, bool sort, int direction)
    : x_(std::move(x)), y_(std::move(y)), direction_(direction < 0 ? -1 : 1) {
    const size_t n = std::min(x_.size(), y_.size());
    x_.resize(n);
    y_.resize(n);
    order_.resize(n);
    std::iota(order_.begin(), order_.end(), 0);
    if (sort) {
        std::vector<size_t> idx(n);
        std::iota(idx.begin(), idx.end(), size_t{0});
        std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return x_[a] < x_[b]; });
        std::vector<double> sx(n), sy(n);
        for (size_t i = 0; i < n; ++i) {
            sx[i] = x_[idx[i]];
            sy[i] = y_[idx[i]];
            order_[i] = static_cast<int>(idx[i]);
        }
        x_ = std::move(sx);
        y_ = std::move(sy);
    }
    for (int i = 0; i < size(); ++i)
        has_valid_ = has_valid_ || valid(i);
    if (!has_valid_) return;
    current_ = size() / 2;
    skip_missing(1);
}

bool ValueReader::valid(int i) const {
    return is_valid(x_[static_cast<size_t>(i)]) && is_valid(y_[static_cast<size_t>(i)]);
}

void ValueReader::skip_missing(int step) {
    for (int tries = 0; tries < size() && !valid(current_); ++tries)
        current_ = (current_ + step + size()) % size();
}

void ValueReader::move(int points) {
    if (!has_valid_ || points == 0) return;
    const long long target =
        static_cast<long long>(current_) + static_cast<long long>(points) * direction_;
    // Passing an end lands on the other end.
    if (target < 0)
        current_ = size() - 1;
    else if (target >= size())
        current_ = 0;
    else
        current_ = static_cast<int>(target);
    skip_missing(points * direction_ > 0 ? 1 : -1);
}

std::optional<std::pair<double, double>> ValueReader::average() const {
    if (!mark_ || !has_valid_) return std::nullopt;
    const int lo = std::min(*mark_, current_), hi = std::max(*mark_, current_);
    double sx = 0, sy = 0;
    int n = 0;
    for (int i = lo; i <= hi; ++i) {
        if (!valid(i)) continue;
        sx += x_[static_cast<size_t>(i)];
        sy += y_[static_cast<size_t>(i)];
        ++n;
    }
    if (n == 0) return std::nullopt;
    return std::pair{sx / n, sy / n};
}

bool point_position(const Graph& graph, int h, int v, double x, double y, Point& p) {
    const Rect frame = frame_rect(graph);
    int32_t px = 0, py = 0;
    if (!axis_mapping(graph, h, frame).map(x, px)) return false;
    if (!axis_mapping(graph, v, frame).map(y, py)) return false;
    p = Point{px, py};
    return true;
}

} // namespace plox
