// Snapshots of graph records before each change, undone and redone by swapping them with the
// present records.
#include "editing/undo_history.h"

#include <algorithm>

namespace plox::editing {

namespace {

std::shared_ptr<Graph> copy_of(const Graph& g) {
    auto c = std::make_shared<Graph>(g);
    c->cached_drawing.reset(); // the restored graph is drawn afresh
    return c;
}

int index_of(const GraphSet& set, const Graph* id) {
    for (size_t i = 0; i < set.graphs.size(); ++i)
        if (set.graphs[i].get() == id) return static_cast<int>(i);
    return -1;
}

} // namespace

size_t graph_bytes(const Graph& g) {
    size_t n = sizeof(Graph);
    for (const Series& s : g.series)
        n += (s.x_data.capacity() + s.y_data.capacity()) * sizeof(double) + s.file_name.size() +
             s.Xtrans.size() + s.Ytrans.size();
    for (const GraphObject& o : g.objects)
        n += o.Str.size();
    return n;
}

long& UndoHistory::version(const Graph* g) {
    auto it = versions_.find(g);
    if (it == versions_.end()) it = versions_.emplace(g, 0).first;
    return it->second;
}

bool UndoHistory::is_saved(const Graph* g, long v) const {
    auto it = saved_.find(g);
    return it != saved_.end() && it->second == v;
}

UndoHistory::Step UndoHistory::capture(const GraphSet& set, int graph, bool whole_set) {
    Step step;
    step.whole_set = whole_set;
    step.current = set.current;
    for (int i = 0; i < static_cast<int>(set.graphs.size()); ++i) {
        if (!whole_set && i != graph) continue;
        const Graph* g = set.graphs[static_cast<size_t>(i)].get();
        // A graph seen first is at its saved state when its flag says so.
        if (!versions_.count(g) && g->unmodified) saved_[g] = 0;
        step.graphs.push_back({g, copy_of(*g), version(g)});
        step.bytes += graph_bytes(*g);
    }
    return step;
}

void UndoHistory::push(std::deque<Step>& stack, Step step) {
    bytes_ += step.bytes;
    stack.push_back(std::move(step));
}

void UndoHistory::trim() {
    while (!undo_.empty() && (undo_.size() > max_steps_ || bytes_ > max_bytes_)) {
        bytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

void UndoHistory::record(const GraphSet& set, int graph) {
    if (graph < 0 || graph >= static_cast<int>(set.graphs.size())) return;
    Step step = capture(set, graph, false);
    for (Step& s : redo_)
        bytes_ -= s.bytes;
    redo_.clear();
    version(set.graphs[static_cast<size_t>(graph)].get()) = next_version_++;
    push(undo_, std::move(step));
    trim();
}

void UndoHistory::record_set(const GraphSet& set) {
    Step step = capture(set, -1, true);
    for (Step& s : redo_)
        bytes_ -= s.bytes;
    redo_.clear();
    for (const auto& g : set.graphs)
        version(g.get()) = next_version_++;
    push(undo_, std::move(step));
    trim();
}

void UndoHistory::drop_last() {
    if (undo_.empty()) return;
    Step& step = undo_.back();
    for (const Snapshot& snap : step.graphs)
        version(snap.id) = snap.version;
    bytes_ -= step.bytes;
    undo_.pop_back();
}

void UndoHistory::remap(const Graph* from, const Graph* to) {
    for (std::deque<Step>* stack : {&undo_, &redo_})
        for (Step& s : *stack)
            for (Snapshot& snap : s.graphs)
                if (snap.id == from) snap.id = to;
    if (auto it = versions_.find(from); it != versions_.end()) {
        versions_[to] = it->second;
        versions_.erase(it);
    }
    if (auto it = saved_.find(from); it != saved_.end()) {
        saved_[to] = it->second;
        saved_.erase(it);
    }
}

// Steps that name a graph no longer in the set cannot be undone any more.
void UndoHistory::drop_stale(const GraphSet& set, std::deque<Step>& stack) {
    while (!stack.empty()) {
        const Step& s = stack.back();
        const bool stale = !s.whole_set &&
                           std::any_of(s.graphs.begin(), s.graphs.end(), [&](const Snapshot& snap) {
                               return index_of(set, snap.id) < 0;
                           });
        if (!stale) return;
        bytes_ -= s.bytes;
        stack.pop_back();
    }
}

int UndoHistory::restore(GraphSet& set, Step& step, std::deque<Step>& other) {
    Step present =
        capture(set, step.whole_set ? -1 : index_of(set, step.graphs[0].id), step.whole_set);
    int current = set.current;
    if (step.whole_set) {
        std::vector<std::unique_ptr<Graph>> graphs;
        std::vector<std::unique_ptr<Graph>> old = std::move(set.graphs);
        for (Snapshot& snap : step.graphs) {
            auto it = std::find_if(old.begin(), old.end(),
                                   [&](const auto& g) { return g && g.get() == snap.id; });
            std::unique_ptr<Graph> g;
            if (it != old.end()) {
                g = std::move(*it);
                *g = *snap.copy;
            } else {
                g = std::make_unique<Graph>(*snap.copy);
                remap(snap.id, g.get());
                snap.id = g.get();
            }
            version(g.get()) = snap.version;
            g->unmodified = is_saved(g.get(), snap.version) ? 1 : 0;
            graphs.push_back(std::move(g));
        }
        set.graphs = std::move(graphs);
        current = std::clamp(step.current, 0, static_cast<int>(set.graphs.size()) - 1);
    } else {
        const Snapshot& snap = step.graphs[0];
        current = index_of(set, snap.id);
        Graph& g = *set.graphs[static_cast<size_t>(current)];
        g = *snap.copy;
        version(&g) = snap.version;
        g.unmodified = is_saved(&g, snap.version) ? 1 : 0;
    }
    set.current = current;
    push(other, std::move(present));
    return current;
}

int UndoHistory::undo(GraphSet& set) {
    drop_stale(set, undo_);
    if (undo_.empty()) return -1;
    Step step = std::move(undo_.back());
    bytes_ -= step.bytes;
    undo_.pop_back();
    return restore(set, step, redo_);
}

int UndoHistory::redo(GraphSet& set) {
    drop_stale(set, redo_);
    if (redo_.empty()) return -1;
    Step step = std::move(redo_.back());
    bytes_ -= step.bytes;
    redo_.pop_back();
    const int current = restore(set, step, undo_);
    trim();
    return current;
}

void UndoHistory::mark_saved(const GraphSet& set) {
    for (const auto& g : set.graphs)
        if (g->unmodified) saved_[g.get()] = version(g.get());
}

void UndoHistory::forget_missing(const GraphSet& set) {
    for (std::deque<Step>* stack : {&undo_, &redo_}) {
        for (auto it = stack->begin(); it != stack->end();) {
            const bool stale = !it->whole_set && index_of(set, it->graphs[0].id) < 0;
            if (stale) {
                bytes_ -= it->bytes;
                it = stack->erase(it);
            } else {
                ++it;
            }
        }
    }
}

void UndoHistory::clear() {
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

} // namespace plox::editing
