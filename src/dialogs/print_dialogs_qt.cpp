// Print size and abort dialogs on Qt widgets.
#include "dialogs/print_dialogs_qt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace plox {

PrintSizeDialog::PrintSizeDialog(const PrintSizeForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
    setObjectName(QStringLiteral("SET_PRINTSIZE"));
    setWindowTitle(QStringLiteral("印刷サイズの設定"));

    kind_ = new QComboBox(this);
    for (int k = 0; k < paper::KindCount; ++k)
        kind_->addItem(QString::fromUtf8(paper_kind_name(k)));
    width_ = new QLineEdit(this);
    length_ = new QLineEdit(this);
    for (QLineEdit* e : {width_, length_})
        e->setValidator(new QIntValidator(0, 99999, e));
    portrait_ = new QRadioButton(QStringLiteral("縦"), this);
    landscape_ = new QRadioButton(QStringLiteral("横"), this);
    scale_ = new QComboBox(this);
    scale_->setEditable(true);
    for (const char* choice : PRINT_SCALE_CHOICES)
        scale_->addItem(QString::fromLatin1(choice));
    scale_->setInsertPolicy(QComboBox::NoInsert);

    auto* grid = new QGridLayout;
    auto add_row = [&](int row, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    add_row(0, QStringLiteral("用紙サイズ"), kind_);
    add_row(1, QStringLiteral("幅(mm)"), width_);
    add_row(2, QStringLiteral("長さ(mm)"), length_);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    grid->addLayout(orientation, 3, 1);
    add_row(4, QStringLiteral("拡大/縮小率(%)"), scale_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(buttons);

    connect(portrait_, &QRadioButton::clicked, this, [this] { orientation_clicked(false); });
    connect(landscape_, &QRadioButton::clicked, this, [this] { orientation_clicked(true); });
    setTabOrder(kind_, width_);
    setTabOrder(width_, length_);
    setTabOrder(length_, portrait_);
    setTabOrder(portrait_, landscape_);
    setTabOrder(landscape_, scale_);
    show_form();
}

void PrintSizeDialog::show_form() {
    kind_->setCurrentIndex(form_.kind);
    width_->setText(QString::fromStdString(form_.width));
    length_->setText(QString::fromStdString(form_.length));
    (form_.landscape ? landscape_ : portrait_)->setChecked(true);
    scale_->setCurrentText(QString::fromStdString(form_.scale));
}

void PrintSizeDialog::orientation_clicked(bool landscape) {
    form_ = form();
    form_.choose_orientation(landscape);
    show_form();
}

PrintSizeForm PrintSizeDialog::form() const {
    PrintSizeForm f = form_;
    f.kind = kind_->currentIndex();
    f.width = width_->text().toStdString();
    f.length = length_->text().toStdString();
    f.landscape = landscape_->isChecked();
    f.scale = scale_->currentText().toStdString();
    return f;
}

PrintAbortDialog::PrintAbortDialog(const QString& file_name, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AbortDialog"));
    setWindowTitle(QStringLiteral("印刷"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("印刷中:"), this));
    layout->addWidget(new QLabel(file_name, this));
    auto* stop = new QPushButton(QStringLiteral("中止"), this);
    stop->setDefault(true);
    connect(stop, &QPushButton::clicked, this, [this] { aborted_ = true; });
    layout->addWidget(stop, 0, Qt::AlignHCenter);
}

} // namespace plox
