// Macros and the command server in the window: the host that applies their commands to the
// window's graph set, and the run-macro command (Ctrl+M).
#pragma once

#include "automation/core_host.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace plox {
class CommandServer;
}

namespace plox::shell {

class MainWindow;

// Applies macro and server commands to the window's graphs through the core operations, then
// lets the window catch up (menus, caption, repaint); undo hears of every change first.
inline constexpr const char* NO_BUS_MESSAGE = "Could not connect to the D-Bus session bus.";

class WindowAutomationHost : public CoreAutomationHost {
public:
    WindowAutomationHost(MainWindow& window, Prompter& prompter, const SettingsStore* store);

    void begin_change(int graph) override;
    void delete_graphs(bool all) override;
    bool open_document(const std::string& path) override;
    void add_data_series(const std::string& path, const Series& data_template) override;
    void clear_scale(int axis) override;
    void graph_edited() override;
    void print(bool show_dialog) override;
    void refresh() override;

private:
    MainWindow& window_;
};

// Registers command 775: the open dialog for "PloxWin Macro file(*.qvd)", starting where the
// last one ended, then runs the chosen file. `choose` returns the chosen path or nothing.
using MacroChooser = std::function<std::optional<std::string>(const std::string& start)>;
void register_automation_commands(MainWindow& window, Automation& automation, MacroChooser choose);

// Automation for the life of the window: the data template, the host, Ctrl+M, the command
// server and the extracted-files list shared with running copies. Made once the window exists
// (the last step of its creation); the server stops when this goes.
class WindowAutomation {
public:
    WindowAutomation(MainWindow& window, Prompter& prompter, const SettingsStore* store,
                     MacroChooser choose);
    ~WindowAutomation();
    WindowAutomation(const WindowAutomation&) = delete;
    WindowAutomation& operator=(const WindowAutomation&) = delete;

    // Takes over the list of another running copy, then starts the server. False when there is
    // no session bus: the program runs on alone and the caller says so (NO_BUS_MESSAGE).
    bool start_server();
    bool run_file(const std::string& path) { return automation_.run_file(path); }
    // Whether another running copy shares this copy's extracted-files list.
    bool other_copy_running() const;
    Automation& automation() { return automation_; }
    WindowAutomationHost& host() { return host_; }

private:
    MainWindow& window_;
    WindowAutomationHost host_;
    Automation automation_;
    std::unique_ptr<CommandServer> server_;
};

} // namespace plox::shell
