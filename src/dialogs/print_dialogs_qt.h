// The print size dialog SET_PRINTSIZE and the abort dialog shown while a page prints.
#pragma once

#include "output/page_setup.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace plox {

// "印刷サイズの設定": edits a copy of the form; the caller applies it on Accepted.
class PrintSizeDialog : public QDialog {
public:
    PrintSizeDialog(const PrintSizeForm& form, QWidget* parent = nullptr);
    // The form with the values now in the controls.
    PrintSizeForm form() const;

private:
    void orientation_clicked(bool landscape);
    void show_form();

    PrintSizeForm form_;
    QComboBox* kind_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* length_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QComboBox* scale_ = nullptr;
};

// "印刷" with "印刷中:" and the name of the first graph, and "中止". Window-modal to the whole
// program while it shows, so the main window takes no input during printing.
class PrintAbortDialog : public QDialog {
public:
    PrintAbortDialog(const QString& file_name, QWidget* parent = nullptr);
    bool aborted() const { return aborted_; }

protected:
    void reject() override { aborted_ = true; }

private:
    bool aborted_ = false;
};

} // namespace plox
