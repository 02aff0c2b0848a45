// The "SET_GAUSS" dialog ("Fitting Cond.") and the about box: the only Qt in the module.
#include "blocks.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ploxex {
namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return QString::fromLatin1(buffer);
}

// A field that does not parse keeps the value it had.
double parse(const QLineEdit* edit, double previous) {
    bool ok = false;
    const double v = edit->text().trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : previous;
}

bool gui_available() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

class GaussDialog : public QDialog {
public:
    GaussDialog(QWidget* parent, PeakBlock& block) : QDialog(parent), block_(block), work_(block) {
        setWindowTitle(text("Fitting Cond."));
        setObjectName("SET_GAUSS");
        auto* grid = new QGridLayout(this);
        grid->addWidget(new QLabel(text("数")), 0, 0);
        count_ = new QComboBox;
        count_->setObjectName("count");
        for (int i = 1; i <= MAX_PEAKS; ++i)
            count_->addItem(QString::number(i));
        count_->setCurrentIndex(std::clamp<int>(work_.peaks, 1, MAX_PEAKS) - 1);
        grid->addWidget(count_, 0, 1);
        const char* headers[] = {"強度", "ピーク位置", "半値幅"};
        for (int c = 0; c < 3; ++c)
            grid->addWidget(new QLabel(text(headers[c])), 1, 1 + 2 * c, 1, 2);
        for (int r = 0; r < 3; ++r) {
            peak_label_[r] = new QLabel;
            grid->addWidget(peak_label_[r], 2 + r, 0);
            for (int c = 0; c < 3; ++c) {
                edit_[r][c] = new QLineEdit;
                free_[r][c] = new QCheckBox;
                edit_[r][c]->setObjectName(QString("value%1%2").arg(r).arg(c));
                free_[r][c]->setObjectName(QString("free%1%2").arg(r).arg(c));
                grid->addWidget(edit_[r][c], 2 + r, 1 + 2 * c);
                grid->addWidget(free_[r][c], 2 + r, 2 + 2 * c);
            }
        }
        auto* low = new QPushButton(text("1～3"));
        auto* high = new QPushButton(text("4～6"));
        low->setObjectName("peaks1");
        high->setObjectName("peaks4");
        grid->addWidget(low, 5, 1);
        grid->addWidget(high, 5, 3);
        connect(low, &QPushButton::clicked, this, [this] { switch_page(0); });
        connect(high, &QPushButton::clicked, this, [this] { switch_page(3); });
        offset_free_ = new QCheckBox(text("Offset"));
        offset_free_->setChecked(work_.offset_free != 0);
        offset_ = new QLineEdit(number(work_.initial_offset));
        offset_free_->setObjectName("offset_free");
        offset_->setObjectName("offset");
        grid->addWidget(offset_free_, 6, 0);
        grid->addWidget(offset_, 6, 1);
        auto* tolerance_label = new QLabel(text("精度(&L)"));
        tolerance_ = new QLineEdit(number(work_.tolerance));
        tolerance_->setObjectName("tolerance");
        tolerance_label->setBuddy(tolerance_);
        grid->addWidget(tolerance_label, 7, 0);
        grid->addWidget(tolerance_, 7, 1);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        grid->addWidget(buttons, 8, 0, 1, 7);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            store();
            done(1);
        });
        connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });
        show_page();
    }

protected:
    // Closing the window keeps the edits but answers as a cancel.
    void closeEvent(QCloseEvent* event) override {
        store();
        event->accept();
        QDialog::closeEvent(event);
    }

private:
    void read_page() {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const int i = 3 * (first_ + r) + c;
                work_.initial[i] = parse(edit_[r][c], work_.initial[i]);
                work_.free[i] = free_[r][c]->isChecked() ? 1 : 0;
            }
    }
    void show_page() {
        for (int r = 0; r < 3; ++r) {
            peak_label_[r]->setText(QString::number(first_ + r + 1));
            for (int c = 0; c < 3; ++c) {
                const int i = 3 * (first_ + r) + c;
                edit_[r][c]->setText(number(work_.initial[i]));
                free_[r][c]->setChecked(work_.free[i] != 0);
            }
        }
    }
    void switch_page(int first) {
        read_page();
        first_ = first;
        show_page();
    }
    void store() {
        read_page();
        work_.peaks = count_->currentIndex() + 1;
        work_.offset_free = offset_free_->isChecked() ? 1 : 0;
        work_.initial_offset = parse(offset_, work_.initial_offset);
        work_.tolerance = std::clamp(parse(tolerance_, work_.tolerance), 0.01, 10.0);
        block_ = work_;
    }

    PeakBlock& block_;
    PeakBlock work_;
    int first_ = 0;
    QComboBox* count_;
    QLabel* peak_label_[3];
    QLineEdit* edit_[3][3];
    QCheckBox* free_[3][3];
    QCheckBox* offset_free_;
    QLineEdit* offset_;
    QLineEdit* tolerance_;
};

void report_no_dialog(QWidget* parent) {
    if (gui_available())
        QMessageBox::critical(parent, text("System Error"), text("Unable to display dialog"));
    else
        std::fputs("System Error: Unable to display dialog\n", stderr);
}

} // namespace

int run_gauss_dialog(void* window, PeakBlock& block) {
    auto* parent = static_cast<QWidget*>(window);
    if (!gui_available()) {
        report_no_dialog(parent);
        return -1;
    }
    GaussDialog dialog(parent, block);
    return dialog.exec() == 1 ? 1 : 0;
}

void show_about(void* window, const std::string& message) {
    if (gui_available())
        QMessageBox::information(static_cast<QWidget*>(window), text("About"),
                                 QString::fromStdString(message));
    else
        std::fprintf(stderr, "%s\n", message.c_str());
}

} // namespace ploxex
