// Shared controls of the property pages.
#include "dialogs/sheet_widgets.h"

#include "dialogs/series_sample.h"
#include "forms/dialog_helpers.h"
#include "platform/text_decoding.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTabWidget>
#include <QVBoxLayout>

namespace plox::dialogs {

std::function<int(QDialog&)> run_dialog = [](QDialog& d) {
    const int result = d.exec();
    // Without a window manager nothing hands the keyboard back to the window below.
    if (QWidget* parent = d.parentWidget()) parent->window()->activateWindow();
    return result;
};

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::string us(const QString& text) {
    return text.toStdString();
}

QString from_bytes(const std::string& bytes) {
    return decode_cp932(bytes);
}

std::string to_bytes(const QString& text) {
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void add_labelled(QGridLayout* grid, int row, int column, const QString& label, QWidget* field) {
    auto* l = new QLabel(label);
    l->setBuddy(field);
    grid->addWidget(l, row, column);
    grid->addWidget(field, row, column + 1);
}

QLineEdit* add_edit(QGridLayout* grid, int row, int column, const QString& label,
                    const std::string& text, int max_length) {
    auto* edit = new QLineEdit(qs(text));
    if (max_length > 0) edit->setMaxLength(max_length);
    add_labelled(grid, row, column, label, edit);
    return edit;
}

namespace {

QColor to_qcolor(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t from_qcolor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace

std::function<std::optional<int32_t>(int32_t, QWidget*)> ColourButton::chooser =
    [](int32_t current, QWidget* parent) -> std::optional<int32_t> {
    const auto custom = forms::custom_colours(current);
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, to_qcolor(custom[static_cast<size_t>(i)]));
    const QColor c = QColorDialog::getColor(to_qcolor(current), parent);
    if (!c.isValid()) return std::nullopt;
    return from_qcolor(c);
};

ColourButton::ColourButton(const QString& text, int32_t colour, QWidget* parent)
    : QPushButton(text, parent), colour_(colour) {
    set_colour(colour);
    connect(this, &QPushButton::clicked, this, [this] {
        const auto c = chooser(colour_, this);
        window()->activateWindow(); // the keyboard comes back to the sheet
        if (c) set_colour(*c);
    });
}

void ColourButton::set_colour(int32_t colour) {
    colour_ = colour;
    setIcon(QIcon(colour_swatch(colour, 24, 12)));
    setIconSize(QSize(24, 12));
}

ColourList::ColourList(int32_t colour, QWidget* parent) : QComboBox(parent), original_(colour) {
    setIconSize(QSize(48, 12));
    for (int32_t c : forms::colour_list())
        addItem(QIcon(colour_swatch(c, 48, 12)), QString(), c);
    setCurrentIndex(forms::colour_list_index(colour));
}

int32_t ColourList::colour() const {
    return currentIndex() < 0 ? original_ : currentData().toInt();
}

QComboBox* line_type_list(int line_type, QWidget* parent) {
    static const char* labels[] = {"線なし", "実線", "破線", "点線", "一点鎖線", "二点鎖線", "面"};
    auto* list = new QComboBox(parent);
    list->setIconSize(QSize(48, 12));
    for (int i = 0; i < 7; ++i)
        list->addItem(QIcon(line_sample(i)), QString::fromUtf8(labels[i]));
    list->setCurrentIndex(std::clamp(line_type, 0, 6));
    return list;
}

QComboBox* plot_type_list(int32_t plot_type, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setIconSize(QSize(16, 16));
    auto add = [&](int32_t type, const char* label) {
        const QString text = label ? QString::fromUtf8(label) : QString::number(type);
        list->addItem(QIcon(marker_sample(type)), text, type);
    };
    add(0, "なし");
    for (int32_t t = 1; t <= 12; ++t)
        add(t, nullptr);
    add(13, "縦棒");
    for (int32_t t = 14; t <= 25; ++t)
        add(t, nullptr);
    add(26, "横棒");
    add(27, "矩形");
    add(28, "対角線");
    add(33, "縦階段");
    add(34, "横階段");
    // Markers of the extension module keep their number.
    if (plot_type >= 38) add(plot_type, nullptr);
    const int index = list->findData(plot_type);
    list->setCurrentIndex(index < 0 ? 0 : index);
    return list;
}

int32_t plot_type_of(const QComboBox* list) {
    return list->currentData().toInt();
}

PropertySheet::PropertySheet(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    tabs_ = new QTabWidget(this);
    buttons_ = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    ok_button()->setDefault(true);
    // Plain texts: a mnemonic here would take a letter the pages use.
    ok_button()->setText(QStringLiteral("OK"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons_->button(QDialogButtonBox::Apply)->setText(QStringLiteral("Apply"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        if (apply_) apply_();
        applied_ = true;
        accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
        if (apply_) apply_();
        applied_ = true;
    });
}

QPushButton* PropertySheet::ok_button() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

} // namespace plox::dialogs
