// The commands the main window carries out itself: graphs, views, scales, help and the
// calculator.
#include "shell/main_window.h"

#include "expr/evaluator.h"
#include "shell/command_table.h"
#include "shell/graph_renderer.h"
#include "shell/page_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace plox::shell {

void MainWindow::register_handlers() {
    auto on = [this](int id, auto fn, std::function<bool()> available = {}) {
        handlers_[id] = Handler{fn, std::move(available)};
    };
    on(cmd::Redraw, [this] {
        redraw(true);
        setFocus();
    });
    on(cmd::OpenData, [this] { open_data_command(); });
    // With several series the data manager chooses which to close; without it only a single
    // series can be closed here.
    on(
        cmd::CloseData, [this] { close_data_command(); },
        [this] {
            const Graph* g = state_.current();
            return g && g->series_count == 1;
        });
    on(cmd::Exit, [this] { close(); });
    on(cmd::Preview, [this] { toggle_preview(); });
    on(cmd::Save, [this] { save(SaveKind::Save); });
    on(cmd::NewGraph, [this] { new_graph(); });
    on(cmd::DeleteGraph, [this] { delete_graph(); });
    on(cmd::SaveGraphAs, [this] { save(SaveKind::SaveGraphAs); });
    on(cmd::OpenDocument, [this] { open_document_command(); });
    on(cmd::SaveAllAs, [this] { save(SaveKind::SaveAllAs); });
    on(cmd::DeleteAllGraphs, [this] { delete_all_graphs(); });
    on(cmd::ShowAll, [this] { set_show_all(true); });
    on(cmd::ShowOne, [this] { set_show_all(false); });
    on(cmd::ClearAllScales, [this] { clear_scales(); });
    for (int id = cmd::ClearScaleX; id <= cmd::ClearScaleR; ++id)
        on(id, [this, id] {
            begin_change();
            auto_scale_axis(id - cmd::ClearScaleX);
        });
    on(
        cmd::Help, [this] { show_help(); }, [this] { return services_.dialogs != nullptr; });
    on(
        cmd::Calculator, [this] { calculator(); }, [this] { return services_.dialogs != nullptr; });
    on(cmd::CouldNotUpdate, [this] {
        services_.prompter->message("Message", "Could not update doc.", Buttons::Ok, Icon::Warning);
    });
}

void MainWindow::set_item_dialog(ItemKind kind, ItemDialog dialog) {
    item_dialogs_[kind] = std::move(dialog);
    refresh_menus();
}

bool MainWindow::has_item_dialog(ItemKind kind) const {
    auto it = item_dialogs_.find(kind);
    return it != item_dialogs_.end() && it->second;
}

bool MainWindow::open_item_dialog(ItemKind kind, int index) {
    Graph* g = state_.current();
    if (!g || !has_item_dialog(kind)) return false;
    return item_dialogs_[kind](*g, index);
}

void MainWindow::begin_change(int graph) {
    if (graph < 0) graph = state_.set.current;
    if (change_recorder_ && graph >= 0 && graph < state_.graph_count())
        change_recorder_(state_.set, graph);
}

void MainWindow::toggle_preview() {
    if (!state_.preview && state_.default_page.width_mm < 1) return;
    state_.preview = !state_.preview;
    // Leaving preview keeps the drawings only when show-all mode shows the same graphs.
    if (state_.preview || !state_.set.show_all) state_.drawings_valid = false;
    redraw(false);
}

void MainWindow::set_show_all(bool on) {
    if (state_.set.show_all == on) return;
    state_.set.show_all = on;
    redraw(true);
}

TemplateReader MainWindow::template_reader() {
    if (state_.config.Template.empty()) return {};
    return [this](Graph& g) {
        if (read_template(state_.config.Template, g, state_.io)) return true;
        // An unreadable template is forgotten for the rest of the run.
        state_.config.Template.clear();
        return false;
    };
}

void MainWindow::new_graph() {
    if (state_.graph_count() >= MAX_GRAPHS) return;
    if (!add_graph(state_.set, template_reader())) return;
    rebuild_graph_menu();
    make_current(state_.set.current);
    redraw(true);
}

void MainWindow::delete_graph() {
    Graph* g = state_.current();
    if (!g) return;
    if (!g->unmodified &&
        services_.prompter->message("データが変更されています", "保存せずに削除しますか？",
                                    Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    free_graph(state_.set, state_.set.current, template_reader());
    rebuild_graph_menu();
    make_current(state_.graph_count() - 1);
    redraw(true);
}

void MainWindow::delete_all_graphs() {
    if (state_.graph_count() < 2) return;
    if (!ask_save_changes()) return;
    while (state_.graph_count() > 1)
        free_graph(state_.set, state_.graph_count() - 1);
    free_graph(state_.set, 0, template_reader());
    state_.set.bundle_name.clear();
    rebuild_graph_menu();
    make_current(0);
    redraw(true);
}

void MainWindow::clear_scales() {
    Graph* g = state_.current();
    if (!g) return;
    begin_change();
    graph_changed(true);
}

void MainWindow::auto_scale_axis(int axis) {
    Graph* g = state_.current();
    if (!g || axis < 0 || axis > 3) return;
    renderer_->auto_scale(*g, state_, axis);
    graph_changed(false);
}

void MainWindow::show_help() {
    std::string path = services_.help_path;
    if (path.empty()) {
        // Next to the program, else in the data folder beside its own (share/ploxwin).
        const QDir bin(QCoreApplication::applicationDirPath());
        for (const QString& candidate :
             {bin.filePath(QStringLiteral("help.html")),
              bin.filePath(QStringLiteral("../share/ploxwin/help.html"))})
            if (QFileInfo::exists(candidate)) {
                path = QFileInfo(candidate).absoluteFilePath().toStdString();
                break;
            }
    }
    if (path.empty() || !services_.dialogs->open_help(path))
        services_.prompter->message("エラー", "ヘルプファイルを開けません。", Buttons::Ok,
                                    Icon::Error);
}

} // namespace plox::shell

namespace plox::shell {

void MainWindow::calculator() {
    auto text = services_.dialogs->input_text("四則計算機", "式:", state_.calculator_text, 51);
    if (!text) return;
    state_.calculator_text = *text;
    if (const Graph* g = state_.current()) set_parameters(g->user_constants);
    double x = 0, y = 0, value = ERROR_VALUE;
    EvalEnvironment env;
    env.prompter = services_.prompter;
    env.functions = extension_functions_;
    // A syntax or math error has been shown by the evaluator.
    if (!evaluate(env, 1, &x, &y, &value, *text, true, true, 0)) return;
    if (!is_valid(value)) {
        services_.prompter->message("確認", "Over(Under)flow Error");
        return;
    }
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s=%lf", text->c_str(), value);
    services_.prompter->message("PloxWin", buf);
}

} // namespace plox::shell
