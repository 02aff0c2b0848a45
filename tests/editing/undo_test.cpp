// The undo history: each kind of change undone restores the graph exactly as the document
// writer sees it, redo brings the change back, and the modified flag follows the saved state.
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/qvp_format.h"
#include "editing/drag.h"
#include "editing/object_edit.h"
#include "editing/undo_history.h"

#include <gtest/gtest.h>

#include <functional>

namespace plox::editing {
namespace {

std::string written(const Graph& g) {
    LineWriter w;
    IoContext ctx;
    write_graph_document(w, g, WriteOptions{}, ctx);
    return w.buffer();
}

struct UndoTest : ::testing::Test {
    UndoTest() {
        add_graph(set);
        GraphObject t = new_text(g(), object_type::Text, nullptr);
        t.Str = "label";
        t.extent_left = 5000, t.extent_top = 5000, t.extent_right = 7000, t.extent_bottom = 6000;
        insert_object(g(), t);
        insert_object(g(), new_arrow(g(), nullptr));
        mark_saved(g());
    }
    Graph& g() { return *set.graphs[static_cast<size_t>(set.current)]; }
    GraphSet set;
    UndoHistory history;
};

TEST_F(UndoTest, EveryKindOfChangeIsUndoneExactlyAndRedone) {
    Selection text;
    text.hit = {kind::Text, 0};
    Selection frame;
    frame.hit = {kind::CornerBottomRight};
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"drag", [&] { apply_drag(set, text, 1600, 0, 100); }},
        {"frame", [&] { apply_drag(set, frame, -3000, 2000, 100); }},
        {"delete", [&] { delete_selection(set, text); }},
        {"order", [&] { bring_to_front(g(), 0); }},
        {"insert", [&] { insert_object(g(), new_rectangle(g(), nullptr)); }},
        {"align",
         [&] {
             align_group(set, select_region(set, {0, 0, 32000, 32000}), Align::Right);
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        const std::string before = written(g());
        history.record(set, set.current);
        change();
        const std::string after = written(g());
        ASSERT_NE(before, after);
        ASSERT_EQ(history.undo(set), 0);
        EXPECT_EQ(written(g()), before);
        EXPECT_EQ(g().unmodified, 1);
        ASSERT_EQ(history.redo(set), 0);
        EXPECT_EQ(written(g()), after);
        EXPECT_EQ(g().unmodified, 0);
        history.undo(set);
    }
    EXPECT_FALSE(history.can_undo());
}

TEST_F(UndoTest, ModifiedFlagFollowsTheSavedState) {
    Selection text;
    text.hit = {kind::Text, 0};
    history.record(set, 0);
    apply_drag(set, text, 1000, 0, 100);
    // Saved after the change: undoing leaves a state that differs from the file.
    mark_saved(g());
    history.mark_saved(set);
    history.undo(set);
    EXPECT_EQ(g().unmodified, 0);
    history.redo(set);
    EXPECT_EQ(g().unmodified, 1);
    // A new change drops the redo steps.
    history.undo(set);
    history.record(set, 0);
    delete_selection(set, text);
    EXPECT_FALSE(history.can_redo());
}

TEST_F(UndoTest, WholeSetStepsBringBackRemovedGraphsAndStepsOfGoneGraphsAreDropped) {
    add_graph(set);
    g().frame_left = 7000;
    const std::string second = written(g());
    history.record(set, 1);
    g().frame_top = 3000;
    history.record_set(set);
    free_graph(set, 1);
    ASSERT_EQ(set.graphs.size(), 1u);
    ASSERT_EQ(history.undo(set), 1);
    ASSERT_EQ(set.graphs.size(), 2u);
    EXPECT_EQ(set.graphs[1]->frame_top, 3000);
    // The step recorded before the removal still reaches the graph that came back.
    ASSERT_EQ(history.undo(set), 1);
    EXPECT_EQ(written(*set.graphs[1]), second);

    history.record(set, 1);
    set.graphs[1]->frame_left = 8000;
    free_graph(set, 1);
    history.forget_missing(set);
    EXPECT_EQ(history.undo(set), -1);
}

TEST(UndoBounds, OldestStepsAreDroppedBeyondTheLimits) {
    GraphSet set;
    add_graph(set);
    UndoHistory history(3);
    for (int i = 0; i < 5; ++i) {
        history.record(set, 0);
        set.graphs[0]->frame_left = 2000 + i;
    }
    EXPECT_EQ(history.steps(), 3u);
    while (history.undo(set) >= 0) {
    }
    EXPECT_EQ(set.graphs[0]->frame_left, 2001);

    UndoHistory small(100, graph_bytes(*set.graphs[0]) * 2 + 10);
    for (int i = 0; i < 5; ++i)
        small.record(set, 0);
    EXPECT_EQ(small.steps(), 2u);
}

} // namespace
} // namespace plox::editing
