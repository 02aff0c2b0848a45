// The shell's dialogs on Qt: file dialogs, the save dialog with its two check boxes and the
// input box, and the help window.
#pragma once

#include "dialogs/help_window.h"
#include "dialogs/shell_dialogs.h"

#include <QPointer>
#include <QWidget>

namespace plox {

class QtShellDialogs : public ShellDialogs {
public:
    explicit QtShellDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    std::vector<std::string> open_data_files(const std::string& user_ext,
                                             const std::string& start_dir) override;
    std::optional<std::string> open_document(const std::string& start_dir) override;
    std::optional<SaveChoice> save_document(const std::string& proposed_name, bool with_data,
                                            bool allow_16bit) override;
    std::optional<std::string> input_text(const std::string& title, const std::string& prompt,
                                          const std::string& initial, int max_length) override;
    bool open_help(const std::string& path) override;

private:
    QPointer<QWidget> parent_;
    QPointer<HelpWindow> help_; // one window, shown again on every request
};

} // namespace plox
