// Qt views of the mask list, trimming, value reading and settings forms.
#include "dialogs/data_tools_qt.h"

#include "dialogs/fit_dialogs_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdio>

namespace plox::dialogs {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString g_text(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return QString::fromLatin1(buf);
}

QString e_text(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%6.4e", v);
    return QString::fromLatin1(buf);
}

QDialogButtonBox* ok_cancel(QDialog& dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

} // namespace

bool run_mask_list_dialog(QWidget* parent, const Graph& graph,
                          const std::function<void(int)>& remove) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Data Mask の選択"));
    dialog.setObjectName("MASKDIALOG");
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Xmin"), QStringLiteral("Xmax"),
                           QStringLiteral("Ymin"), QStringLiteral("Ymax")});
    list->setMinimumWidth(420);
    auto fill = [&] {
        list->clear();
        for (int m = 0; m < std::clamp(graph.mask_count, 0, MAX_MASKS); ++m) {
            const Mask& mask = graph.masks[static_cast<size_t>(m)];
            auto* item = new QTreeWidgetItem(list);
            item->setText(0,
                          mask.series == 0 ? QStringLiteral("All") : QString::number(mask.series));
            for (int c = 0; c < 4; ++c)
                item->setText(c + 1, g_text(mask.area[static_cast<size_t>(c)]));
        }
        if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    };
    fill();
    layout->addWidget(list);
    auto* row = new QHBoxLayout;
    auto* remove_button = new QPushButton(QStringLiteral("削除(&D)"));
    auto* new_button = new QPushButton(QStringLiteral("新規(&N)"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    new_button->setDefault(true);
    row->addWidget(remove_button);
    row->addWidget(new_button);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(remove_button, &QPushButton::clicked, &dialog, [&] {
        const int index = list->indexOfTopLevelItem(list->currentItem());
        if (index < 0) return;
        remove(index);
        fill();
    });
    QObject::connect(new_button, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted;
}

bool run_trimming_dialog(QWidget* parent, TrimmingForm& form) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("スケールの設定"));
    dialog.setObjectName("SET_TRIMING");
    auto* grid = new QGridLayout(&dialog);
    const QString names[4] = {QStringLiteral("&X"), QStringLiteral("&Y"), QStringLiteral("&U"),
                              QStringLiteral("&R")};
    std::array<QCheckBox*, 4> use{};
    std::array<QLineEdit*, 4> first{}, second{};
    for (size_t a = 0; a < 4; ++a) {
        const int row = static_cast<int>(a);
        use[a] = new QCheckBox(names[a]);
        use[a]->setChecked(form.use[a]);
        first[a] = new QLineEdit(q(form.first[a]));
        second[a] = new QLineEdit(q(form.second[a]));
        grid->addWidget(use[a], row, 0);
        grid->addWidget(first[a], row, 1);
        grid->addWidget(second[a], row, 2);
    }
    auto* sort = new QCheckBox(QStringLiteral("Auto Sort"));
    sort->setChecked(form.auto_sort);
    grid->addWidget(sort, 4, 0, 1, 3);
    grid->addWidget(ok_cancel(dialog), 5, 0, 1, 3);
    if (dialog.exec() != QDialog::Accepted) return false;
    for (size_t a = 0; a < 4; ++a) {
        form.use[a] = use[a]->isChecked();
        form.first[a] = first[a]->text().toStdString();
        form.second[a] = second[a]->text().toStdString();
    }
    form.auto_sort = sort->isChecked();
    return true;
}

namespace {

// The wheel moves the cursor by one point.
class ReadValueDialog : public QDialog {
public:
    std::function<void(int)> wheel;

protected:
    void wheelEvent(QWheelEvent* e) override {
        const int steps = e->angleDelta().y();
        if (steps != 0 && wheel) wheel(steps > 0 ? -1 : 1);
        e->accept();
    }
};

} // namespace

void run_read_value_dialog(QWidget* parent, const QString& title, ValueReader& reader,
                           const std::function<void()>& moved) {
    ReadValueDialog dialog;
    dialog.setParent(parent, Qt::Dialog);
    dialog.setWindowTitle(title);
    dialog.setObjectName("READ_DATA");
    auto* grid = new QGridLayout(&dialog);
    auto* x = new QLabel;
    auto* y = new QLabel;
    auto* number = new QLabel;
    auto* avr_x = new QLabel;
    auto* avr_y = new QLabel;
    for (QLabel* l : {x, y, number, avr_x, avr_y}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumWidth(110);
    }
    grid->addWidget(new QLabel(QStringLiteral("X値:")), 0, 0);
    grid->addWidget(x, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Y値:")), 1, 0);
    grid->addWidget(y, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("No.")), 0, 3);
    grid->addWidget(number, 0, 4);
    const std::pair<const char*, int> moves[6] = {{"<<<", -100}, {"<<", -10}, {"<", -1},
                                                  {">", 1},      {">>", 10},  {">>>", 100}};
    auto show = [&] {
        x->setText(e_text(reader.x()));
        y->setText(e_text(reader.y()));
        number->setText(QString::number(reader.number()));
        if (moved) moved();
    };
    auto step = [&](int points) {
        reader.move(points);
        show();
    };
    dialog.wheel = step;
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(moves[i].first));
        b->setAutoDefault(false);
        const int points = moves[i].second;
        QObject::connect(b, &QPushButton::clicked, &dialog, [&step, points] { step(points); });
        grid->addWidget(b, 2, i);
    }
    auto* mark = new QPushButton(QStringLiteral("&Mark"));
    auto* average = new QPushButton(QStringLiteral("&Average"));
    auto* close = new QPushButton(QStringLiteral("&Close"));
    mark->setAutoDefault(false);
    average->setAutoDefault(false);
    average->setEnabled(false);
    close->setDefault(true);
    grid->addWidget(mark, 3, 0);
    grid->addWidget(average, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("avr(x):")), 3, 2);
    grid->addWidget(avr_x, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("avr(y):")), 4, 2);
    grid->addWidget(avr_y, 4, 3);
    grid->addWidget(close, 4, 5);
    QObject::connect(mark, &QPushButton::clicked, &dialog, [&] {
        reader.set_mark();
        average->setEnabled(true);
    });
    QObject::connect(average, &QPushButton::clicked, &dialog, [&] {
        const auto avg = reader.average();
        avr_x->setText(avg ? e_text(avg->first) : QString());
        avr_y->setText(avg ? e_text(avg->second) : QString());
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    show();
    dialog.exec();
}

bool run_settings_dialog(QWidget* parent, forms::SettingsForm& form) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("設定"));
    dialog.setObjectName("SETTING_DIALOG");
    auto* grid = new QGridLayout(&dialog);
    UserConfig& c = form.config;
    int row = 0;
    auto line = [&](const QString& label, const std::string& text) {
        auto* e = new QLineEdit(q(text));
        auto* l = new QLabel(label);
        l->setBuddy(e);
        grid->addWidget(l, row, 0);
        grid->addWidget(e, row++, 1, 1, 2);
        return e;
    };
    auto check = [&](const QString& label, int32_t value) {
        auto* b = new QCheckBox(label);
        b->setChecked(value != 0);
        grid->addWidget(b, row++, 0, 1, 3);
        return b;
    };
    QLineEdit* ext = line(QStringLiteral("ﾜｲﾙﾄﾞｶｰﾄﾞ(&W)"), c.UserExt);
    ext->setMaxLength(259);
    auto* snap = new QComboBox;
    for (const char* s : forms::SNAP_LABELS)
        snap->addItem(QString::fromUtf8(s));
    snap->setCurrentIndex(form.snap_index);
    auto* snap_label = new QLabel(QStringLiteral("ｽﾅｯﾌﾟ(&N)"));
    snap_label->setBuddy(snap);
    grid->addWidget(snap_label, row, 0);
    grid->addWidget(snap, row++, 1);
    auto* grid_list = new QComboBox;
    for (const char* s : forms::GRID_LABELS)
        grid_list->addItem(QString::fromUtf8(s));
    grid_list->setCurrentIndex(form.grid_index);
    auto* grid_label = new QLabel(QStringLiteral("ｸﾞﾘｯﾄﾞ表示(&G)"));
    grid_label->setBuddy(grid_list);
    grid->addWidget(grid_label, row, 0);
    grid->addWidget(grid_list, row++, 1);
    QCheckBox* clipping = check(QStringLiteral("クリッピングする(&P)"), c.Clipping);
    QCheckBox* with_data = check(QStringLiteral("&Data を共に保存する"), c.WithData);
    QCheckBox* save_path =
        check(QStringLiteral("DataとQVP-fileのパスが同じ時,パスは保存しない"), c.SavePath);
    QLineEdit* sub_size = line(QStringLiteral("上付き、下付き文字ｻｲｽﾞ(%)"), form.subscript_size);
    QLineEdit* sub_pos = line(QStringLiteral("上付き文字位置(%)"), form.subscript_pos);
    QLineEdit* super_pos = line(QStringLiteral("下付き(%)"), form.superscript_pos);
    auto* screen = new QComboBox;
    screen->setEditable(true);
    for (const char* s : forms::SCREEN_SIZES)
        screen->addItem(QString::fromLatin1(s));
    screen->setEditText(q(form.screen_size));
    auto* screen_label = new QLabel(QStringLiteral("表示サイズ(%)"));
    screen_label->setBuddy(screen);
    grid->addWidget(screen_label, row, 0);
    grid->addWidget(screen, row++, 1);
    QLineEdit* editor = line(QStringLiteral("起動するｴﾃﾞｨﾀ(&E)"), c.Editor);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)"));
    browse->setAutoDefault(false);
    grid->addWidget(browse, row - 1, 3);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, editor] {
        const QString f =
            QFileDialog::getOpenFileName(&dialog, QString(), editor->text(), QStringLiteral("(*)"));
        if (!f.isEmpty()) editor->setText(f);
    });
    int32_t background = c.BkColor;
    int32_t read_colour = form.read_value_color;
    auto* bk = new QPushButton(QStringLiteral("背景色(&A)"));
    auto* rv = new QPushButton(QStringLiteral("&Read Value Color"));
    for (QPushButton* b : {bk, rv})
        b->setAutoDefault(false);
    QObject::connect(bk, &QPushButton::clicked, &dialog,
                     [&dialog, &background] { choose_colour(&dialog, background); });
    QObject::connect(rv, &QPushButton::clicked, &dialog,
                     [&dialog, &read_colour] { choose_colour(&dialog, read_colour); });
    grid->addWidget(bk, row, 0);
    grid->addWidget(rv, row++, 1);
    QCheckBox* toolbar = check(QStringLiteral("ツールバーを表示する(&T)"), c.ToolBar);
    QCheckBox* status = check(QStringLiteral("ステータスバーを表示する(&S)"), c.StatusBar);
    QCheckBox* first_dlg =
        check(QStringLiteral("起動時のﾌｧｲﾙｵｰﾌﾟﾝもﾌﾟﾛﾊﾟﾃｨを設定する"), c.FirstDlgOpen);
    QCheckBox* prior = check(QStringLiteral("テンポラリーファイルを優先"), c.PriorTemp);
    QCheckBox* dot_colour = check(QStringLiteral("ﾄﾞｯﾄ色を自動更新"), c.AutoDotColor);
    QCheckBox* line_colour = check(QStringLiteral("ﾗｲﾝ色を自動更新"), c.AutoLineColor);
    QCheckBox* dot_type = check(QStringLiteral("ﾄﾞｯﾄﾀｲﾌﾟを自動更新"), c.AutoDotType);
    QCheckBox* line_type = check(QStringLiteral("ﾗｲﾝﾀｲﾌﾟを自動更新"), c.AutoLineType);
    QCheckBox* bk_print = check(QStringLiteral("背景色は印刷時も有効"), c.EnableBkColor);
    QCheckBox* sort = check(QStringLiteral("ReadValueはsortする"), c.read_value_sort ? 1 : 0);
    grid->addWidget(ok_cancel(dialog), row++, 0, 1, 4);
    if (dialog.exec() != QDialog::Accepted) return false;

    c.UserExt = ext->text().toStdString();
    if (snap->currentIndex() >= 0) form.snap_index = snap->currentIndex();
    form.grid_index = grid_list->currentIndex();
    c.Clipping = clipping->isChecked();
    c.WithData = with_data->isChecked();
    c.SavePath = save_path->isChecked();
    form.subscript_size = sub_size->text().toStdString();
    form.subscript_pos = sub_pos->text().toStdString();
    form.superscript_pos = super_pos->text().toStdString();
    form.screen_size = screen->currentText().toStdString();
    c.Editor = editor->text().toStdString();
    c.BkColor = background;
    form.read_value_color = read_colour;
    c.ToolBar = toolbar->isChecked();
    c.StatusBar = status->isChecked();
    c.FirstDlgOpen = first_dlg->isChecked();
    c.PriorTemp = prior->isChecked();
    c.AutoDotColor = dot_colour->isChecked();
    c.AutoLineColor = line_colour->isChecked();
    c.AutoDotType = dot_type->isChecked();
    c.AutoLineType = line_type->isChecked();
    c.EnableBkColor = bk_print->isChecked();
    c.read_value_sort = sort->isChecked();
    return true;
}

} // namespace plox::dialogs
