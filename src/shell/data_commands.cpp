// Save, copy and paste of series data, and data files handed to the editor.
#include "shell/data_commands.h"

#include "dialogs/series_chooser_dialog.h"
#include "output/data_out.h"
#include "shell/command_table.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>

namespace plox::shell {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The series of the current graph whose kind is in `mask`, chosen with the series chooser; one
// qualifying series is taken without asking.
std::vector<int> choose_series(MainWindow& window, const char* title, int32_t mask) {
    const Graph* g = window.state().current();
    if (!g) return {};
    forms::ChooserRequest request;
    request.title = title;
    request.mask = mask;
    dialogs::QtSeriesChooser chooser(&window);
    const forms::SeriesChoice choice = chooser.choose(*g, request);
    if (!choice.chosen()) return {};
    return choice.series;
}

class WindowDataTarget : public DataOutTarget {
public:
    explicit WindowDataTarget(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> file_name(const std::string& proposed) override {
        const QString name =
            QFileDialog::getSaveFileName(parent_, QString(), q(proposed), QStringLiteral("*.*"));
        if (name.isEmpty()) return std::nullopt;
        return name.toStdString();
    }
    bool set_clipboard_text(const std::string& text) override {
        QApplication::clipboard()->setText(
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        return true;
    }

private:
    QWidget* parent_;
};

void save_or_copy(MainWindow& window, const char* title, int32_t mask, DataOutOptions options) {
    const std::vector<int> chosen = choose_series(window, title, mask);
    Graph* g = window.state().current();
    if (chosen.empty() || !g) return;
    WindowDataTarget target(&window);
    RenderContext context = window.render_context();
    save_or_copy_points(*g, chosen, options, target, context);
}

// The clipboard's text as the bytes of a data file (Shift-JIS, as data files are written).
std::string clipboard_bytes() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText()) return {};
    QStringEncoder encode("windows-31j");
    const QByteArray bytes = encode(mime->text());
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void paste_data(MainWindow& window) {
    AppState& state = window.state();
    if (!state.current()) return;
    const std::string text = clipboard_bytes();
    if (text.empty()) return;
    const auto path = write_temporary_data(state.io.temp_dir, text);
    if (!path) return;
    window.begin_change();
    if (!window.add_series_file(*path, true)) {
        std::remove(path->c_str());
        return;
    }
    // Deleted with the program's other temporary data files; saving embeds it.
    state.io.extracted_files.push_back(*path);
    window.graph_changed();
}

void new_data_file(MainWindow& window) {
    if (!window.state().current()) return;
    QFileDialog dialog(&window);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("*.dat"), QStringLiteral("*.*")});
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    dialog.selectFile(QStringLiteral("NEW.DAT"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::string path = dialog.selectedFiles().front().toStdString();
    if (!create_new_file(path)) {
        window.prompter().message("Error", "cannot open file", Buttons::Ok, Icon::Error);
        return;
    }
    window.begin_change();
    if (!window.add_series_file(path, true)) return;
    window.graph_changed();
    start_editor(window, path);
}

void edit_data_files(MainWindow& window) {
    const std::vector<int> chosen = choose_series(window, "編集するファイル", EVERY_KIND_MASK);
    Graph* g = window.state().current();
    if (chosen.empty() || !g) return;
    window.begin_change();
    for (int index : chosen) {
        Series& s = g->series[static_cast<size_t>(index)];
        if (!start_editor(window, s.file_name)) break;
        s.needs_reading = 1;
        s.data_loaded = 0;
    }
    window.activateWindow();
    window.graph_changed();
}

} // namespace

bool start_editor(MainWindow& window, const std::string& path) {
    EditorEnvironment env;
    env.visual = qEnvironmentVariable("VISUAL").toStdString();
    env.editor = qEnvironmentVariable("EDITOR").toStdString();
    env.found = [](const std::string& program) {
        const QFileInfo info(q(program));
        if (info.isAbsolute()) return info.isExecutable();
        return !QStandardPaths::findExecutable(q(program)).isEmpty();
    };
    const std::vector<std::string> command =
        editor_command(window.state().config.Editor, path, env);
    QStringList arguments;
    for (size_t i = 1; i < command.size(); ++i)
        arguments << q(command[i]);
    if (!command.empty() && QProcess::startDetached(q(command.front()), arguments)) return true;
    // The number a failed start reports: the program was not found.
    window.prompter().message("Error", "cannot open editor(2)", Buttons::Ok, Icon::Error);
    return false;
}

void register_data_commands(MainWindow& window) {
    window.set_handler(669, [&window] {
        save_or_copy(window, "セーブするデータの選択", EVERY_KIND_MASK, {false, true});
    });
    window.set_handler(cmd::CopyData, [&window] {
        save_or_copy(window, "クリップボードへコピーするデータの選択", EVERY_KIND_MASK,
                     {false, false});
    });
    window.set_handler(660, [&window] {
        save_or_copy(window, "クリップボードへコピーするデータの選択", CURVE_KIND_MASK,
                     {true, false});
    });
    window.set_handler(cmd::PasteData, [&window] { paste_data(window); });
    window.set_handler(cmd::NewDataFile, [&window] { new_data_file(window); });
    window.set_handler(670, [&window] { edit_data_files(window); });
}

} // namespace plox::shell
