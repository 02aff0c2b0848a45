// The effects of macro and server commands on a graph set through the core operations alone:
// what the batch session uses as it is and the window builds on.
#pragma once

#include "automation/automation.h"
#include "data/context.h"
#include "document/document_io.h"
#include "document/graph_ops.h"

#include <functional>
#include <string>

namespace plox {

class SettingsStore;

// Adds a series to the current graph from `path` with the data defaults for the file, then
// every template field but Converter; no automatic style advance. An unreadable file is
// reported with the reader's message and adds nothing. The series index, or -1.
int add_series_from_template(Graph& g, const std::string& path, const Series& data_template,
                             const SettingsStore* store, Prompter& prompter);

// Deletes every graph without asking and leaves one new graph.
void delete_all_graphs(GraphSet& set, const TemplateReader& read_template = {});
// Deletes the current graph, asking "保存せずに削除しますか？" when it is modified; false when
// the user kept it.
bool delete_current_graph(GraphSet& set, Prompter& prompter,
                          const TemplateReader& read_template = {});

class CoreAutomationHost : public AutomationHost {
public:
    CoreAutomationHost(GraphSet& set, IoContext& io, Prompter& prompter,
                       const SettingsStore* store = nullptr)
        : set_(set), io_(io), prompter_(prompter), store_(store) {}

    // Reads the template document of new graphs; optional.
    TemplateReader template_reader;
    // What series ranges are computed with (extension functions, converter).
    DataContext data_context;

    GraphSet& graph_set() override { return set_; }
    Prompter& prompter() override { return prompter_; }
    void begin_change(int) override {}
    void delete_graphs(bool all) override;
    bool open_document(const std::string& path) override;
    void add_data_series(const std::string& path, const Series& data_template) override;
    void clear_scale(int axis) override;
    void graph_edited() override;
    void print(bool) override {}
    void refresh() override {}

protected:
    GraphSet& set_;
    IoContext& io_;
    Prompter& prompter_;
    const SettingsStore* store_;
};

} // namespace plox
