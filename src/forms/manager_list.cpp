// Data manager list operations.
#include "forms/manager_list.h"

#include "document/graph_ops.h"

#include <algorithm>

namespace plox::forms {

ManagerList::ManagerList(int count) {
    for (int i = 0; i < std::max(count, 0); ++i)
        order_.push_back(i);
    selected_.assign(order_.size(), 0);
}

bool ManagerList::any_selected() const {
    return std::any_of(selected_.begin(), selected_.end(), [](char c) { return c != 0; });
}

std::vector<int> ManagerList::selection() const {
    std::vector<int> out;
    for (size_t i = 0; i < order_.size(); ++i)
        if (selected_[i]) out.push_back(order_[i]);
    return out;
}

void ManagerList::move(bool top) {
    std::vector<int> chosen, rest;
    for (size_t i = 0; i < order_.size(); ++i)
        (selected_[i] ? chosen : rest).push_back(order_[i]);
    order_ = top ? chosen : rest;
    order_.insert(order_.end(), top ? rest.begin() : chosen.begin(),
                  top ? rest.end() : chosen.end());
    const size_t n = chosen.size();
    std::fill(selected_.begin(), selected_.end(), 0);
    if (top)
        std::fill(selected_.begin(), selected_.begin() + static_cast<long>(n), 1);
    else
        std::fill(selected_.end() - static_cast<long>(n), selected_.end(), 1);
}

void ManagerList::move_to_top() {
    move(true);
}

void ManagerList::move_to_bottom() {
    move(false);
}

void ManagerList::take_out() {
    std::vector<int> kept;
    for (size_t i = 0; i < order_.size(); ++i)
        (selected_[i] ? taken_out_ : kept).push_back(order_[i]);
    order_ = kept;
    selected_.assign(order_.size(), 0);
}

void ManagerList::toggle_all() {
    const bool all = std::all_of(selected_.begin(), selected_.end(), [](char c) { return c; });
    std::fill(selected_.begin(), selected_.end(), all ? 0 : 1);
}

void reorder_series(Graph& g, const std::vector<int>& order) {
    const int count = std::clamp(g.series_count, 0, MAX_SERIES);
    std::vector<int> new_index(static_cast<size_t>(count), -1);
    std::vector<bool> old_shown(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        old_shown[static_cast<size_t>(i)] = g.series[static_cast<size_t>(i)].shown != 0;
    std::vector<Series> kept;
    for (int old : order) {
        if (old < 0 || old >= count || new_index[static_cast<size_t>(old)] >= 0) continue;
        new_index[static_cast<size_t>(old)] = static_cast<int>(kept.size());
        kept.push_back(std::move(g.series[static_cast<size_t>(old)]));
    }
    for (size_t i = 0; i < g.series.size(); ++i)
        g.series[i] = i < kept.size() ? std::move(kept[i]) : Series{};
    g.series_count = static_cast<int32_t>(kept.size());
    renumber_series_references(g, new_index, old_shown);

    int masks = 0;
    for (int i = 0; i < std::clamp(g.mask_count, 0, MAX_MASKS); ++i) {
        Mask m = g.masks[static_cast<size_t>(i)];
        if (m.series > 0) {
            const int n = m.series <= count ? new_index[static_cast<size_t>(m.series - 1)] : -1;
            if (n < 0) continue;
            m.series = n + 1;
        }
        g.masks[static_cast<size_t>(masks++)] = m;
    }
    for (int i = masks; i < MAX_MASKS; ++i)
        g.masks[static_cast<size_t>(i)] = Mask{};
    g.mask_count = masks;
}

} // namespace plox::forms
