// The list of the data manager (LISTDIALOG3): the graph's series in order, moved to the top or
// bottom, taken out for closing, and selected; and how its answer reorders the graph.
#pragma once

#include "document/model.h"

#include <vector>

namespace plox::forms {

class ManagerList {
public:
    explicit ManagerList(int count);

    const std::vector<int>& order() const { return order_; }         // original indexes, in order
    const std::vector<int>& taken_out() const { return taken_out_; } // "&Close"d entries
    bool selected(int row) const { return selected_.at(static_cast<size_t>(row)) != 0; }
    void set_selected(int row, bool on) { selected_.at(static_cast<size_t>(row)) = on; }
    bool any_selected() const;
    // Original indexes of the selected entries, in list order.
    std::vector<int> selection() const;

    void move_to_top();    // "上(&U)": the selected entries, in their order, go first
    void move_to_bottom(); // "下(&D)": … last
    void take_out();       // "&Close": the selected entries leave the list
    void toggle_all();     // "&All": select every entry, or none when all are selected

private:
    void move(bool top);
    std::vector<int> order_;
    std::vector<char> selected_;
    std::vector<int> taken_out_;
};

// Gives the graph the series of `order` (original indexes) in that order; series not listed are
// closed. Masks and the series codes of texts follow their series; masks and codes of closed
// series are dropped.
void reorder_series(Graph& graph, const std::vector<int>& order);

} // namespace plox::forms
