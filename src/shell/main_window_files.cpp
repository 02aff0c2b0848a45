// Opening files from every source, the data-file commands, saving and closing.
#include "shell/main_window.h"

#include "automation/running_copies.h"
#include "data/reader.h"
#include "document/paths.h"
#include "settings/series_defaults.h"
#include "shell/command_table.h"
#include "shell/page_window.h"

#include <QCloseEvent>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace plox::shell {

namespace {

bool has_extension(const std::string& path, std::string_view ext) {
    std::string_view name = paths::file_name_of(path);
    return name.size() > ext.size() &&
           equal_ignoring_case(name.substr(name.size() - ext.size()), ext);
}

} // namespace

bool MainWindow::report_open_failure(const std::string& path) {
    std::error_code ec;
    int error = 0;
    if (std::filesystem::is_directory(path, ec)) {
        error = EISDIR;
    } else {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f) {
            std::fclose(f);
            return false;
        }
        error = errno;
    }
    report_open_error(*services_.prompter, path, error);
    return true;
}

bool MainWindow::open_file(const std::string& given, bool property_dialog, OpenSource source) {
    // The name as stored on disk, whatever case the caller used.
    std::string path = paths::find_existing(given).value_or(given);
    if (has_extension(path, ".qvd")) {
        if (services_.run_macro) return services_.run_macro(path);
        // A window built without the interpreter refuses macro files with a message.
        services_.prompter->message(
            "エラー", "マクロファイルは実行できません。(" + paths::display_name(path) + ")",
            Buttons::Ok, Icon::Error);
        return false;
    }
    if (report_open_failure(path)) return false;

    bool ok = false;
    if (file_has_version_line(path, state_.io.extension)) {
        const int before = state_.graph_count();
        IoStatus status = load_document(path, state_.set, state_.io);
        ok = status.ok();
        if (state_.graph_count() != before || ok) rebuild_graph_menu();
        if (ok) {
            make_current(state_.set.current);
            add_recent(path);
        }
        if (!status.missing.empty() && missing_files_dialog_)
            missing_files_dialog_(state_.set, status);
        state_.drawings_valid = false;
    } else if (source == OpenSource::Macro) {
        // Macros and the command server open documents only.
        services_.prompter->message("エラー", "不正なファイルです", Buttons::Ok, Icon::Error);
    } else {
        ok = add_data_series(path, property_dialog);
        if (ok) add_recent(path);
    }
    update_caption();
    update_status();
    redraw(false);
    return ok;
}

bool MainWindow::add_data_series(const std::string& path, bool property_dialog) {
    Graph* g = state_.current();
    if (!g) return false;
    const int index = add_series(*g, path, services_.prompter);
    if (index < 0) return false;
    Series& s = g->series[index];
    s.ColumnX = 0;
    s.ColumnY = 1;
    s.Start = 0;
    s.End = -1;
    s.Errorbar1 = s.Errorbar2 = 0;
    if (services_.store) read_series_defaults(*services_.store, path, s);
    if (index > 0) advance_series_style(state_.config, g->series[index - 1], s);
    // The series sheet registered for the window stands in when the services bring none.
    const bool kept = !property_dialog              ? true
                      : services_.series_properties ? services_.series_properties(*g, index)
                      : has_item_dialog(ItemKind::Series)
                          ? open_item_dialog(ItemKind::Series, index)
                          : true;
    if (!kept) {
        g->series[index] = Series{};
        g->series_count = index;
        return false;
    }
    mark_modified(*g);
    return true;
}

void MainWindow::open_data_files(const std::vector<std::string>& paths, bool property_dialog) {
    for (const std::string& p : paths) {
        const Graph* g = state_.current();
        if (!g) break;
        if (report_open_failure(p)) continue;
        if (add_data_series(p, property_dialog)) add_recent(p);
    }
    if (!paths.empty()) state_.last_data_dir = std::string(paths::directory_of(paths.back()));
    graph_changed();
}

void MainWindow::open_data_command() {
    const Graph* g = state_.current();
    if (!g || g->series_count >= MAX_SERIES || !services_.dialogs) return;
    auto files = services_.dialogs->open_data_files(state_.config.UserExt, state_.last_data_dir);
    if (!files.empty()) open_data_files(files, true);
}

void MainWindow::close_data_command() {
    Graph* g = state_.current();
    if (!g || g->series_count != 1) return;
    if (services_.prompter->message("PloxWin", "1個のファイルをCloseします", Buttons::YesNo) !=
        Answer::Yes)
        return;
    begin_change();
    close_series(*g, 0);
    graph_changed();
}

void MainWindow::open_document_command() {
    if (!services_.dialogs) return;
    if (auto path = services_.dialogs->open_document(state_.last_data_dir)) {
        open_file(*path, true, OpenSource::Dialog);
        redraw(true);
    }
}

void MainWindow::open_recent(int index) {
    // The stored entry is read again: another copy may have changed the list.
    std::vector<std::string> list =
        services_.store ? read_recent_files(*services_.store) : state_.recent;
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    open_file(list[index], true, OpenSource::Recent);
    redraw(true);
}

bool MainWindow::any_modified() const {
    for (const auto& g : state_.set.graphs)
        if (!g->unmodified) return true;
    return false;
}

bool MainWindow::ask_save_changes() {
    if (!any_modified()) return true;
    // The caption without its first nine characters names what is asked about.
    const QString title = windowTitle();
    const std::string name = title.size() > 9 ? title.mid(9).toStdString() : std::string();
    switch (services_.prompter->message("PloxWin", name + " は変更されています\n　保存しますか?",
                                        Buttons::YesNoCancel, Icon::Question)) {
    case Answer::Yes:
        // A save that is cancelled or fails keeps the program running: nothing is lost.
        return state_.graph_count() > 1 ? save_all(true) : save_graph(state_.set.current, true);
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool MainWindow::save(SaveKind kind) {
    switch (kind) {
    case SaveKind::Save:
        return state_.graph_count() > 1 ? save_all(false) : save_graph(state_.set.current, false);
    case SaveKind::SaveGraphAs:
        if (state_.graph_count() > 1 &&
            services_.prompter->message("PloxWin", "現在選択中のグラフしかセーブしません",
                                        Buttons::YesNo) != Answer::Yes)
            return false;
        return save_graph(state_.set.current, true);
    case SaveKind::SaveAllAs:
        return save_all(true);
    }
    return false;
}

bool MainWindow::save_graph(int index, bool ask_name) {
    if (index < 0 || index >= state_.graph_count()) return false;
    Graph& g = *state_.set.graphs[index];
    bool with_data = with_data_choice({&g}, state_.config.WithData != 0, state_.io);
    std::string path = g.file_name;
    bool layout_1_5 = false;
    if (ask_name || path.size() < 3) {
        if (!services_.dialogs) return false;
        auto choice =
            services_.dialogs->save_document(proposed_save_name(g.file_name), with_data, true);
        if (!choice) return false;
        path = choice->path;
        with_data = choice->with_data;
        layout_1_5 = choice->format_16bit;
    }
    IoStatus status = save_document(path, g, with_data, state_.io, layout_1_5);
    rebuild_graph_menu();
    update_caption();
    update_status();
    return status.ok();
}

bool MainWindow::save_all(bool ask_name) {
    std::vector<const Graph*> graphs;
    for (const auto& g : state_.set.graphs)
        graphs.push_back(g.get());
    bool with_data = with_data_choice(graphs, state_.config.WithData != 0, state_.io);
    std::string path = state_.set.bundle_name;
    bool layout_1_5 = false;
    if (ask_name || path.size() < 3) {
        if (!services_.dialogs) return false;
        auto choice = services_.dialogs->save_document(proposed_save_name(state_.set.bundle_name),
                                                       with_data, true);
        if (!choice) return false;
        path = choice->path;
        with_data = choice->with_data;
        layout_1_5 = choice->format_16bit;
    }
    IoStatus status = save_bundle(path, state_.set, with_data, state_.io, layout_1_5);
    rebuild_graph_menu();
    update_caption();
    update_status();
    return status.ok();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ask_save_changes()) {
        event->ignore();
        return;
    }
    store_placement();
    event->accept();
}

void MainWindow::store_placement() {
    if (!services_.store) return;
    WindowPlacement p;
    p.Max = isMaximized() ? 1 : isMinimized() ? 2 : 0;
    const QRect r = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.rect = WindowPlacement::Rect{r.x(), r.y(), r.width(), r.height()};
    write_window_placement(*services_.store, p);
}

// The last running copy removes the data files restored from documents, and the list.
void MainWindow::delete_extracted_files() {
    if (services_.other_copy_running && services_.other_copy_running()) return;
    plox::delete_extracted_files(state_.io.extracted_list_path, state_.io.extracted_files,
                                 state_.io.temp_dir);
}

bool MainWindow::start(const std::string& command_line_path) {
    add_graph(state_.set, template_reader());
    rebuild_graph_menu();
    make_current(state_.set.current);
    if (!command_line_path.empty() &&
        !open_file(command_line_path, state_.config.FirstDlgOpen != 0, OpenSource::CommandLine))
        return false;
    redraw(true);
    return true;
}

void MainWindow::show_as_stored() {
    WindowPlacement p;
    if (services_.store) p = read_window_placement(*services_.store);
    if (p.Max == 1) {
        showMaximized();
    } else if (p.Max == 2) {
        showMinimized();
    } else {
        if (p.rect && p.rect->width > 0 && p.rect->height > 0)
            setGeometry(p.rect->x, p.rect->y, p.rect->width, p.rect->height);
        show();
    }
}

} // namespace plox::shell
