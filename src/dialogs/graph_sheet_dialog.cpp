// The graph sheet's pages.
#include "dialogs/graph_sheet_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

namespace plox::dialogs {

GraphSheetDialog::GraphSheetDialog(const Graph& graph, QWidget* parent)
    : PropertySheet(QStringLiteral("Graph Property"), parent) {
    setObjectName(QStringLiteral("GraphSheet"));
    form_.load(graph);
    tabs()->addTab(frame_page(), QStringLiteral("Frame"));
    tabs()->addTab(title_page(), QStringLiteral("Title"));
    tabs()->addTab(scale_page(), QStringLiteral("Scale"));
}

const forms::GraphSheet& GraphSheetDialog::form() {
    for (auto& c : collect_)
        c();
    return form_;
}

QWidget* GraphSheetDialog::frame_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_POSITION"));
    auto* grid = new QGridLayout(page);
    const auto& f = form_.frame;
    auto* left = add_edit(grid, 0, 0, QStringLiteral("&Left margin (mm):"), f.left, 12);
    auto* top = add_edit(grid, 1, 0, QStringLiteral("&Top margin (mm):"), f.top, 12);
    auto* width = add_edit(grid, 2, 0, QStringLiteral("&Width (mm):"), f.width, 12);
    auto* height = add_edit(grid, 3, 0, QStringLiteral("&Height (mm):"), f.height, 12);
    auto* line = add_edit(grid, 4, 0, QStringLiteral("線幅 (mm):"), f.line_width, 12);
    left->setObjectName(QStringLiteral("left"));
    width->setObjectName(QStringLiteral("width"));
    auto* colour = new ColourButton(QStringLiteral("線色(&C)"), f.line_colour);
    auto* background = new ColourButton(QStringLiteral("背景色"), f.background);
    grid->addWidget(colour, 5, 0);
    grid->addWidget(background, 5, 1);
    auto* types = new QGroupBox;
    auto* type_layout = new QHBoxLayout(types);
    auto* group = new QButtonGroup(page);
    const char* names[] = {"方眼", "枠", "片枠", "軸"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(names[i]));
        group->addButton(b, i);
        type_layout->addWidget(b);
    }
    group->button(f.frame_type)->setChecked(true);
    grid->addWidget(types, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);
    collect_.push_back([=, this] {
        auto& p = form_.frame;
        p.left = us(left->text());
        p.top = us(top->text());
        p.width = us(width->text());
        p.height = us(height->text());
        p.line_width = us(line->text());
        p.line_colour = colour->colour();
        p.background = background->colour();
        p.frame_type = std::max(group->checkedId(), 0);
    });
    return page;
}

QWidget* GraphSheetDialog::title_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_POSITION2"));
    auto* grid = new QGridLayout(page);
    const auto& t = form_.title;
    auto* title = add_edit(grid, 0, 0, QStringLiteral("タイトル"), t.title, 255);
    auto* comment = new QLineEdit(from_bytes(t.comment));
    comment->setMaxLength(63);
    add_labelled(grid, 1, 0, QStringLiteral("コメント"), comment);
    auto* zoom = add_edit(grid, 2, 0, QStringLiteral("&Zoom(%)"), t.zoom, 6);
    auto* visible = new QCheckBox(QStringLiteral("%01Nなどの制御文字は、表示ﾃﾞｰﾀだけを考慮"));
    visible->setChecked(t.visible_only);
    grid->addWidget(visible, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    collect_.push_back([=, this] {
        auto& p = form_.title;
        p.title = us(title->text());
        p.comment = to_bytes(comment->text());
        p.zoom = us(zoom->text());
        p.visible_only = visible->isChecked();
    });
    return page;
}

QWidget* GraphSheetDialog::scale_page() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SET_POSITION3"));
    auto* grid = new QGridLayout(page);
    const char* names[] = {"&X軸", "&Y軸", "&U軸", "&R軸"};
    for (int i = 0; i < 4; ++i) {
        const auto& row = form_.scale.axes[static_cast<size_t>(i)];
        auto* check = new QCheckBox(QString::fromUtf8(names[i]));
        check->setChecked(row.set);
        auto* from = new QLineEdit(qs(row.from));
        auto* to = new QLineEdit(qs(row.to));
        from->setMaxLength(39);
        to->setMaxLength(39);
        grid->addWidget(check, i, 0);
        grid->addWidget(from, i, 1);
        grid->addWidget(to, i, 2);
        collect_.push_back([=, this] {
            auto& r = form_.scale.axes[static_cast<size_t>(i)];
            r.set = check->isChecked();
            r.from = us(from->text());
            r.to = us(to->text());
        });
    }
    grid->setRowStretch(4, 1);
    return page;
}

bool edit_graph(QWidget* parent, const Graph& graph, int first_page,
                const std::function<void(const forms::GraphSheet&)>& apply) {
    GraphSheetDialog dialog(graph, parent);
    dialog.tabs()->setCurrentIndex(std::clamp(first_page, 0, 2));
    dialog.set_apply([&] { apply(dialog.form()); });
    return run_dialog(dialog) == QDialog::Accepted || dialog.applied();
}

} // namespace plox::dialogs
