// The macro interpreter and the command server's dispatch: both drive the program through one
// host and share one data template.
#pragma once

#include "automation/item_lists.h"
#include "automation/macro_program.h"
#include "document/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plox {

class Prompter;
class SettingsStore;

// What macro and server commands act on: the window, or the batch session without one.
class AutomationHost {
public:
    virtual ~AutomationHost() = default;
    virtual GraphSet& graph_set() = 0;
    virtual Prompter& prompter() = 0;
    // Announced before the graph (-1: the current one) changes, so that it can be undone.
    virtual void begin_change(int graph) = 0;
    // "All": every graph without asking; otherwise the current one, asking when it is modified.
    virtual void delete_graphs(bool all) = 0;
    // A QVP document or bundle by path; false (already reported) when it could not be opened.
    virtual bool open_document(const std::string& path) = 0;
    // A new series of the current graph from a file, its fields taken from the template.
    virtual void add_data_series(const std::string& path, const Series& data_template) = 0;
    // The automatic range of one axis (0..3) of the current graph, at once.
    virtual void clear_scale(int axis) = 0;
    // The current graph was edited by an item list (nothing is redrawn).
    virtual void graph_edited() = 0;
    virtual void print(bool show_dialog) = 0;
    // Marks the picture stale and repaints at once.
    virtual void refresh() = 0;
};

// Answers of the command server.
namespace server_answer {
inline constexpr uint32_t Ack = 0x8000;
inline constexpr uint32_t Busy = 0x4000;
inline constexpr uint32_t NotProcessed = 0;
} // namespace server_answer

// Executed lines after which a run without Pause asks whether to go on, so that a loop without
// a way out cannot hold the program forever.
inline constexpr int MACRO_STEPS_BEFORE_ASKING = 100000;

class Automation {
public:
    // The data template starts as an empty series with the "Data Ini" defaults of `store`.
    explicit Automation(AutomationHost& host, const SettingsStore* store = nullptr);

    Series& data_template() { return data_template_; }

    // Item lists: true when consumed, false at another command's keyword.
    bool apply_data_items(std::string_view text);
    bool apply_axis_items(std::string_view text);
    bool apply_frame_items(std::string_view text);

    // Loads and runs a macro file; failures have been shown. False when the file was not run
    // (unreadable, too long, or a run is already in progress: runs do not nest).
    bool run_file(const std::string& path);
    void run(const MacroProgram& program);
    bool running() const { return running_; }

    // One execute of the command server: topic is a command word ("DeleteGraph", "OpenQvp",
    // "Print", "Refresh", "Data", "AxisSet", "FrameSet"), text its argument. Nested executes
    // are refused as busy.
    uint32_t execute(std::string_view topic, std::string_view text);
    bool busy() const { return busy_; }

private:
    bool apply(ItemCommand command, std::string_view text);
    bool open_document(const std::string& path);
    // Runs line `index`; false stops the run. `index` moves on a Goto.
    bool step(const MacroProgram& program, int& index);

    AutomationHost& host_;
    Series data_template_;
    bool running_ = false;
    bool busy_ = false;
};

} // namespace plox
