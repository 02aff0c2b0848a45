// The axis sheet's pages.
#include "dialogs/axis_sheet_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace plox::dialogs {

AxisSheetDialog::AxisSheetDialog(const Graph& graph, int axis, const GraphSet* set, QWidget* parent)
    : PropertySheet(QString(), parent) {
    form_.load(graph, axis, set);
    setWindowTitle(qs(forms::axis_sheet_caption(form_.axis)));
    setObjectName(QStringLiteral("AxisSheet"));
    tabs()->addTab(range_page(), QStringLiteral("範囲"));
    tabs()->addTab(tick_page(), QStringLiteral("目盛"));
    tabs()->addTab(label_page(), QStringLiteral("目盛数字"));
}

const forms::AxisSheet& AxisSheetDialog::form() {
    for (auto& c : collect_)
        c();
    return form_;
}

QWidget* AxisSheetDialog::range_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_SCALE1"));
    auto* grid = new QGridLayout(page);
    auto& r = form_.range;
    auto* from = add_edit(grid, 0, 0, QStringLiteral("&From:"), r.from, 39);
    auto* to = add_edit(grid, 1, 0, QStringLiteral("&To:"), r.to, 39);
    auto* increment = add_edit(grid, 2, 0, QStringLiteral("&Increment:"), r.increment, 39);
    auto* division = add_edit(grid, 3, 0, QStringLiteral("&Division:"), r.division, 10);
    from->setObjectName(QStringLiteral("from"));
    to->setObjectName(QStringLiteral("to"));

    auto* types = new QGroupBox(QStringLiteral("Type"));
    auto* type_layout = new QVBoxLayout(types);
    auto* type_group = new QButtonGroup(page);
    const char* names[] = {"Linear", "Log10(指数)", "Inverse(逆数表示)", "Log10(通常)",
                           "Inverse(通常)"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(names[i]));
        b->setObjectName(QStringLiteral("type%1").arg(i));
        type_group->addButton(b, i);
        type_layout->addWidget(b);
    }
    type_group->button(r.scale_type)->setChecked(true);
    grid->addWidget(types, 4, 0, 1, 2);

    auto* draw = new QCheckBox(QStringLiteral("Draw"));
    draw->setChecked(r.draw);
    auto* auto_step = new QCheckBox(QStringLiteral("&Auto step"));
    auto_step->setChecked(r.auto_step);
    auto* common = new QCheckBox(qs(forms::common_label(form_.axis)));
    common->setChecked(r.common);
    common->setEnabled(form_.axis == AxisX || form_.axis == AxisY);
    auto* link = new QCheckBox(QStringLiteral("他のグラフとリンク"));
    link->setChecked(r.link);
    int row = 5;
    for (QWidget* w : {static_cast<QWidget*>(draw), static_cast<QWidget*>(auto_step),
                       static_cast<QWidget*>(common), static_cast<QWidget*>(link)})
        grid->addWidget(w, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);

    collect_.push_back([=, this] {
        auto& f = form_.range;
        f.from = us(from->text());
        f.to = us(to->text());
        f.increment = us(increment->text());
        f.division = us(division->text());
        f.scale_type = std::max(type_group->checkedId(), 0);
        f.draw = draw->isChecked();
        f.auto_step = auto_step->isChecked();
        f.common = common->isChecked();
        f.link = link->isChecked();
    });
    return page;
}

namespace {

// One group of tick controls; returns what reads them back.
std::function<void()> tick_group(QGridLayout* grid, int column, const QString& title,
                                 forms::TickFields& t) {
    auto* box = new QGroupBox(title);
    auto* g = new QGridLayout(box);
    auto* in = new QCheckBox(column == 0 ? QStringLiteral("&in") : QStringLiteral("in"));
    in->setChecked(t.in);
    auto* out = new QCheckBox(column == 0 ? QStringLiteral("&out") : QStringLiteral("out"));
    out->setChecked(t.out);
    g->addWidget(in, 0, 0);
    g->addWidget(out, 0, 1);
    auto* width = add_edit(g, 1, 0, QStringLiteral("線幅"), t.width, 10);
    auto* type = line_type_list(t.line_type);
    add_labelled(g, 2, 0, QStringLiteral("線種"), type);
    auto* pitch = add_edit(g, 3, 0, QStringLiteral("ﾋﾟｯﾁ"), t.pitch, 10);
    auto* length = add_edit(g, 4, 0, QStringLiteral("長さ"), t.length, 10);
    auto* colour =
        new ColourButton(column == 0 ? QStringLiteral("色(&C)") : QStringLiteral("色"), t.colour);
    g->addWidget(colour, 5, 0, 1, 2);
    grid->addWidget(box, 0, column);
    return [=, &t] {
        t.in = in->isChecked();
        t.out = out->isChecked();
        t.width = us(width->text());
        t.line_type = type->currentIndex();
        t.pitch = us(pitch->text());
        t.length = us(length->text());
        t.colour = colour->colour();
    };
}

} // namespace

QWidget* AxisSheetDialog::tick_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_SCALE2"));
    auto* grid = new QGridLayout(page);
    auto& t = form_.ticks;
    collect_.push_back(tick_group(grid, 0, QStringLiteral("主目盛"), t.major));
    collect_.push_back(tick_group(grid, 1, QStringLiteral("副目盛"), t.minor));

    auto* base = new QGroupBox(QStringLiteral("軸基線の限定描画"));
    base->setCheckable(true);
    base->setChecked(t.limited_base_line);
    auto* bg = new QGridLayout(base);
    bg->addWidget(new QLabel(QStringLiteral("描画範囲(%)")), 0, 0);
    auto* from = new QLineEdit(qs(t.base_from));
    auto* to = new QLineEdit(qs(t.base_to));
    bg->addWidget(from, 0, 1);
    bg->addWidget(to, 0, 2);
    grid->addWidget(base, 1, 0, 1, 2);

    auto* crossing = new QComboBox;
    crossing->addItem(QStringLiteral("おまかせ"));
    for (int i = 1; i <= 20; ++i)
        crossing->addItem(QString::number(i));
    crossing->setCurrentIndex(t.crossing);
    auto* cross_grid = new QGridLayout;
    add_labelled(cross_grid, 0, 0, QStringLiteral("交差位置(&R)"), crossing);
    grid->addLayout(cross_grid, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);

    collect_.push_back([=, this] {
        auto& f = form_.ticks;
        f.limited_base_line = base->isChecked();
        f.base_from = us(from->text());
        f.base_to = us(to->text());
        f.crossing = crossing->currentIndex();
    });
    return page;
}

QWidget* AxisSheetDialog::label_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_SCALE3"));
    auto* grid = new QGridLayout(page);
    auto& l = form_.labels;
    struct Box {
        const char* label;
        bool* value;
    };
    const Box boxes[] = {{"目盛数字を書く(&D)", &l.draw_labels},
                         {"0は他の軸と共通", &l.zero_shared},
                         {"0.0は0", &l.zero_as_0},
                         {"0は消さない(&Z)", &l.keep_zero},
                         {"+を追加する(&A)", &l.plus_sign},
                         {"はみ出た桁を書く", &l.overflow_digits},
                         {"Logの10^0,1は 1,10と表記", &l.log_decades_as_numbers}};
    int row = 0;
    for (const Box& b : boxes) {
        auto* check = new QCheckBox(QString::fromUtf8(b.label));
        check->setChecked(*b.value);
        grid->addWidget(check, row++, 0, 1, 4);
        bool* value = b.value;
        collect_.push_back([check, value] { *value = check->isChecked(); });
    }
    auto* face = new QComboBox;
    face->setEditable(true);
    face->addItems(QFontDatabase::families());
    face->setCurrentText(from_bytes(l.face));
    add_labelled(grid, row++, 0, QStringLiteral("フォント(&F)"), face);
    auto* size = add_edit(grid, row++, 0, QStringLiteral("サイズ(&S)"), l.size, 10);
    auto* style = new QComboBox;
    style->addItems({QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                     QStringLiteral("太字 斜体")});
    style->setCurrentIndex(std::clamp(l.style, 0, 3));
    add_labelled(grid, row++, 0, QStringLiteral("スタイル(&L)"), style);
    auto* colour = new ColourList(l.colour);
    add_labelled(grid, row++, 0, QStringLiteral("色(&C)"), colour);
    auto* shift = new QLabel(QStringLiteral("位置ｼﾌﾄ(&T)"));
    grid->addWidget(shift, row++, 0);
    auto* right = add_edit(grid, row++, 0, QStringLiteral("右(&R)"), l.shift_right, 10);
    shift->setBuddy(right);
    auto* down = add_edit(grid, row++, 0, QStringLiteral("下(&D)"), l.shift_down, 10);
    auto* start = add_edit(grid, row++, 0, QStringLiteral("目盛始め"), l.start, 10);
    auto* count = add_edit(grid, row++, 0, QStringLiteral("個数"), l.count, 10);
    auto* interval = add_edit(grid, row++, 0, QStringLiteral("間隔"), l.interval, 10);
    auto* integer = new QComboBox;
    auto* fraction = new QComboBox;
    for (int i = 0; i <= 10; ++i) {
        integer->addItem(QString::number(i));
        fraction->addItem(QString::number(i));
    }
    integer->setCurrentIndex(std::clamp(l.integer_digits, 0, 10));
    fraction->setCurrentIndex(std::clamp(l.fraction_digits, 0, 10));
    add_labelled(grid, row++, 0, QStringLiteral("桁数　整数部(&I)"), integer);
    add_labelled(grid, row++, 0, QStringLiteral("小数部"), fraction);
    grid->setRowStretch(row, 1);

    collect_.push_back([=, this] {
        auto& f = form_.labels;
        f.face = to_bytes(face->currentText()).substr(0, FACE_CAPACITY - 1);
        f.size = us(size->text());
        f.style = style->currentIndex();
        f.colour = colour->colour();
        f.shift_right = us(right->text());
        f.shift_down = us(down->text());
        f.start = us(start->text());
        f.count = us(count->text());
        f.interval = us(interval->text());
        f.integer_digits = integer->currentIndex();
        f.fraction_digits = fraction->currentIndex();
    });
    return page;
}

bool edit_axis(QWidget* parent, GraphSet& set, int graph, int axis,
               const std::function<void(const forms::AxisSheet&)>& apply) {
    if (graph < 0 || graph >= static_cast<int>(set.graphs.size())) return false;
    AxisSheetDialog dialog(*set.graphs[static_cast<size_t>(graph)], axis, &set, parent);
    dialog.set_apply([&] { apply(dialog.form()); });
    return run_dialog(dialog) == QDialog::Accepted || dialog.applied();
}

} // namespace plox::dialogs
