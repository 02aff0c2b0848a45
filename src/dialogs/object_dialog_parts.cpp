// Shared pieces of the object dialogs.
#include "dialogs/object_dialog_parts.h"

#include "forms/dialog_helpers.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace plox::dialogs {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string s(const QString& q) {
    return q.toUtf8().toStdString();
}

QLabel* add_row(QGridLayout* grid, int row, int column, const QString& label, QWidget* buddy) {
    auto* l = new QLabel(label);
    l->setBuddy(buddy);
    grid->addWidget(l, row, column);
    grid->addWidget(buddy, row, column + 1);
    return l;
}

QLineEdit* line_edit(const std::string& text, QWidget* parent) {
    auto* e = new QLineEdit(q(text), parent);
    e->setMaximumWidth(110);
    return e;
}

namespace {
QIcon swatch(int32_t c) {
    QPixmap p(24, 12);
    p.fill(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 23, 11);
    return QIcon(p);
}
} // namespace

QComboBox* colour_combo(int32_t colour, QWidget* parent) {
    auto* c = new QComboBox(parent);
    for (int32_t v : forms::colour_list())
        c->addItem(swatch(v), QString::asprintf("0x%06X", v), v);
    int index = forms::colour_list_index(colour);
    if (index < 0) {
        c->addItem(swatch(colour), QString::asprintf("0x%06X", colour), colour);
        index = c->count() - 1;
    }
    c->setCurrentIndex(index);
    return c;
}

int32_t colour_of(const QComboBox* combo) {
    return combo->currentData().toInt();
}

QComboBox* line_type_combo(int32_t value, QWidget* parent) {
    auto* c = new QComboBox(parent);
    const char* names[] = {"線なし", "実線", "破線", "点線", "一点鎖線", "二点鎖線", "面"};
    for (int i = 0; i < 7; ++i)
        c->addItem(QString::fromUtf8(names[i]), i);
    c->setCurrentIndex(std::clamp(value, 0, 6));
    return c;
}

QComboBox* plot_type_combo(int32_t value, QWidget* parent) {
    auto* c = new QComboBox(parent);
    const char* names[] = {"なし",   "○",          "●",
                           "△",      "▲",          "□",
                           "■",      "▽",          "▼",
                           "◇",      "◆",          "＋",
                           "×",      "縦棒",       "◎",
                           "△in",    "□in",        "▽in",
                           "◇in",    "◐",          "△half",
                           "□half",  "▽half",      "◇half",
                           "／",     "＼",         "横棒",
                           "矩形",   "対角線",     "折れ線",
                           "多角形", "スプライン", "閉スプライン",
                           "縦階段", "横階段"};
    for (int i = 0; i < 35; ++i)
        c->addItem(QString::asprintf("%d ", i) + QString::fromUtf8(names[i]), i);
    int index = c->findData(value);
    if (index < 0) {
        c->addItem(QString::number(value), value);
        index = c->count() - 1;
    }
    c->setCurrentIndex(index);
    return c;
}

int32_t item_value(const QComboBox* combo) {
    return combo->currentData().toInt();
}

QPushButton* AnswerButtons::add(QDialog* dialog, const QString& label, forms::ObjectAnswer a) {
    auto* b = new QPushButton(label, dialog);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, dialog, [this, dialog, a] {
        answer = a;
        dialog->accept();
    });
    row->addWidget(b);
    return b;
}

void AnswerButtons::build(QDialog* dialog) {
    row = new QHBoxLayout;
    ok = add(dialog, QStringLiteral("OK"), forms::ObjectAnswer::Ok);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addWidget(cancel);
}

} // namespace plox::dialogs
