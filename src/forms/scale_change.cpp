// The scale change step.
#include "forms/scale_change.h"

#include "document/graph_ops.h"

namespace plox::forms {

std::vector<int> apply_scale_change(GraphSet& set, int graph) {
    std::vector<int> changed;
    if (graph < 0 || graph >= static_cast<int>(set.graphs.size())) return changed;
    Graph& source = *set.graphs[graph];
    source.scales_valid = 1;
    reread_range_analyses(source);
    mark_modified(source);
    for (int i = 0; i < static_cast<int>(set.graphs.size()); ++i) {
        if (i == graph) continue;
        Graph& other = *set.graphs[i];
        bool any = false;
        for (size_t a = 0; a < 4; ++a) {
            if (!set.axis_link[a]) continue;
            const Axis& from = source.axes[a];
            Axis& to = other.axes[a];
            to.from = from.from;
            to.to = from.to;
            to.increment = from.increment;
            to.division = from.division;
            to.auto_step = from.auto_step;
            to.scale_type = from.scale_type;
            any = true;
        }
        if (any) {
            // The copied range must survive the other graph's next drawing.
            other.scales_valid = 1;
            reread_range_analyses(other);
            mark_modified(other);
            changed.push_back(i);
        }
    }
    return changed;
}

} // namespace plox::forms
