// The undo history: every change to the graph set is announced before it is made and recorded
// as a snapshot of the graphs it touches; undo puts the snapshot back and keeps the present
// state for redo. Graphs are known by identity, so steps survive graphs being added, removed or
// reordered; a step whose graph is gone is dropped.
#pragma once

#include "document/model.h"

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace plox::editing {

class UndoHistory {
public:
    explicit UndoHistory(size_t max_steps = 100, size_t max_bytes = 64u << 20)
        : max_steps_(max_steps), max_bytes_(max_bytes) {}

    // Before a change to graph `graph` (index in the set).
    void record(const GraphSet& set, int graph);
    // Before a change that adds, removes or reorders graphs: the whole set is kept.
    void record_set(const GraphSet& set);

    // Forgets the last recorded step when the announced change did not happen.
    void drop_last();

    bool can_undo() const { return !undo_.empty(); }
    bool can_redo() const { return !redo_.empty(); }
    // Restores the state before the last change; answers the graph index to make current (-1:
    // nothing undone).
    int undo(GraphSet& set);
    int redo(GraphSet& set);

    // The graphs whose unmodified flag is set now match their files: undoing back to this
    // state clears the modified flag again.
    void mark_saved(const GraphSet& set);
    // Drops the steps of graphs that left the set (before another graph can take their
    // place in memory); called after every command.
    void forget_missing(const GraphSet& set);
    void clear();

    size_t steps() const { return undo_.size(); }
    size_t bytes() const { return bytes_; }

private:
    struct Snapshot {
        const Graph* id = nullptr;
        std::shared_ptr<Graph> copy;
        long version = 0;
    };
    struct Step {
        std::vector<Snapshot> graphs;
        bool whole_set = false;
        int current = -1; // whole-set steps: the current graph's position
        size_t bytes = 0;
    };

    Step capture(const GraphSet& set, int graph, bool whole_set);
    int restore(GraphSet& set, Step& step, std::deque<Step>& other);
    void push(std::deque<Step>& stack, Step step);
    void trim();
    void remap(const Graph* from, const Graph* to);
    void drop_stale(const GraphSet& set, std::deque<Step>& stack);
    long& version(const Graph* g);
    bool is_saved(const Graph* g, long v) const;

    size_t max_steps_, max_bytes_;
    size_t bytes_ = 0;
    std::deque<Step> undo_, redo_;
    std::map<const Graph*, long> versions_, saved_;
    long next_version_ = 1;
};

// An estimate of the memory a copy of a graph holds.
size_t graph_bytes(const Graph& g);

} // namespace plox::editing
