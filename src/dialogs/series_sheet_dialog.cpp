// The series sheet's pages.
#include "dialogs/series_sheet_dialog.h"

#include "dialogs/series_sample.h"
#include "forms/series_chooser.h"
#include "settings/store.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

namespace plox::dialogs {

void SeriesPageRegistry::add(int32_t kinds, const QString& title, SeriesPageFactory factory) {
    entries_.insert(entries_.begin(), Entry{kinds, title, std::move(factory)});
}

const SeriesPageRegistry::Entry* SeriesPageRegistry::find(int32_t kind) const {
    for (const Entry& e : entries_)
        if ((e.kinds & kind) != 0 && e.factory) return &e;
    return nullptr;
}

SeriesPageRegistry& series_pages() {
    static SeriesPageRegistry registry;
    return registry;
}

namespace {

// The first lines of a data file for the preview.
QString preview_of(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray head;
    for (int i = 0; i < 30 && !file.atEnd(); ++i)
        head += file.readLine(4096);
    return from_bytes(head.toStdString());
}

// The plot page's fields in Tab order: the style rows, then the two value transforms.
struct PlotControls {
    QComboBox *plot_type, *line_type;
    ColourButton *marker, *fill, *line;
    QLineEdit *size, *width, *pitch;
    QComboBox* brush;
    QCheckBox *x_on, *y_on;
    QComboBox *x_text, *y_text;

    PlotControls(QGridLayout* grid, const forms::SeriesPlotPage& p, SettingsStore* store) {
        plot_type = plot_type_list(p.plot_type);
        plot_type->setObjectName(QStringLiteral("plotType"));
        add_labelled(grid, 0, 0, QStringLiteral("ﾌﾟﾛｯﾄﾀｲﾌﾟ(&P)"), plot_type);
        line_type = line_type_list(p.line_type);
        add_labelled(grid, 1, 0, QStringLiteral("線種(&L)"), line_type);
        marker = new ColourButton(QStringLiteral("ﾄﾞｯﾄ色(&D)"), p.marker_colour);
        marker->setObjectName(QStringLiteral("markerColour"));
        fill = new ColourButton(QStringLiteral("中塗色"), p.fill_colour);
        line = new ColourButton(QStringLiteral("線色"), p.line_colour);
        auto* colours = new QHBoxLayout;
        for (QPushButton* b : {static_cast<QPushButton*>(marker), static_cast<QPushButton*>(fill),
                               static_cast<QPushButton*>(line)}) {
            b->setAutoDefault(false);
            colours->addWidget(b);
        }
        grid->addLayout(colours, 2, 0, 1, 2);
        size = add_edit(grid, 3, 0, QStringLiteral("ｻｲｽﾞ(&S)"), p.size, 10);
        width = add_edit(grid, 4, 0, QStringLiteral("線幅(&W)"), p.width, 10);
        pitch = add_edit(grid, 5, 0, QStringLiteral("ﾋﾟｯﾁ(&I)"), p.pitch, 10);
        brush = new QComboBox;
        brush->addItems({QStringLiteral("中塗"), QStringLiteral("中空"), QStringLiteral("ﾊｯﾁ1"),
                         QStringLiteral("ﾊｯﾁ2"), QStringLiteral("ﾊｯﾁ3"), QStringLiteral("ﾊｯﾁ4"),
                         QStringLiteral("ﾊｯﾁ5"), QStringLiteral("ﾊｯﾁ6")});
        brush->setCurrentIndex(p.fill);
        add_labelled(grid, 6, 0, QStringLiteral("ﾄﾞｯﾄのﾌﾞﾗｼ(&H)"), brush);
        std::tie(x_on, x_text) = transform_row(grid, 7, QStringLiteral("&X値変換"), p.x_transform,
                                               p.x_expression, store, false);
        std::tie(y_on, y_text) = transform_row(grid, 8, QStringLiteral("&Y値変換"), p.y_transform,
                                               p.y_expression, store, true);
    }

    // A check box and an editable list of the expressions used before.
    static std::pair<QCheckBox*, QComboBox*> transform_row(QGridLayout* grid, int row,
                                                           const QString& label, bool on,
                                                           const std::string& text,
                                                           SettingsStore* store, bool y) {
        auto* check = new QCheckBox(label);
        check->setChecked(on);
        auto* box = new QComboBox;
        box->setEditable(true);
        if (store)
            for (const std::string& e : forms::read_transform_history(*store, y))
                box->addItem(from_bytes(e));
        box->setCurrentText(from_bytes(text));
        box->lineEdit()->setMaxLength(static_cast<int>(EXPRESSION_CAPACITY) - 1);
        grid->addWidget(check, row, 0);
        grid->addWidget(box, row, 1);
        return {check, box};
    }

    void read(forms::SeriesPlotPage& f) const {
        f.plot_type = plot_type_of(plot_type);
        f.line_type = line_type->currentIndex();
        f.marker_colour = marker->colour();
        f.fill_colour = fill->colour();
        f.line_colour = line->colour();
        f.size = us(size->text());
        f.width = us(width->text());
        f.pitch = us(pitch->text());
        f.fill = brush->currentIndex();
        f.x_transform = x_on->isChecked();
        f.y_transform = y_on->isChecked();
        f.x_expression = to_bytes(x_text->currentText());
        f.y_expression = to_bytes(y_text->currentText());
    }
};

} // namespace

SeriesSheetDialog::SeriesSheetDialog(const Graph& graph, int index,
                                     const SeriesSheetContext& context, QWidget* parent)
    : PropertySheet(QStringLiteral("Property"), parent), context_(context),
      edited_(graph.series[static_cast<size_t>(index)]) {
    setObjectName(QStringLiteral("SeriesSheet"));
    form_.load(edited_);
    tabs()->addTab(file_page(), QStringLiteral("ﾌｧｲﾙ"));
    tabs()->addTab(plot_page(), QStringLiteral("ﾌﾟﾛｯﾄ"));
    tabs()->addTab(reading_page(), QStringLiteral("高度"));
    if ((edited_.kind & kind::AnalysisPage) != 0)
        if (const auto* entry = series_pages().find(edited_.kind))
            if (auto page = entry->factory(graph, index, edited_); page && page->widget) {
                tabs()->addTab(page->widget, entry->title);
                if (page->apply) extra_.push_back(page->apply);
            }
    tabs()->setCurrentIndex(forms::first_series_page(edited_));
}

void SeriesSheetDialog::collect() {
    for (auto& c : collect_)
        c();
}

const Series& SeriesSheetDialog::result() {
    collect();
    form_.apply(edited_);
    for (auto& apply : extra_)
        apply(edited_);
    return edited_;
}

QWidget* SeriesSheetDialog::standard_page(const QString& name, forms::SeriesGroup group,
                                          QWidget* body) {
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    auto* line = new QLabel(qs(forms::series_entry_text(edited_, utf8_of)));
    name_lines_.push_back(line);
    layout->addWidget(line);
    layout->addWidget(body, 1);
    auto* buttons = new QHBoxLayout;
    auto* common = new QPushButton(QStringLiteral("共通保存(&V)"));
    auto* own = new QPushButton(QStringLiteral("保存"));
    auto* browse_button = new QPushButton(QStringLiteral("参照(&B)"));
    for (QPushButton* b : {common, own, browse_button}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    common->setEnabled(context_.store != nullptr);
    own->setEnabled(context_.store != nullptr);
    auto save = [this, group](bool to_common) {
        collect();
        Series values = edited_;
        form_.apply(values);
        forms::save_series_group(*context_.store, values, group, to_common);
    };
    connect(common, &QPushButton::clicked, this, [save] { save(true); });
    connect(own, &QPushButton::clicked, this, [save] { save(false); });
    connect(browse_button, &QPushButton::clicked, this, &SeriesSheetDialog::browse);
    return page;
}

void SeriesSheetDialog::browse() {
    const QString start = QFileInfo(QString::fromStdString(edited_.file_name)).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("参照するファイル"),
                                                      start, QStringLiteral("すべてのﾌｧｲﾙ (*)"));
    activateWindow();
    if (path.isEmpty()) return;
    set_text(edited_.file_name, path.toStdString(), PATH_CAPACITY);
    for (QLabel* l : name_lines_)
        l->setText(qs(forms::series_entry_text(edited_, utf8_of)));
}

QWidget* SeriesSheetDialog::file_page() {
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto& f = form_.file;
    auto* shown = new QCheckBox(QStringLiteral("表示"));
    shown->setChecked(f.shown);
    grid->addWidget(shown, 0, 0, 1, 2);
    auto* converter = new QComboBox;
    converter->addItem(QStringLiteral("なし"));
    for (const std::string& name : context_.converters)
        converter->addItem(from_bytes(name));
    if (f.converter >= converter->count()) converter->addItem(QString::number(f.converter));
    converter->setCurrentIndex(f.converter);
    add_labelled(grid, 1, 0, QStringLiteral("Converter"), converter);
    auto columns = [](int entry) {
        auto* list = new QComboBox;
        list->addItem(QStringLiteral("Numbering"));
        for (int i = 1; i < forms::COLUMN_ENTRIES; ++i)
            list->addItem(QString::number(i));
        list->setCurrentIndex(entry);
        return list;
    };
    auto* x = columns(f.column_x);
    auto* y = columns(f.column_y);
    x->setObjectName(QStringLiteral("columnX"));
    y->setObjectName(QStringLiteral("columnY"));
    add_labelled(grid, 2, 0, QStringLiteral("&X(U)軸 Column"), x);
    add_labelled(grid, 3, 0, QStringLiteral("&Y(R)軸 Column"), y);
    auto error_group = [&](const QString& title, int value, int row) {
        auto* box = new QGroupBox(title);
        auto* l = new QHBoxLayout(box);
        auto* group = new QButtonGroup(box);
        const QString names[] = {QStringLiteral("なし"), QStringLiteral("Error Bar (+,+)"),
                                 QStringLiteral("Error Bar (+/-)")};
        for (int i = 0; i < 3; ++i) {
            auto* b = new QRadioButton(names[i]);
            group->addButton(b, i);
            l->addWidget(b);
        }
        group->button(value)->setChecked(true);
        grid->addWidget(box, row, 0, 1, 2);
        return group;
    };
    auto* error_x = error_group(QStringLiteral("X"), f.error_x, 4);
    auto* error_y = error_group(QStringLiteral("Y"), f.error_y, 5);
    auto* preview = new QPlainTextEdit(preview_of(edited_.file_name));
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview->setTabChangesFocus(true);
    grid->addWidget(preview, 6, 0, 1, 2);
    collect_.push_back([=, this] {
        auto& p = form_.file;
        p.shown = shown->isChecked();
        p.converter = converter->currentIndex();
        p.column_x = x->currentIndex();
        p.column_y = y->currentIndex();
        p.error_x = std::max(error_x->checkedId(), 0);
        p.error_y = std::max(error_y->checkedId(), 0);
    });
    return standard_page(QStringLiteral("UPDATEDIALOG1"), forms::SeriesGroup::Columns, body);
}

QWidget* SeriesSheetDialog::plot_page() {
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    const PlotControls c(grid, form_.plot, context_.store);
    sample_ = new QLabel;
    grid->addWidget(sample_, 0, 2, 3, 1);

    auto read = [c, this] { c.read(form_.plot); };
    collect_.push_back(read);
    refresh_sample_ = [this, read] {
        read();
        Series s = edited_;
        form_.plot.apply(s);
        sample_->setPixmap(series_sample(s, 96, 32));
    };
    refresh_sample_();
    for (QComboBox* box : {c.plot_type, c.line_type, c.brush})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { refresh_sample_(); });
    for (QLineEdit* e : {c.size, c.width, c.pitch})
        connect(e, &QLineEdit::editingFinished, this, [this] { refresh_sample_(); });
    for (ColourButton* b : {c.marker, c.fill, c.line})
        connect(b, &QPushButton::clicked, this, [this] { refresh_sample_(); });
    return standard_page(QStringLiteral("UPDATEDIALOG2"), forms::SeriesGroup::Style, body);
}

QWidget* SeriesSheetDialog::reading_page() {
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto& r = form_.reading;
    auto* start = add_edit(grid, 0, 0, QStringLiteral("先頭ｽｷｯﾌ&S)"), r.start, 10);
    auto* end = add_edit(grid, 1, 0, QStringLiteral("読込行数"), r.end, 10);
    auto* step = add_edit(grid, 2, 0, QStringLiteral("読込ｽﾃｯﾌﾟ行数"), r.step, 10);
    auto* skip = new QCheckBox(QStringLiteral("コメント行などはカウントしない(&M)"));
    skip->setChecked(r.skip_comment);
    auto* absolute = new QCheckBox(QStringLiteral("読込行数は絶対指定"));
    absolute->setChecked(r.absolute_lines);
    auto* tab = new QCheckBox(QStringLiteral("&TABをｽﾍﾟｰｽと同一視"));
    tab->setChecked(r.tab_as_space);
    grid->addWidget(skip, 3, 0, 1, 2);
    grid->addWidget(absolute, 4, 0, 1, 2);
    grid->addWidget(tab, 5, 0, 1, 2);
    auto* x_avr = add_edit(grid, 6, 0, QStringLiteral("横隣接平均"), r.x_average, 10);
    auto* y_avr = add_edit(grid, 7, 0, QStringLiteral("縦隣接平均"), r.y_average, 10);
    auto* bar = add_edit(grid, 8, 0, QStringLiteral("棒グラフ始点"), r.bar_bottom, 39);
    auto axis_choice = [&](const QString& label, const QString& a, const QString& b, bool second,
                           int row) {
        auto* list = new QComboBox;
        list->addItems({a, b});
        list->setCurrentIndex(second ? 1 : 0);
        add_labelled(grid, row, 0, label, list);
        return list;
    };
    auto* x_axis = axis_choice(QStringLiteral("&X 参照軸"), QStringLiteral("X"),
                               QStringLiteral("U"), r.up_axis, 9);
    auto* y_axis = axis_choice(QStringLiteral("&Y 参照軸"), QStringLiteral("Y"),
                               QStringLiteral("R"), r.right_axis, 10);
    grid->setRowStretch(11, 1);
    collect_.push_back([=, this] {
        auto& f = form_.reading;
        f.start = us(start->text());
        f.end = us(end->text());
        f.step = us(step->text());
        f.skip_comment = skip->isChecked();
        f.absolute_lines = absolute->isChecked();
        f.tab_as_space = tab->isChecked();
        f.x_average = us(x_avr->text());
        f.y_average = us(y_avr->text());
        f.bar_bottom = us(bar->text());
        f.up_axis = x_axis->currentIndex() == 1;
        f.right_axis = y_axis->currentIndex() == 1;
    });
    return standard_page(QStringLiteral("UPDATEDIALOG3"), forms::SeriesGroup::Reading, body);
}

bool edit_series(QWidget* parent, const Graph& graph, int index, const SeriesSheetContext& context,
                 const std::function<void(const Series&)>& apply) {
    if (index < 0 || index >= std::min(graph.series_count, MAX_SERIES)) return false;
    SeriesSheetDialog dialog(graph, index, context, parent);
    dialog.set_apply([&] { apply(dialog.result()); });
    return run_dialog(dialog) == QDialog::Accepted || dialog.applied();
}

} // namespace plox::dialogs
