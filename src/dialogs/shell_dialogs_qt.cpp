// Qt file dialogs and input boxes for the shell.
#include "dialogs/shell_dialogs_qt.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QUrl>
#include <algorithm>

namespace plox {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

std::vector<std::string> QtShellDialogs::open_data_files(const std::string& user_ext,
                                                         const std::string& start_dir) {
    const QString filters = QStringLiteral("ﾕｰｻﾞｰ指定 (%1);;すべてのﾌｧｲﾙ (*.*);;ploxﾌｧｲﾙ (*.1)")
                                .arg(user_ext.empty() ? QStringLiteral("*.*") : q(user_ext));
    QStringList files = QFileDialog::getOpenFileNames(parent_, QString(), q(start_dir), filters);
    std::vector<std::string> out;
    for (const QString& f : files)
        out.push_back(f.toStdString());
    return out;
}

std::optional<std::string> QtShellDialogs::open_document(const std::string& start_dir) {
    QString f = QFileDialog::getOpenFileName(
        parent_, QString(), q(start_dir),
        QStringLiteral("QVPﾌｧｲﾙ (*.qvp *.QVP *.qva *.QVA);;すべてのﾌｧｲﾙ (*)"));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

// Qt's own dialog, so that the two check boxes can stand below the file list.
std::optional<SaveChoice> QtShellDialogs::save_document(const std::string& proposed_name,
                                                        bool with_data, bool allow_16bit) {
    QFileDialog dialog(parent_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("*.QVP (*.QVP *.qvp)"));
    dialog.setDefaultSuffix(QStringLiteral("qvp"));
    QFileInfo proposed(q(proposed_name));
    if (proposed.isAbsolute()) dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());

    auto* data = new QCheckBox(QStringLiteral("データも一緒に保存する"), &dialog);
    data->setChecked(with_data);
    auto* old = new QCheckBox(QStringLiteral("16bit版形式で保存する"), &dialog);
    old->setEnabled(allow_16bit);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        int row = grid->rowCount();
        grid->addWidget(data, row, 0, 1, grid->columnCount());
        grid->addWidget(old, row + 1, 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return SaveChoice{dialog.selectedFiles().front().toStdString(), data->isChecked(),
                      allow_16bit && old->isChecked()};
}

std::optional<std::string> QtShellDialogs::input_text(const std::string& title,
                                                      const std::string& prompt,
                                                      const std::string& initial, int max_length) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(q(title));
    dialog.setLabelText(q(prompt));
    dialog.setTextValue(q(initial));
    // The length counts the terminating NUL of the caller's buffer.
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(std::max(max_length - 1, 1));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

bool QtShellDialogs::open_help(const std::string& path) {
    if (!help_) {
        help_ = new HelpWindow(parent_);
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (help_->path() != QFileInfo(q(path)).absoluteFilePath() && !help_->load(q(path))) {
        delete help_;
        return false;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
    return true;
}

} // namespace plox
