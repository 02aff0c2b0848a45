// Pieces the object dialogs share: labelled rows with working mnemonics, the colour list, the
// line and plot type lists and the row of answer buttons.
#pragma once

#include "forms/object_forms.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

namespace plox::dialogs {

QString q(const std::string& s);
std::string s(const QString& q);

// A label whose mnemonic focuses `buddy`, put in `grid` at (row, column) with the widget
// beside it.
QLabel* add_row(QGridLayout* grid, int row, int column, const QString& label, QWidget* buddy);
QLineEdit* line_edit(const std::string& text, QWidget* parent);

// The colour list with the object's colour selected (added at the end when not in the list).
QComboBox* colour_combo(int32_t colour, QWidget* parent);
int32_t colour_of(const QComboBox* combo);
QComboBox* line_type_combo(int32_t value, QWidget* parent);
QComboBox* plot_type_combo(int32_t value, QWidget* parent);
int32_t item_value(const QComboBox* combo);

// OK (default), Cancel and the extra answer buttons; `answer` is set by the button pressed.
struct AnswerButtons {
    forms::ObjectAnswer answer = forms::ObjectAnswer::Cancel;
    QHBoxLayout* row = nullptr;
    QPushButton* ok = nullptr;
    // OK and Cancel; lives as long as the dialog.
    void build(QDialog* dialog);
    QPushButton* add(QDialog* dialog, const QString& label, forms::ObjectAnswer a);
};

} // namespace plox::dialogs
