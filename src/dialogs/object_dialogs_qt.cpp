// The five object dialogs and the object manager on Qt; the rules live in forms/object_forms.
#include "dialogs/object_dialogs_qt.h"

#include "dialogs/object_dialog_parts.h"
#include "dialogs/sheet_widgets.h"
#include "editing/object_edit.h"
#include "platform/text_decoding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImageReader>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

namespace plox {

using namespace plox::dialogs;
using forms::ObjectAnswer;

namespace {

QComboBox* face_combo(const std::string& face, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->addItems(QFontDatabase::families());
    c->setCurrentText(decode_cp932(face));
    return c;
}

void finish(QDialog& d, QGridLayout* grid, AnswerButtons& buttons) {
    auto* v = new QVBoxLayout(&d);
    v->addLayout(grid);
    v->addLayout(buttons.row);
}

// The text dialog's fields, built in Tab order and read back into its form.
struct TextFields {
    QPlainTextEdit* text;
    QLineEdit *x, *y, *direction;
    QComboBox* faces[3];
    QLineEdit* size;
    QComboBox *style, *colour;
    QCheckBox* opaque;
    QButtonGroup* justify;

    TextFields(QDialog& d, QGridLayout* grid, const forms::TextForm& f) {
        text = new QPlainTextEdit(decode_cp932(f.text), &d);
        text->setTabChangesFocus(true);
        text->setMinimumWidth(380);
        text->setMaximumHeight(90);
        add_row(grid, 0, 0, QStringLiteral("文字列(&R)"), text);
        grid->addWidget(new QLabel(QStringLiteral("位置(mm)")), 1, 0);
        x = line_edit(f.x, &d);
        y = line_edit(f.y, &d);
        add_row(grid, 2, 0, QStringLiteral("&x"), x);
        add_row(grid, 3, 0, QStringLiteral("&y"), y);
        direction = line_edit(std::to_string(f.direction), &d);
        add_row(grid, 4, 0, QStringLiteral("描画方向(度)"), direction);
        const QString face_labels[3] = {QStringLiteral("英文フォント(&E)"),
                                        QStringLiteral("日本語フォント(&J)"),
                                        QStringLiteral("特殊文字")};
        for (int i = 0; i < 3; ++i) {
            faces[i] = face_combo(f.faces[i], &d);
            add_row(grid, 5 + i, 0, face_labels[i], faces[i]);
        }
        size = line_edit(std::to_string(f.size), &d);
        add_row(grid, 8, 0, QStringLiteral("サイズ(&S)"), size);
        style = new QComboBox(&d);
        style->addItems({QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                         QStringLiteral("太字 斜体")});
        style->setCurrentIndex(f.style & 3);
        add_row(grid, 9, 0, QStringLiteral("スタイル(&L)"), style);
        colour = colour_combo(f.color, &d);
        add_row(grid, 10, 0, QStringLiteral("色(&C)"), colour);
        opaque = new QCheckBox(QStringLiteral("背景の非透過(&T)"), &d);
        opaque->setChecked(f.opaque);
        grid->addWidget(opaque, 11, 1);
        justify = new QButtonGroup(&d);
        auto* row = new QHBoxLayout;
        const QString names[3] = {QStringLiteral("左揃え"), QStringLiteral("中央揃え"),
                                  QStringLiteral("右揃え")};
        for (int i = 0; i < 3; ++i) {
            auto* r = new QRadioButton(names[i], &d);
            r->setChecked(f.justify == i);
            justify->addButton(r, i);
            row->addWidget(r);
        }
        grid->addLayout(row, 12, 1);
    }

    void read(forms::TextForm& f) const {
        f.text = encode_cp932(text->toPlainText());
        f.x = s(x->text());
        f.y = s(y->text());
        f.direction = direction->text().toInt();
        f.faces = {encode_cp932(faces[0]->currentText()), encode_cp932(faces[1]->currentText()),
                   encode_cp932(faces[2]->currentText())};
        f.size = size->text().toInt();
        f.style = style->currentIndex();
        f.color = colour_of(colour);
        f.opaque = opaque->isChecked();
        f.justify = justify->checkedId() < 0 ? 0 : justify->checkedId();
    }
};

void add_help_button(QDialog& d, AnswerButtons& buttons) {
    auto* help = new QPushButton(QStringLiteral("&Help"), &d);
    help->setAutoDefault(false);
    QObject::connect(help, &QPushButton::clicked, &d, [] {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QStringLiteral(PLOX_SOURCE_DIR "/docs/help.html")));
    });
    buttons.row->addWidget(help);
}

ObjectAnswer text_dialog(QWidget* parent, GraphObject& o, bool allow_paste, SettingsStore* store) {
    forms::TextForm f;
    f.load(o);
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("Title"));
    auto* grid = new QGridLayout;
    const TextFields fields(d, grid, f);

    AnswerButtons buttons;
    buttons.build(&d);
    add_help_button(d, buttons);
    QPushButton* save = buttons.add(&d, QStringLiteral("保存(&V)"), ObjectAnswer::Ok);
    buttons.add(&d, QStringLiteral("消去(&D)"), ObjectAnswer::Delete);
    QPushButton* paste = buttons.add(&d, QStringLiteral("貼付(&P)"), ObjectAnswer::Paste);
    paste->setEnabled(allow_paste);
    bool save_defaults = false;
    QObject::connect(save, &QPushButton::pressed, [&] { save_defaults = true; });
    finish(d, grid, buttons);
    if (run_dialog(d) != QDialog::Accepted) return ObjectAnswer::Cancel;
    if (buttons.answer == ObjectAnswer::Delete) return buttons.answer;
    fields.read(f);
    f.apply(o);
    if (save_defaults && store) editing::save_object_defaults(*store, o);
    return buttons.answer;
}

ObjectAnswer dot_dialog(QWidget* parent, const Graph& g, GraphObject& o) {
    forms::DotForm f;
    f.load(o);
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("点の描き方"));
    auto* grid = new QGridLayout;
    auto* plot = plot_type_combo(f.plot_type, &d);
    add_row(grid, 0, 0, QStringLiteral("プロットタイプ(&P)"), plot);
    auto* line = line_type_combo(f.line_style, &d);
    add_row(grid, 1, 0, QStringLiteral("線種(&L)"), line);
    auto* size = line_edit(f.size, &d);
    add_row(grid, 2, 0, QStringLiteral("ｻｲｽﾞ(&S)"), size);
    auto* width = line_edit(f.width, &d);
    add_row(grid, 3, 0, QStringLiteral("線幅(&W)"), width);
    auto* pitch = line_edit(f.pitch, &d);
    add_row(grid, 4, 0, QStringLiteral("ピッチ(&I)"), pitch);
    auto* x = line_edit(f.x, &d);
    auto* y = line_edit(f.y, &d);
    add_row(grid, 5, 0, QStringLiteral("位置(&O)"), x);
    grid->addWidget(y, 5, 2);
    auto* count = line_edit(f.count_or_length, &d);
    QLabel* count_label = add_row(grid, 6, 0, QStringLiteral("線長(&H)"), count);
    auto* kind = new QLabel(QString::fromUtf8(forms::count_or_length_label(f.plot_type)), &d);
    grid->addWidget(kind, 6, 2);
    QObject::connect(plot, &QComboBox::currentIndexChanged, &d, [=] {
        kind->setText(QString::fromUtf8(forms::count_or_length_label(item_value(plot))));
    });
    (void)count_label;
    auto* marker = colour_combo(f.marker_color, &d);
    add_row(grid, 7, 0, QStringLiteral("ﾄﾞｯﾄ色"), marker);
    auto* line_colour = colour_combo(f.line_color, &d);
    add_row(grid, 8, 0, QStringLiteral("線色"), line_colour);
    auto* fill = colour_combo(f.fill_color, &d);
    add_row(grid, 9, 0, QStringLiteral("中塗色"), fill);
    auto* brush = new QComboBox(&d);
    brush->addItems({QStringLiteral("中塗"), QStringLiteral("中空")});
    for (int i = 1; i <= 6; ++i)
        brush->addItem(QStringLiteral("ﾊｯﾁ%1").arg(i));
    brush->setCurrentIndex(std::clamp(f.brush, 0, 7));
    add_row(grid, 10, 0, QStringLiteral("ﾄﾞｯﾄのﾌﾞﾗｼ"), brush);
    AnswerButtons buttons;
    buttons.build(&d);
    buttons.add(&d, QStringLiteral("ﾏｳｽで位置設定(&M)"), ObjectAnswer::Mouse);
    buttons.add(&d, QStringLiteral("消去(&D)"), ObjectAnswer::Delete);
    finish(d, grid, buttons);
    if (d.exec() != QDialog::Accepted) return ObjectAnswer::Cancel;
    if (buttons.answer == ObjectAnswer::Delete) return buttons.answer;
    f.plot_type = item_value(plot);
    f.line_style = item_value(line);
    f.size = s(size->text());
    f.width = s(width->text());
    f.pitch = s(pitch->text());
    f.x = s(x->text());
    f.y = s(y->text());
    f.count_or_length = s(count->text());
    f.marker_color = colour_of(marker);
    f.line_color = colour_of(line_colour);
    f.fill_color = colour_of(fill);
    f.brush = brush->currentIndex();
    f.apply(g, o);
    return buttons.answer;
}

QComboBox* reference_combo(int32_t value, const QString& axis1, const QString& axis2, QWidget* p) {
    auto* c = new QComboBox(p);
    c->addItems({QStringLiteral("mm"), axis1, axis2});
    c->setCurrentIndex(std::clamp(value, 0, 2));
    return c;
}

ObjectAnswer arrow_dialog(QWidget* parent, GraphObject& o, SettingsStore* store) {
    forms::ArrowForm f;
    f.load(o);
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("矢印の描き方"));
    auto* grid = new QGridLayout;
    auto* head = line_edit(f.head_length, &d);
    add_row(grid, 0, 0, QStringLiteral("先端長(&L)"), head);
    auto* width = line_edit(f.width, &d);
    add_row(grid, 1, 0, QStringLiteral("線幅(&W)"), width);
    auto* pitch = line_edit(f.pitch, &d);
    add_row(grid, 2, 0, QStringLiteral("ピッチ(&I)"), pitch);
    auto* line = line_type_combo(f.line_style, &d);
    add_row(grid, 3, 0, QStringLiteral("線種(&P)"), line);
    auto* colour = colour_combo(f.color, &d);
    add_row(grid, 4, 0, QStringLiteral("色(&C)"), colour);
    QLineEdit* pos[4];
    for (int i = 0; i < 4; ++i)
        pos[i] = line_edit(f.position[static_cast<size_t>(i)], &d);
    add_row(grid, 5, 0, QStringLiteral("始点(&S)"), pos[0]);
    grid->addWidget(pos[1], 5, 2);
    add_row(grid, 6, 0, QStringLiteral("終点(&E)"), pos[2]);
    grid->addWidget(pos[3], 6, 2);
    auto* ref_x = reference_combo(f.ref_x, QStringLiteral("X軸"), QStringLiteral("U軸"), &d);
    add_row(grid, 7, 0, QStringLiteral("X位置参照"), ref_x);
    auto* ref_y = reference_combo(f.ref_y, QStringLiteral("Y軸"), QStringLiteral("R軸"), &d);
    add_row(grid, 8, 0, QStringLiteral("Y位置参照"), ref_y);
    auto* shape = new QComboBox(&d);
    shape->addItems({QStringLiteral("――"), QStringLiteral("―▶"), QStringLiteral("◀―"),
                     QStringLiteral("◀―▶"), QStringLiteral("―>"), QStringLiteral("<―"),
                     QStringLiteral("<―>")});
    shape->setCurrentIndex(f.shape);
    add_row(grid, 9, 0, QStringLiteral("形状(&H)"), shape);
    auto* open = line_edit(std::to_string(f.open), &d);
    add_row(grid, 10, 0, QStringLiteral("矢じりの開き"), open);
    auto* shut = line_edit(std::to_string(f.shut), &d);
    add_row(grid, 11, 0, QStringLiteral("閉じ"), shut);
    AnswerButtons buttons;
    buttons.build(&d);
    buttons.add(&d, QStringLiteral("位置をマウスで設定(&M)"), ObjectAnswer::Mouse);
    QPushButton* save = buttons.add(&d, QStringLiteral("この設定を保存(&V)"), ObjectAnswer::Ok);
    buttons.add(&d, QStringLiteral("消去(&D)"), ObjectAnswer::Delete);
    bool save_defaults = false;
    QObject::connect(save, &QPushButton::pressed, [&] { save_defaults = true; });
    finish(d, grid, buttons);
    if (d.exec() != QDialog::Accepted) return ObjectAnswer::Cancel;
    if (buttons.answer == ObjectAnswer::Delete) return buttons.answer;
    f.head_length = s(head->text());
    f.width = s(width->text());
    f.pitch = s(pitch->text());
    f.line_style = item_value(line);
    f.color = colour_of(colour);
    for (size_t i = 0; i < 4; ++i)
        f.position[i] = s(pos[i]->text());
    f.ref_x = ref_x->currentIndex();
    f.ref_y = ref_y->currentIndex();
    f.shape = shape->currentIndex();
    f.open = open->text().toInt();
    f.shut = shut->text().toInt();
    f.apply(o);
    if (save_defaults && store) editing::save_object_defaults(*store, o);
    return buttons.answer;
}

ObjectAnswer rect_dialog(QWidget* parent, GraphObject& o, bool allow_paste, SettingsStore* store) {
    forms::RectForm f;
    f.load(o);
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("枠の描き方"));
    auto* grid = new QGridLayout;
    QLineEdit* pos[4];
    for (int i = 0; i < 4; ++i)
        pos[i] = line_edit(f.position[static_cast<size_t>(i)], &d);
    add_row(grid, 0, 0, QStringLiteral("始点(&S)"), pos[0]);
    grid->addWidget(pos[1], 0, 2);
    add_row(grid, 1, 0, QStringLiteral("終点(&E)"), pos[2]);
    grid->addWidget(pos[3], 1, 2);
    auto* shadow = line_edit(f.shadow, &d);
    add_row(grid, 2, 0, QStringLiteral("影長(&L)"), shadow);
    auto* rx = line_edit(f.round_x, &d);
    auto* ry = line_edit(f.round_y, &d);
    add_row(grid, 3, 0, QStringLiteral("丸み(mm)"), rx);
    grid->addWidget(ry, 3, 2);
    auto* width = line_edit(f.width, &d);
    add_row(grid, 4, 0, QStringLiteral("線幅(&W)"), width);
    auto* face = colour_combo(f.face_color, &d);
    add_row(grid, 5, 0, QStringLiteral("表色"), face);
    auto* shade = colour_combo(f.shadow_color, &d);
    add_row(grid, 6, 0, QStringLiteral("影色(&C)"), shade);
    AnswerButtons buttons;
    buttons.build(&d);
    buttons.add(&d, QStringLiteral("位置をマウスで設定(&M)"), ObjectAnswer::Mouse);
    QPushButton* save = buttons.add(&d, QStringLiteral("保存(&V)"), ObjectAnswer::Ok);
    QPushButton* paste = buttons.add(&d, QStringLiteral("貼付(&P)"), ObjectAnswer::Paste);
    paste->setEnabled(allow_paste);
    buttons.add(&d, QStringLiteral("消去(&D)"), ObjectAnswer::Delete);
    bool save_defaults = false;
    QObject::connect(save, &QPushButton::pressed, [&] { save_defaults = true; });
    finish(d, grid, buttons);
    if (d.exec() != QDialog::Accepted) return ObjectAnswer::Cancel;
    if (buttons.answer == ObjectAnswer::Delete) return buttons.answer;
    for (size_t i = 0; i < 4; ++i)
        f.position[i] = s(pos[i]->text());
    f.shadow = s(shadow->text());
    f.round_x = s(rx->text());
    f.round_y = s(ry->text());
    f.width = s(width->text());
    f.face_color = colour_of(face);
    f.shadow_color = colour_of(shade);
    f.apply(o);
    if (save_defaults && store) editing::save_object_defaults(*store, o);
    return buttons.answer;
}

QString picture_filter() {
    QStringList images;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        images << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("(*.bmp,*.wmf) (*.bmp *.wmf);;画像 (%1);;すべてのﾌｧｲﾙ (*.*) (*)")
        .arg(images.join(QLatin1Char(' ')));
}

ObjectAnswer picture_dialog(QWidget* parent, GraphObject& o, bool allow_paste) {
    forms::PictureForm f;
    f.load(o);
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("graphic-fileの貼りつけ方"));
    auto* grid = new QGridLayout;
    auto* path = new QLineEdit(QString::fromLocal8Bit(f.path.c_str()), &d);
    path->setMaxLength(259);
    path->setMinimumWidth(320);
    add_row(grid, 0, 0, QStringLiteral("ファイル名"), path);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), &d);
    browse->setAutoDefault(false);
    grid->addWidget(browse, 0, 2);
    QObject::connect(browse, &QPushButton::clicked, &d, [&] {
        const QString file =
            QFileDialog::getOpenFileName(&d, QString(), path->text(), picture_filter());
        if (!file.isEmpty()) path->setText(file);
    });
    auto* x = line_edit(f.x, &d);
    auto* y = line_edit(f.y, &d);
    add_row(grid, 1, 0, QStringLiteral("&X (mm)"), x);
    add_row(grid, 2, 0, QStringLiteral("&Y (mm)"), y);
    auto* width = line_edit(f.width, &d);
    add_row(grid, 3, 0, QStringLiteral("幅(&W) (mm)"), width);
    auto* height = new QLabel(dialogs::q(f.height_for(o, f.width)), &d);
    grid->addWidget(new QLabel(QStringLiteral("高さ (mm)")), 4, 0);
    grid->addWidget(height, 4, 1);
    QObject::connect(width, &QLineEdit::textChanged, &d, [&, height](const QString& t) {
        height->setText(dialogs::q(f.height_for(o, s(t))));
    });
    AnswerButtons buttons;
    buttons.build(&d);
    buttons.add(&d, QStringLiteral("位置をマウスで設定(&M)"), ObjectAnswer::Mouse);
    QPushButton* paste = buttons.add(&d, QStringLiteral("貼付(&P)"), ObjectAnswer::Paste);
    paste->setEnabled(allow_paste);
    buttons.add(&d, QStringLiteral("消去(&D)"), ObjectAnswer::Delete);
    finish(d, grid, buttons);
    if (d.exec() != QDialog::Accepted) return ObjectAnswer::Cancel;
    if (buttons.answer == ObjectAnswer::Delete) return buttons.answer;
    f.path = path->text().toLocal8Bit().toStdString();
    f.x = s(x->text());
    f.y = s(y->text());
    f.width = s(width->text());
    f.apply(o);
    // The shown height follows the picture's own proportion as soon as its size is known.
    QImageReader reader(path->text());
    if (const QSize size = reader.size(); size.width() > 0 && size.height() > 0) {
        o.picture_box[0] = size.width();
        o.picture_box[1] = size.height();
        f.apply(o);
    }
    return buttons.answer;
}

} // namespace

ObjectAnswer QtObjectDialogs::edit_object(const Graph& graph, GraphObject& object, bool allow_paste,
                                          SettingsStore* store) {
    switch (object.Type) {
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
        return arrow_dialog(parent_, object, store);
    case object_type::Rectangle:
        return rect_dialog(parent_, object, allow_paste, store);
    case object_type::PointObject:
        return dot_dialog(parent_, graph, object);
    case object_type::Picture:
        return picture_dialog(parent_, object, allow_paste);
    default:
        return text_dialog(parent_, object, allow_paste, store);
    }
}

std::optional<forms::ObjectList> QtObjectDialogs::object_manager(const Graph& graph,
                                                                 int& double_clicked) {
    forms::ObjectList list(graph);
    QDialog d(parent_);
    d.setWindowTitle(QStringLiteral("Object manager"));
    auto* v = new QVBoxLayout(&d);
    auto* widget = new QListWidget(&d);
    widget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    widget->setMinimumSize(420, 260);
    v->addWidget(widget);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("&OK"), &d);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &d);
    auto* up = new QPushButton(QStringLiteral("上(&U)"), &d);
    auto* down = new QPushButton(QStringLiteral("下(&D)"), &d);
    auto* close = new QPushButton(QStringLiteral("&Close"), &d);
    auto* all = new QPushButton(QStringLiteral("&All"), &d);
    for (QPushButton* b : {ok, cancel, up, down, close, all})
        row->addWidget(b);
    v->addLayout(row);
    bool filling = false;
    auto fill = [&] {
        filling = true;
        widget->clear();
        for (size_t i = 0; i < list.order.size(); ++i) {
            const GraphObject& o = graph.objects[static_cast<size_t>(list.order[i])];
            widget->addItem(decode_cp932(forms::object_list_text(o)));
            widget->item(static_cast<int>(i))->setSelected(list.selected[i]);
        }
        ok->setText(list.any_selected() ? QStringLiteral("Pr&operty") : QStringLiteral("&OK"));
        filling = false;
    };
    QObject::connect(widget, &QListWidget::itemSelectionChanged, &d, [&] {
        if (filling) return;
        for (int i = 0; i < widget->count(); ++i)
            list.selected[static_cast<size_t>(i)] = widget->item(i)->isSelected();
        ok->setText(list.any_selected() ? QStringLiteral("Pr&operty") : QStringLiteral("&OK"));
    });
    QObject::connect(up, &QPushButton::clicked, &d, [&] {
        list.move_selected_to_top();
        fill();
    });
    QObject::connect(down, &QPushButton::clicked, &d, [&] {
        list.move_selected_to_bottom();
        fill();
    });
    QObject::connect(close, &QPushButton::clicked, &d, [&] {
        list.remove_selected();
        fill();
    });
    QObject::connect(all, &QPushButton::clicked, &d, [&] {
        list.toggle_all();
        fill();
    });
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
    double_clicked = -1;
    QObject::connect(widget, &QListWidget::itemDoubleClicked, &d, [&](QListWidgetItem* item) {
        double_clicked = widget->row(item);
        d.accept();
    });
    fill();
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return list;
}

} // namespace plox
