// Macro and server commands applied in the window.
#include "shell/commands_automation.h"

#include "automation/running_copies.h"
#include "document/paths.h"
#include "document/prompter.h"
#include "platform/command_server.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/page_window.h"
#include "shell/printing.h"

#include <cstdio>

namespace plox::shell {

WindowAutomationHost::WindowAutomationHost(MainWindow& window, Prompter& prompter,
                                           const SettingsStore* store)
    : CoreAutomationHost(window.state().set, window.state().io, prompter, store), window_(window) {
    template_reader = [this](Graph& g) {
        AppState& s = window_.state();
        return !s.config.Template.empty() && read_template(s.config.Template, g, s.io);
    };
}

void WindowAutomationHost::begin_change(int graph) {
    window_.begin_change(graph);
}

void WindowAutomationHost::delete_graphs(bool all) {
    // Graphs leave the set as the window's own delete commands remove them: no graph is
    // edited, so nothing is announced.
    CoreAutomationHost::delete_graphs(all);
    window_.graph_set_changed();
}

bool WindowAutomationHost::open_document(const std::string& path) {
    window_.begin_change(-1);
    const bool ok = CoreAutomationHost::open_document(path);
    window_.graph_set_changed();
    return ok;
}

void WindowAutomationHost::add_data_series(const std::string& path, const Series& t) {
    window_.begin_change(-1);
    CoreAutomationHost::add_data_series(path, t);
    window_.state().drawings_valid = false;
}

void WindowAutomationHost::clear_scale(int axis) {
    // Ranges are read as the window draws: with the module's functions and converter.
    data_context = window_.render_context().data;
    CoreAutomationHost::clear_scale(axis);
    window_.state().drawings_valid = false;
}

void WindowAutomationHost::graph_edited() {
    CoreAutomationHost::graph_edited();
    window_.state().drawings_valid = false;
}

void WindowAutomationHost::print(bool show_dialog) {
    print_graphs(window_, show_dialog);
}

void WindowAutomationHost::refresh() {
    window_.redraw(true);
    window_.page()->viewport()->repaint();
}

void register_automation_commands(MainWindow& window, Automation& automation, MacroChooser choose) {
    auto last = std::make_shared<std::string>();
    window.set_handler(
        cmd::RunMacro,
        [&automation, choose, last] {
            auto path = choose(*last);
            if (!path) return;
            *last = *path;
            automation.run_file(*path);
        },
        [&automation, choose] { return choose && !automation.running(); });
}

WindowAutomation::WindowAutomation(MainWindow& window, Prompter& prompter,
                                   const SettingsStore* store, MacroChooser choose)
    : window_(window), host_(window, prompter, store), automation_(host_, store),
      server_(std::make_unique<CommandServer>()) {
    register_automation_commands(window, automation_, std::move(choose));
}

WindowAutomation::~WindowAutomation() {
    server_->stop();
}

bool WindowAutomation::start_server() {
    IoContext& io = window_.state().io;
    if (!server_->connect_bus()) return false;
    // A list handed over by another copy is used only when it is one of ours in the temporary
    // folder; this copy's own empty list then goes.
    if (auto shared = server_->list_of_other_copy();
        shared && *shared != io.extracted_list_path && is_acceptable_list(*shared, io.temp_dir)) {
        if (!io.extracted_list_path.empty()) std::remove(io.extracted_list_path.c_str());
        io.extracted_list_path = *shared;
    }
    server_->set_extracted_list(io.extracted_list_path);
    server_->start([this](const std::string& topic, const std::string& text) {
        return automation_.execute(topic, text);
    });
    return true;
}

bool WindowAutomation::other_copy_running() const {
    const std::string& list = window_.state().io.extracted_list_path;
    return !list.empty() && server_->other_copy_uses(list);
}

} // namespace plox::shell
