// Qt views of the fitting forms.
#include "dialogs/fit_dialogs_qt.h"

#include "dialogs/series_sample.h"
#include "dialogs/series_sheet_dialog.h"
#include "forms/dialog_helpers.h"
#include "forms/fit_forms.h"
#include "forms/series_chooser.h"
#include "settings/analysis_settings.h"
#include "settings/store.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace plox::dialogs {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string s(const QLineEdit* e) {
    return e->text().toStdString();
}

QLineEdit* edit(const std::string& text, int max_length = 0) {
    auto* e = new QLineEdit(q(text));
    if (max_length > 0) e->setMaxLength(max_length);
    return e;
}

QLabel* buddy(const QString& text, QWidget* w) {
    auto* l = new QLabel(text);
    l->setBuddy(w);
    return l;
}

// A button that shows its colour as a filled sample.
class ColourButton : public QPushButton {
public:
    ColourButton(const QString& text, int32_t colour) : QPushButton(text), colour_(colour) {
        connect(this, &QPushButton::clicked, this, [this] {
            if (choose_colour(this, colour_)) update();
        });
    }
    int32_t colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPushButton::paintEvent(e);
        QPainter p(this);
        const QRect r = rect().adjusted(6, 6, -6, -6);
        const QRect sample(r.right() - r.height() * 2, r.top(), r.height() * 2, r.height());
        p.fillRect(sample, to_qcolor(colour_));
        p.setPen(Qt::black);
        p.drawRect(sample);
    }

private:
    int32_t colour_;
};

// "適用条件" (LSQ_DIALOG1).
class ConditionsPage : public QWidget {
public:
    ConditionsPage(const forms::LsqConditionsForm& form, SettingsStore* store, const QString& name)
        : form_(form) {
        auto* grid = new QGridLayout(this);
        grid->addWidget(new QLabel(name), 0, 0, 1, 3);
        degree_ = new QComboBox;
        for (const std::string& d : form_.degrees)
            degree_->addItem(q(d));
        degree_->setCurrentIndex(form_.degree_index);
        degree_->setObjectName("degree");
        grid->addWidget(buddy(QStringLiteral("次数(&N)"), degree_), 1, 0);
        grid->addWidget(degree_, 1, 1);
        through_ = new QCheckBox(QStringLiteral("特定点通過(&Z)"));
        through_->setChecked(form_.through_point);
        grid->addWidget(through_, 2, 0, 1, 2);
        x0_ = edit(form_.x0);
        y0_ = edit(form_.y0);
        grid->addWidget(buddy(QStringLiteral("&x0"), x0_), 3, 0);
        grid->addWidget(x0_, 3, 1);
        grid->addWidget(buddy(QStringLiteral("&y0"), y0_), 4, 0);
        grid->addWidget(y0_, 4, 1);
        auto* save = new QPushButton(QStringLiteral("保存(&V)"));
        save->setAutoDefault(false);
        save->setEnabled(store != nullptr);
        grid->addWidget(save, 5, 1);
        grid->setRowStretch(6, 1);
        connect(save, &QPushButton::clicked, this, [this, store] { take().save(*store); });
    }
    const forms::LsqConditionsForm& take() {
        form_.degree_index = degree_->currentIndex();
        form_.through_point = through_->isChecked();
        form_.x0 = s(x0_);
        form_.y0 = s(y0_);
        return form_;
    }

private:
    forms::LsqConditionsForm form_;
    QComboBox* degree_;
    QCheckBox* through_;
    QLineEdit *x0_, *y0_;
};

// The curve page (LSQ_DIALOG2).
class CurvePage : public QWidget {
public:
    CurvePage(const forms::CurveForm& form, SettingsStore* store, const QString& name)
        : form_(form) {
        auto* grid = new QGridLayout(this);
        grid->addWidget(new QLabel(name), 0, 0, 1, 4);
        from_ = edit(form_.from);
        to_ = edit(form_.to);
        division_ = edit(form_.division);
        division_->setObjectName("division");
        grid->addWidget(buddy(QStringLiteral("&From:"), from_), 1, 0);
        grid->addWidget(from_, 1, 1);
        grid->addWidget(buddy(QStringLiteral("&To:"), to_), 2, 0);
        grid->addWidget(to_, 2, 1);
        grid->addWidget(buddy(QStringLiteral("&Division:"), division_), 3, 0);
        grid->addWidget(division_, 3, 1);
        auto* spacing = new QGroupBox(QStringLiteral("増分"));
        auto* sl = new QVBoxLayout(spacing);
        group_ = new QButtonGroup(this);
        const QString labels[3] = {QStringLiteral("&Linear"), QStringLiteral("&exp 的"),
                                   QStringLiteral("逆数的")};
        for (int i = 0; i < 3; ++i) {
            auto* b = new QRadioButton(labels[i]);
            group_->addButton(b, i);
            sl->addWidget(b);
        }
        group_->button(form_.spacing)->setChecked(true);
        grid->addWidget(spacing, 4, 0, 1, 2);
        line_type_ = new QComboBox;
        for (const char* label : forms::line_type_labels())
            line_type_->addItem(QString::fromUtf8(label));
        line_type_->setCurrentIndex(form_.line_type);
        grid->addWidget(buddy(QStringLiteral("線種(&Y)"), line_type_), 5, 0);
        grid->addWidget(line_type_, 5, 1);
        width_ = edit(form_.width);
        pitch_ = edit(form_.pitch);
        grid->addWidget(buddy(QStringLiteral("線幅(&W)"), width_), 6, 0);
        grid->addWidget(width_, 6, 1);
        grid->addWidget(buddy(QStringLiteral("ﾋﾟｯﾁ(&I)"), pitch_), 7, 0);
        grid->addWidget(pitch_, 7, 1);
        colour_ = new ColourButton(QStringLiteral("色(&C)"), form_.color);
        colour_->setAutoDefault(false);
        grid->addWidget(colour_, 8, 0, 1, 2);
        count_out_ = new QCheckBox(QStringLiteral("グラフ描画範囲外を考慮(&Q)"));
        count_out_->setChecked(form_.count_out_area);
        count_out_->setEnabled(form_.count_out_enabled);
        grid->addWidget(count_out_, 9, 0, 1, 2);
        auto* save = new QPushButton(QStringLiteral("保存(&V)"));
        save->setAutoDefault(false);
        save->setEnabled(store != nullptr);
        grid->addWidget(save, 10, 1);
        grid->setRowStretch(11, 1);
        connect(save, &QPushButton::clicked, this, [this, store] { take().save(*store); });
    }
    const forms::CurveForm& take() {
        form_.from = s(from_);
        form_.to = s(to_);
        form_.division = s(division_);
        form_.spacing = std::max(0, group_->checkedId());
        form_.line_type = line_type_->currentIndex();
        form_.width = s(width_);
        form_.pitch = s(pitch_);
        form_.color = colour_->colour();
        form_.count_out_area = count_out_->isChecked();
        return form_;
    }

private:
    forms::CurveForm form_;
    QLineEdit *from_, *to_, *division_, *width_, *pitch_;
    QButtonGroup* group_;
    QComboBox* line_type_;
    ColourButton* colour_;
    QCheckBox* count_out_;
};

// The function page (SET_USERFUNCTION1).
class FunctionPage : public QWidget {
public:
    FunctionPage(const FitFunction& own, SettingsStore* store, const QString& name)
        : own_(own), store_(store) {
        form_.load(own);
        auto* grid = new QGridLayout(this);
        grid->addWidget(new QLabel(name), 0, 0, 1, 4);
        function_ = edit(form_.function, 1023);
        function_->setObjectName("function");
        grid->addWidget(buddy(QStringLiteral("f(x)="), function_), 1, 0);
        grid->addWidget(function_, 1, 1, 1, 3);
        history_ = new QScrollBar(Qt::Vertical);
        history_->setRange(0, 5);
        history_->setPageStep(1);
        history_->setEnabled(store != nullptr);
        grid->addWidget(history_, 1, 4);
        for (size_t k = 0; k < 9; ++k) {
            const QChar letter(QLatin1Char(static_cast<char>('a' + k)));
            free_[k] = new QCheckBox(QStringLiteral("&%1=").arg(letter));
            free_[k]->setChecked(form_.free[k]);
            initial_[k] = edit(form_.initial[k]);
            derivative_[k] = edit(form_.derivatives[k], 1023);
            const int row = 2 + static_cast<int>(k);
            grid->addWidget(free_[k], row, 0);
            grid->addWidget(initial_[k], row, 1);
            grid->addWidget(buddy(QStringLiteral("df/d%1=").arg(letter), derivative_[k]), row, 2);
            grid->addWidget(derivative_[k], row, 3);
        }
        tolerance_ = edit(form_.tolerance);
        grid->addWidget(buddy(QStringLiteral("許容誤差(%)"), tolerance_), 11, 0);
        grid->addWidget(tolerance_, 11, 1);
        auto* save = new QPushButton(QStringLiteral("保存(&V)"));
        save->setAutoDefault(false);
        save->setEnabled(store != nullptr);
        grid->addWidget(save, 11, 3);
        connect(save, &QPushButton::clicked, this, [this] {
            take();
            write_history();
        });
        connect(history_, &QScrollBar::valueChanged, this, [this](int position) {
            take();
            form_.browse(position, own_, *store_);
            show_values();
        });
    }
    const forms::UserFunctionForm& take() {
        form_.function = s(function_);
        for (size_t k = 0; k < 9; ++k) {
            form_.free[k] = free_[k]->isChecked();
            form_.initial[k] = s(initial_[k]);
            form_.derivatives[k] = s(derivative_[k]);
        }
        form_.tolerance = s(tolerance_);
        return form_;
    }
    void write_history() {
        if (store_) write_function_history(*store_, form_.block());
    }

private:
    void show_values() {
        function_->setText(q(form_.function));
        for (size_t k = 0; k < 9; ++k) {
            initial_[k]->setText(q(form_.initial[k]));
            derivative_[k]->setText(q(form_.derivatives[k]));
        }
    }

    forms::UserFunctionForm form_;
    FitFunction own_;
    SettingsStore* store_;
    QLineEdit *function_, *tolerance_;
    QScrollBar* history_;
    std::array<QCheckBox*, 9> free_{};
    std::array<QLineEdit*, 9> initial_{}, derivative_{};
};

QDialogButtonBox* sheet_buttons(QDialog& dialog, bool with_apply) {
    auto flags = QDialogButtonBox::Ok | QDialogButtonBox::Cancel;
    if (with_apply) flags |= QDialogButtonBox::Apply;
    auto* box = new QDialogButtonBox(flags);
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    if (with_apply) box->button(QDialogButtonBox::Apply)->setText(QStringLiteral("適用"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

} // namespace

bool run_least_squares_sheet(QWidget* parent, const Series& series, int fit_kind,
                             SettingsStore* store, const QString& name, const SeriesApply& apply) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("最小二乗の条件"));
    dialog.setObjectName("LSQ_SHEET");
    auto* tabs = new QTabWidget;
    ConditionsPage* conditions = nullptr;
    FunctionPage* function = nullptr;
    if (fit_kind == kind::General) {
        function = new FunctionPage(series.fit.value_or(FitFunction{}), store, name);
        tabs->addTab(function, QStringLiteral("関数"));
    } else {
        forms::LsqConditionsForm form;
        form.load(series, fit_kind);
        conditions = new ConditionsPage(form, store, name);
        tabs->addTab(conditions, QStringLiteral("適用条件"));
    }
    forms::CurveForm curve_form;
    curve_form.load(series, true);
    auto* curve = new CurvePage(curve_form, store, name);
    tabs->addTab(curve, QStringLiteral("曲線"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(tabs);
    QDialogButtonBox* box = sheet_buttons(dialog, true);
    layout->addWidget(box);

    bool applied = false;
    auto take = [&] {
        Series edited = series;
        if (conditions) conditions->take().apply(edited);
        if (function) {
            FitFunction block = function->take().block();
            edited.fit = block;
        }
        curve->take().apply(edited);
        apply(edited);
        applied = true;
    };
    QObject::connect(box->button(QDialogButtonBox::Apply), &QPushButton::clicked, &dialog, take);
    if (dialog.exec() == QDialog::Accepted) take();
    return applied;
}

bool run_curve_dialog(QWidget* parent, Series& series, bool count_out_enabled, SettingsStore* store,
                      const QString& name) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("曲線の設定"));
    dialog.setObjectName("LSQ_DIALOG2");
    forms::CurveForm form;
    form.load(series, count_out_enabled);
    auto* page = new CurvePage(form, store, name);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(page);
    layout->addWidget(sheet_buttons(dialog, false));
    if (dialog.exec() != QDialog::Accepted) return false;
    page->take().apply(series);
    return true;
}

void register_series_curve_page(std::function<SettingsStore*()> store) {
    series_pages().add(kind::AnalysisPage, QStringLiteral("曲線"),
                       [store](const Graph&, int, Series& edited) -> std::optional<SeriesPage> {
                           forms::CurveForm form;
                           form.load(edited, edited.kind != kind::Function);
                           const QString name = q(forms::series_entry_text(edited, utf8_of));
                           auto* page = new CurvePage(form, store ? store() : nullptr, name);
                           page->setObjectName(QStringLiteral("LSQ_DIALOG2"));
                           return SeriesPage{page, [page](Series& s) { page->take().apply(s); }};
                       });
}

void show_results_dialog(QWidget* parent, const QString& caption, const QString& name,
                         const std::vector<std::string>& lines,
                         const std::function<void()>& on_new) {
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setObjectName("INFORMATIONDIALOG");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(name));
    auto* list = new QListWidget;
    for (const std::string& line : lines)
        list->addItem(q(line));
    list->setMinimumWidth(320);
    layout->addWidget(list);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("&OK"));
    auto* copy = new QPushButton(QStringLiteral("COPY to Clipboard"));
    auto* renew = new QPushButton(QStringLiteral("&New"));
    ok->setDefault(true);
    copy->setAutoDefault(false);
    renew->setAutoDefault(false);
    renew->setEnabled(static_cast<bool>(on_new));
    row->addWidget(ok);
    row->addWidget(copy);
    row->addWidget(renew);
    layout->addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(copy, &QPushButton::clicked, &dialog, [&lines] {
        QApplication::clipboard()->setText(q(forms::results_clipboard_text(lines)));
    });
    QObject::connect(renew, &QPushButton::clicked, &dialog, [&on_new, renew] {
        if (on_new) on_new();
        renew->setEnabled(false);
    });
    ok->setFocus();
    dialog.exec();
}

namespace {

// Closing from the window's system menu takes the values too.
class ConstantsDialog : public QDialog {
public:
    using QDialog::QDialog;
    bool closed = false;

protected:
    void closeEvent(QCloseEvent* e) override {
        closed = true;
        QDialog::closeEvent(e);
    }
};

} // namespace

bool run_user_constants_dialog(QWidget* parent, Graph& graph) {
    ConstantsDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("定数の設定"));
    dialog.setObjectName("SET_USERCONSTANT");
    forms::UserConstantsForm form;
    form.load(graph);
    auto* grid = new QGridLayout(&dialog);
    std::array<QLineEdit*, 9> edits{};
    for (size_t k = 0; k < 9; ++k) {
        edits[k] = edit(form.values[k]);
        const QChar letter(QLatin1Char(static_cast<char>('a' + k)));
        grid->addWidget(buddy(QStringLiteral("&%1=").arg(letter), edits[k]), static_cast<int>(k),
                        0);
        grid->addWidget(edits[k], static_cast<int>(k), 1);
    }
    QDialogButtonBox* box = sheet_buttons(dialog, false);
    grid->addWidget(box, 9, 0, 1, 2);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (!ok && !dialog.closed) return false;
    for (size_t k = 0; k < 9; ++k)
        form.values[k] = s(edits[k]);
    form.apply(graph);
    return true;
}

QColor to_qcolor(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t from_qcolor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

bool choose_colour(QWidget* parent, int32_t& colour) {
    const auto custom = forms::custom_colours(colour);
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, to_qcolor(custom[static_cast<size_t>(i)]));
    const QColor chosen = QColorDialog::getColor(to_qcolor(colour), parent);
    if (!chosen.isValid()) return false;
    colour = from_qcolor(chosen);
    return true;
}

} // namespace plox::dialogs
