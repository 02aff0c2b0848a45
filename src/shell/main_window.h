// The main window "Plox for Windows": menu, toolbar, status bar and page window, the command
// dispatcher every menu item, accelerator, toolbar button and outside sender goes through,
// file opening from every source, saving and closing.
#pragma once

#include "data/context.h"
#include "dialogs/shell_dialogs.h"
#include "document/graph_ops.h"
#include "document/prompter.h"
#include "render/font_mapping.h"
#include "render/render_context.h"
#include "settings/store.h"
#include "shell/app_state.h"
#include "shell/menu_state.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace plox {
class ExtensionFunctions;
class ExternalMarkers;
class ExtensionIo;
class ExtensionModule;
class Converter;
struct ModuleBinding;
class ModuleRenderBinding;
} // namespace plox

namespace plox::shell {

class DeferredPrompter;

class PageWindow;
class GraphRenderer;

// What the window needs from the program around it. The prompter is required; without a store
// nothing is read or kept, without dialogs the commands that need one do nothing; the hooks are
// optional.
struct ShellServices {
    SettingsStore* store = nullptr;
    Prompter* prompter = nullptr;
    ShellDialogs* dialogs = nullptr;
    std::function<bool(const std::string& path)> run_macro; // ".qvd" files
    // The series property sheet of a new series; false (Cancel) removes the series again.
    std::function<bool(Graph& graph, int series)> series_properties;
    std::function<bool()> other_copy_running; // another copy shares the extracted-files list
    std::string help_path;                    // the HTML help
};

// The items of a graph that have a property dialog: the frame (graph sheet), an axis (index
// 0..3: X, Y, U, R), a series (its index) or an object (its slot).
enum class ItemKind { Frame, Axis, Series, Object };

// Where a file to open comes from; macros and the command server (Macro) open documents only.
enum class OpenSource { CommandLine, Drop, Recent, Dialog, Message, Macro };

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ShellServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the extension module (and the converter module when present), binds it to the
    // evaluator, documents and drawing, and lists its analyses. False: the program ends.
    bool bind_extension();

    // Steps after the window exists: the first graph and the command-line file. False when
    // the command-line file could not be opened (the program ends).
    bool start(const std::string& command_line_path = {});
    // Shows the window as "Window" says (maximised, minimised or at the stored rectangle).
    void show_as_stored();

    // A command by number, as its menu item, accelerator or toolbar button sends it; unknown
    // numbers and commands whose conditions fail do nothing.
    void send_command(int id);
    // Registers (or replaces) the handler of a command; `available` adds conditions beyond
    // the menu rules. Commands without a handler stay greyed.
    void set_handler(int id, std::function<void()> handler, std::function<bool()> available = {});
    bool is_command_enabled(int id);

    // Opens a file as every source does: macro, document or data series.
    bool open_file(const std::string& path, bool property_dialog, OpenSource source);
    // Files dropped on the window, in order; names of 260 bytes or more are skipped.
    void open_dropped(const QList<QUrl>& urls);
    // Adds data files as new series of the current graph (command 101 after its dialog).
    void open_data_files(const std::vector<std::string>& paths, bool property_dialog);
    // One file as a new series of the current graph, kept out of the recent files (pasted
    // data, new data files); false when it was not added or the property sheet was cancelled.
    bool add_series_file(const std::string& path, bool property_dialog) {
        return add_data_series(path, property_dialog);
    }

    // Property dialogs by item kind, registered by whoever builds them; a dialog edits the graph
    // and answers true when the user applied a change. Commands that open an unregistered kind
    // stay greyed.
    using ItemDialog = std::function<bool(Graph& graph, int index)>;
    void set_item_dialog(ItemKind kind, ItemDialog dialog);
    bool has_item_dialog(ItemKind kind) const;
    // Opens the dialog of an item of the current graph; true when a change was applied.
    bool open_item_dialog(ItemKind kind, int index);

    // Every change to the graph set is announced before it is made, so that it becomes one
    // undoable step: `graph` is the graph about to change (-1: the current one).
    using ChangeRecorder = std::function<void(const GraphSet& set, int graph)>;
    void set_change_recorder(ChangeRecorder recorder) { change_recorder_ = std::move(recorder); }
    void begin_change(int graph = -1);

    // What the property sheets and small dialogs reach through the window.
    const ModuleBinding* modules() const { return binding_.get(); }
    FontMapping& font_mapping() { return font_mapping_; }
    SettingsStore* store() const { return services_.store; }
    // Makes the scale of one axis (0..3) of the current graph automatic again, at once.
    void auto_scale_axis(int axis);
    // Shown after a document is opened when data files of its series were not found.
    using MissingFilesDialog = std::function<void(GraphSet& set, const IoStatus& status)>;
    void set_missing_files_dialog(MissingFilesDialog dialog) {
        missing_files_dialog_ = std::move(dialog);
    }

    void make_current(int index);
    // After the graph set was changed outside the window's own commands (macros, the command
    // server): the graph menu, caption and status follow, and the page is drawn afresh.
    void graph_set_changed();
    // Marks the current graph modified, drops the cached drawings and repaints.
    void graph_changed(bool scales_invalid = false);
    void redraw(bool fresh);

    AppState& state() { return state_; }
    // What printing and export draw the graphs with: the window's modules and settings.
    RenderContext render_context();
    // The message boxes of the program.
    Prompter& prompter() { return *services_.prompter; }
    const ShellServices& services() const { return services_; }
    // The bound extension module and what it lends the data pipeline; null before binding.
    const ExtensionModule* extension_module() const;
    DataContext data_context() const;
    PageWindow* page() const { return page_; }
    QAction* action(int id) const;
    QMenu* menu(int position) const;
    // "PopupMenu" (0, over a selected region), "PopupMenu2" (1, the graph), "PopupMenu3" (2, an
    // object).
    QMenu* popup_menu(int index) const;
    // Re-evaluates the menu rules (also done whenever a menu opens).
    void refresh_menus();
    // Text of status-bar part 0, 1 or 2.
    void set_status_text(int part, const QString& text);
    // What the menu rules see as selected on the page (the page editor answers).
    void set_selection_source(std::function<Selection()> source) {
        selection_source_ = std::move(source);
    }
    MenuInputs menu_inputs() const;

signals:
    void command_executed(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Handler {
        std::function<void()> run;
        std::function<bool()> available;
    };

    bool is_command_enabled(int id, const MenuState& rules) const;
    void build_actions();
    void build_menus();
    void build_toolbar();
    void build_status_bar();
    void register_handlers();
    void rebuild_graph_menu();
    void rebuild_recent_menu();
    void update_caption();
    void update_status();
    void add_recent(const std::string& path);
    std::string caption_name() const;
    QAction* make_action(int id, const QString& label);

    // Commands of this window.
    void open_data_command();
    void close_data_command();
    void toggle_preview();
    void set_show_all(bool on);
    void new_graph();
    void delete_graph();
    void delete_all_graphs();
    void open_document_command();
    void open_recent(int index);
    void clear_scales();
    void show_help();
    void calculator();

    // Saving: one graph as a document, or all as a bundle.
    enum class SaveKind { Save, SaveGraphAs, SaveAllAs };
    bool save(SaveKind kind);
    bool save_graph(int index, bool ask_name);
    bool save_all(bool ask_name);
    // "%s は変更されています\n　保存しますか?": false when the user cancels.
    bool ask_save_changes();
    bool any_modified() const;

    bool add_data_series(const std::string& path, bool property_dialog);
    bool report_open_failure(const std::string& path);
    void store_placement();
    void delete_extracted_files();
    TemplateReader template_reader();

    ShellServices services_;
    AppState state_;
    PageWindow* page_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* status_[3] = {nullptr, nullptr, nullptr};
    std::map<int, QAction*> actions_;     // the one action of each command in the main menu
    std::vector<QAction*> popup_actions_; // popup items with labels of their own
    std::vector<QMenu*> menus_;
    std::vector<QMenu*> popups_;
    QMenu* analysis_submenus_[3] = {nullptr, nullptr, nullptr};
    QMenu* align_submenu_ = nullptr;
    QMenu* extension_submenu_ = nullptr;
    std::vector<QAction*> graph_items_;
    std::vector<QAction*> recent_items_;
    std::map<int, Handler> handlers_;
    std::map<ItemKind, ItemDialog> item_dialogs_;
    ChangeRecorder change_recorder_;
    std::function<Selection()> selection_source_;
    MissingFilesDialog missing_files_dialog_;
    MenuState menu_state_;
    std::unique_ptr<GraphRenderer> renderer_;
    std::unique_ptr<ModuleBinding> binding_;
    std::unique_ptr<ExtensionFunctions> functions_;
    std::unique_ptr<ExternalMarkers> markers_;
    std::unique_ptr<ModuleRenderBinding> render_binding_;
    std::unique_ptr<DeferredPrompter> paint_prompter_;       // messages raised while painting
    FontMapping font_mapping_ = FontMapping::make_default(); // GRA fonts, read at start-up
    std::unique_ptr<ExtensionIo> document_lines_;
    std::unique_ptr<Converter> converter_;
    ExtensionFunctions* extension_functions_ = nullptr;
};

} // namespace plox::shell
