// Picture export and copy: the window's side of export_or_copy_picture.
#include "shell/commands_metafile.h"

#include "dialogs/copy_region_dialog.h"
#include "output/picture_command.h"
#include "platform/metafile_text_qt.h"
#include "platform/picture_export.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/page_editor.h"
#include "shell/page_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

namespace plox::shell {

namespace {

class WindowPictureUi : public PictureUi {
public:
    WindowPictureUi(MainWindow& window, const RenderContext& context)
        : window_(window), context_(context) {}

    bool copy_region(forms::CopyRegion& region) override {
        return run_copy_region_dialog(&window_, region);
    }

    std::optional<std::string> picture_file(const std::string& proposed) override {
        QFileDialog dialog(&window_);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const QStringList filters{"*.wmf (*.wmf *.WMF)", "*.emf (*.emf *.EMF)", "*.pdf (*.pdf)",
                                  "*.svg (*.svg)", "*.png (*.png)"};
        dialog.setNameFilters(filters);
        dialog.setDefaultSuffix("wmf");
        // A name typed without an extension takes the chosen type's.
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(filter.mid(2, 3)); });
        const QFileInfo info(QString::fromStdString(proposed));
        if (!proposed.empty()) {
            if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }

    bool write_other_format(const std::string& path, GraphSet& set, const Rect& region,
                            int32_t ratio) override {
        return write_region_picture(path, set, region, ratio, context_);
    }

    void set_clipboard(const std::vector<uint8_t>& metafile, bool enhanced, GraphSet& set,
                       const Rect& region, int32_t ratio) override {
        auto data = picture_mime_data(metafile, enhanced, set, region, ratio, context_);
        QApplication::clipboard()->setMimeData(data.release());
    }

private:
    MainWindow& window_;
    const RenderContext& context_;
};

void run_picture_command(MainWindow& window, Prompter& prompter, bool to_file,
                         std::optional<Rect> selected) {
    AppState& state = window.state();
    if (state.set.graphs.empty()) return;
    const RenderContext context = window.render_context();
    WindowPictureUi ui(window, context);
    PictureRequest request;
    request.to_file = to_file;
    request.selected = selected;
    request.preview = state.preview;
    request.proposed_name = proposed_picture_name(state.set);
    static const QtMetafileText text;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PictureResult result =
        export_or_copy_picture(state.set, request, prompter, ui, context, text);
    QApplication::restoreOverrideCursor();
    if (result.outcome == PictureOutcome::Failed)
        prompter.message("エラー", "ファイルに書き込めません\n" + result.path, Buttons::Ok,
                         Icon::Error);
    // Drawing at another ratio left scaled extents behind: draw the window afresh.
    if (result.outcome != PictureOutcome::Cancelled) window.redraw(result.redraw);
}

} // namespace

SelectedRegion editor_region(const MainWindow& window, const PageEditor& editor) {
    return [&window, &editor]() -> std::optional<Rect> {
        if (window.page() && window.page()->picking_region()) return std::nullopt;
        // A click elsewhere ends the selection; the last region then no longer applies.
        if (!editor.region_selected()) return std::nullopt;
        const std::optional<editing::Rect32> r = editor.region();
        if (!r) return std::nullopt;
        const Rect rect{std::min(r->left, r->right), std::min(r->top, r->bottom),
                        std::max(r->left, r->right), std::max(r->top, r->bottom)};
        if (rect.empty()) return std::nullopt;
        return rect;
    };
}

void register_metafile_commands(MainWindow& window, Prompter& prompter, SelectedRegion selected) {
    auto has_graphs = [&window] { return !window.state().set.graphs.empty(); };
    auto has_selection = [selected, has_graphs] {
        return has_graphs() && selected && selected().has_value();
    };
    window.set_handler(
        cmd::ExportMetafile,
        [&window, &prompter] { run_picture_command(window, prompter, true, std::nullopt); },
        has_graphs);
    window.set_handler(
        cmd::CopyPage,
        [&window, &prompter] { run_picture_command(window, prompter, false, std::nullopt); },
        has_graphs);
    window.set_handler(
        cmd::SaveRegion,
        [&window, &prompter, selected] {
            if (selected) run_picture_command(window, prompter, true, selected());
        },
        has_selection);
    window.set_handler(
        cmd::CopyRegion,
        [&window, &prompter, selected] {
            if (selected) run_picture_command(window, prompter, false, selected());
        },
        has_selection);
}

} // namespace plox::shell
