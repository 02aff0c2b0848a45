// Controls the property pages share: labelled edits with working mnemonics, the colour button
// (colour chooser) and colour list, the line type and plot type lists, and the OK/Cancel/Apply
// frame of a property sheet.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QGridLayout;
class QLineEdit;
class QTabWidget;
class QDialogButtonBox;

namespace plox::dialogs {

QString qs(const std::string& utf8);
std::string us(const QString& text);
// CP932 document bytes to and from the text a control shows.
QString from_bytes(const std::string& bytes);
std::string to_bytes(const QString& text);

// A label (its "&X" letter focusing the edit) and an edit in `row` of a grid at `column`.
QLineEdit* add_edit(QGridLayout* grid, int row, int column, const QString& label,
                    const std::string& text, int max_length = 0);
// A label with a buddy widget.
void add_labelled(QGridLayout* grid, int row, int column, const QString& label, QWidget* field);

// Shows its colour as a filled sample; a click opens the colour chooser with the current
// colour preselected and the greys as custom colours. Colours are 0x00BBGGRR.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    ColourButton(const QString& text, int32_t colour, QWidget* parent = nullptr);
    int32_t colour() const { return colour_; }
    void set_colour(int32_t colour);
    // The chooser itself, replaceable in tests.
    static std::function<std::optional<int32_t>(int32_t current, QWidget* parent)> chooser;

private:
    int32_t colour_;
};

// The sixteen colours; a colour outside them is kept unless the user picks another.
class ColourList : public QComboBox {
    Q_OBJECT
public:
    explicit ColourList(int32_t colour, QWidget* parent = nullptr);
    int32_t colour() const;

private:
    int32_t original_;
};

// Line types 0 to 6 ("線なし" … "面"), index = type.
QComboBox* line_type_list(int line_type, QWidget* parent = nullptr);
// Plot types of series markers, item data = type.
QComboBox* plot_type_list(int32_t plot_type, QWidget* parent = nullptr);
int32_t plot_type_of(const QComboBox* list);

// A property sheet: pages as tabs over OK (default), Cancel and Apply. `apply` runs on Apply and
// on OK.
class PropertySheet : public QDialog {
    Q_OBJECT
public:
    PropertySheet(const QString& caption, QWidget* parent = nullptr);
    QTabWidget* tabs() const { return tabs_; }
    void set_apply(std::function<void()> apply) { apply_ = std::move(apply); }
    bool applied() const { return applied_; }
    QPushButton* ok_button() const;

private:
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    std::function<void()> apply_;
    bool applied_ = false;
};

// Runs a modal dialog; tests replace it to drive the dialog without a user.
extern std::function<int(QDialog&)> run_dialog;

} // namespace plox::dialogs
