// The series chooser dialog.
#include "dialogs/series_chooser_dialog.h"

#include "dialogs/series_sample.h"
#include "dialogs/sheet_widgets.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace plox::dialogs {

SeriesChooserDialog::SeriesChooserDialog(const Graph& graph, const forms::ChooserRequest& request,
                                         std::span<const int> offered, QWidget* parent)
    : QDialog(parent) {
    setObjectName(request.multiple ? QStringLiteral("LISTDIALOG") : QStringLiteral("LISTDIALOG2"));
    setWindowTitle(QString::fromStdString(forms::chooser_caption(request)));
    list_ = new QListWidget(this);
    list_->setSelectionMode(request.multiple ? QAbstractItemView::MultiSelection
                                             : QAbstractItemView::SingleSelection);
    list_->setIconSize(QSize(48, 16));
    for (int index : offered) {
        const Series& s = graph.series[index];
        auto* item = new QListWidgetItem(
            QIcon(series_sample(s)), QString::fromStdString(forms::series_entry_text(s, utf8_of)),
            list_);
        item->setData(Qt::UserRole, index);
        const auto& pre = request.preselected;
        if (std::find(pre.begin(), pre.end(), index) != pre.end()) item->setSelected(true);
    }
    if (!request.multiple && list_->count() > 0 && list_->selectedItems().isEmpty())
        list_->setCurrentRow(0);

    auto* choose = new QPushButton(QStringLiteral("選択(&S)"), this);
    choose->setDefault(true);
    auto* make_new = new QPushButton(QStringLiteral("新規(&N)"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(choose);
    buttons->addWidget(make_new);
    if (request.multiple || request.all_button) {
        auto* all = new QPushButton(QStringLiteral("&All"), this);
        buttons->addWidget(all);
        connect(all, &QPushButton::clicked, this, &SeriesChooserDialog::select_all);
    }
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(choose, &QPushButton::clicked, this,
            [this] { finish(forms::SeriesChoice::Answer::Chosen); });
    connect(make_new, &QPushButton::clicked, this,
            [this] { finish(forms::SeriesChoice::Answer::New); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        item->setSelected(true);
        finish(forms::SeriesChoice::Answer::Chosen);
    });
    resize(360, 260);
}

void SeriesChooserDialog::select_all() {
    // "&All" chooses every entry and ends, as its name promises (a single-choice list would
    // keep only one selected entry, so the entries are taken as they stand).
    choice_.all = true;
    choice_.answer = forms::SeriesChoice::Answer::Chosen;
    choice_.series.clear();
    for (int row = 0; row < list_->count(); ++row)
        choice_.series.push_back(list_->item(row)->data(Qt::UserRole).toInt());
    accept();
}

void SeriesChooserDialog::finish(forms::SeriesChoice::Answer answer) {
    choice_.answer = answer;
    choice_.series.clear();
    if (answer == forms::SeriesChoice::Answer::Chosen)
        for (int row = 0; row < list_->count(); ++row)
            if (list_->item(row)->isSelected())
                choice_.series.push_back(list_->item(row)->data(Qt::UserRole).toInt());
    accept();
}

forms::SeriesChoice QtSeriesChooser::show(const Graph& graph, const forms::ChooserRequest& request,
                                          std::span<const int> offered) {
    SeriesChooserDialog dialog(graph, request, offered, parent_);
    if (run_dialog(dialog) != QDialog::Accepted) return {};
    return dialog.choice();
}

} // namespace plox::dialogs
