// The small dialogs.
#include "dialogs/small_dialogs.h"

#include "dialogs/series_sample.h"
#include "dialogs/sheet_widgets.h"
#include "document/paths.h"
#include "forms/series_chooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace plox::dialogs {

DataManagerDialog::DataManagerDialog(const Graph& graph, QWidget* parent)
    : QDialog(parent), graph_(graph), model_(graph.series_count) {
    setObjectName(QStringLiteral("LISTDIALOG3"));
    setWindowTitle(QStringLiteral("Data manager"));
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setIconSize(QSize(48, 16));
    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* up = new QPushButton(QStringLiteral("上(&U)"), this);
    auto* down = new QPushButton(QStringLiteral("下(&D)"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    auto* all = new QPushButton(QStringLiteral("&All"), this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {ok_, cancel, up, down, close, all})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    auto act = [this](void (forms::ManagerList::*op)()) {
        pull_selection();
        (model_.*op)();
        refill();
    };
    connect(up, &QPushButton::clicked, this, [=] { act(&forms::ManagerList::move_to_top); });
    connect(down, &QPushButton::clicked, this, [=] { act(&forms::ManagerList::move_to_bottom); });
    connect(close, &QPushButton::clicked, this, [=] { act(&forms::ManagerList::take_out); });
    connect(all, &QPushButton::clicked, this, [=] { act(&forms::ManagerList::toggle_all); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        pull_selection();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        ok_->setText(list_->selectedItems().isEmpty() ? QStringLiteral("&OK")
                                                      : QStringLiteral("Pr&operty"));
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        // A double click opens the sheet of the clicked series only.
        const int clicked = list_->row(item);
        for (int row = 0; row < list_->count(); ++row)
            model_.set_selected(row, row == clicked);
        accept();
    });
    refill();
    resize(380, 280);
}

void DataManagerDialog::pull_selection() {
    for (int row = 0; row < list_->count(); ++row)
        model_.set_selected(row, list_->item(row)->isSelected());
}

void DataManagerDialog::refill() {
    QSignalBlocker block(list_);
    list_->clear();
    const auto& order = model_.order();
    for (size_t row = 0; row < order.size(); ++row) {
        const Series& s = graph_.series[static_cast<size_t>(order[row])];
        auto* item = new QListWidgetItem(QIcon(series_sample(s)),
                                         qs(forms::series_entry_text(s, utf8_of)), list_);
        item->setSelected(model_.selected(static_cast<int>(row)));
    }
    ok_->setText(model_.any_selected() ? QStringLiteral("Pr&operty") : QStringLiteral("&OK"));
}

DataManagerAnswer DataManagerDialog::answer() const {
    return {model_.order(), model_.taken_out(), model_.selection()};
}

std::optional<DataManagerAnswer> run_data_manager(QWidget* parent, const Graph& graph) {
    DataManagerDialog dialog(graph, parent);
    if (run_dialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.answer();
}

void run_missing_files(QWidget* parent, GraphSet& set, std::vector<forms::MissingFile> missing) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("QueryFileSearch"));
    dialog.setWindowTitle(QStringLiteral("確認"));
    auto* list = new QListWidget(&dialog);
    auto fill = [&] {
        list->clear();
        for (const auto& m : missing) {
            const Graph& g = *set.graphs[static_cast<size_t>(m.graph)];
            list->addItem(qs(g.series[static_cast<size_t>(m.series)].file_name));
        }
        if (list->count() > 0) list->setCurrentRow(0);
    };
    fill();
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    auto* search = new QPushButton(QStringLiteral("&Search"), &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("以下のファイルがオープン出来ませんでした")));
    layout->addWidget(list);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(search);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(search, &QPushButton::clicked, &dialog, [&] {
        const int row = list->currentRow();
        if (row < 0 || row >= static_cast<int>(missing.size())) return;
        const auto& m = missing[static_cast<size_t>(row)];
        const std::string old = set.graphs[static_cast<size_t>(m.graph)]
                                    ->series[static_cast<size_t>(m.series)]
                                    .file_name;
        const QString name = qs(std::string(paths::file_name_of(old)));
        const QString found = QFileDialog::getOpenFileName(&dialog, QString(), QString(),
                                                           QStringLiteral("%1 (%1)").arg(name));
        dialog.activateWindow();
        if (found.isEmpty()) return;
        forms::apply_found_file(
            set, missing, static_cast<size_t>(row), found.toStdString(),
            [](const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); });
        fill();
    });
    run_dialog(dialog);
}

void run_about(QWidget* parent, int32_t extension_version, std::optional<int32_t> converter) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("AboutDialog"));
    dialog.setWindowTitle(QStringLiteral("Plox for Windows について"));
    auto* layout = new QVBoxLayout(&dialog);
    for (const std::string& line : forms::about_lines(extension_version, converter))
        layout->addWidget(new QLabel(qs(line)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    run_dialog(dialog);
}

bool run_font_mapping(QWidget* parent, FontMapping& mapping) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FontMapping"));
    dialog.setWindowTitle(QStringLiteral("Font Mapping"));
    auto* grid = new QGridLayout(&dialog);
    const char* labels[] = {"Times", "Helvetica", "明朝", "ゴシック", "Courier", "ギリシャ文字"};
    const QStringList families = QFontDatabase::families();
    QComboBox* lists[GRA_FONT_SLOTS];
    for (int i = 0; i < GRA_FONT_SLOTS; ++i) {
        lists[i] = new QComboBox;
        lists[i]->setEditable(true);
        lists[i]->addItems(families);
        lists[i]->setCurrentText(from_bytes(mapping.faces[static_cast<size_t>(i)].face));
        add_labelled(grid, i, 0, QString::fromUtf8(labels[i]), lists[i]);
    }
    auto* symbol = new QCheckBox(QStringLiteral("ｷﾞﾘｼｬ文字を 1byte 系文字で置き換え"));
    symbol->setChecked(mapping.SymbolUse != 0);
    grid->addWidget(symbol, GRA_FONT_SLOTS, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    grid->addWidget(buttons, GRA_FONT_SLOTS + 1, 0, 1, 2);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (run_dialog(dialog) != QDialog::Accepted) return false;
    for (int i = 0; i < GRA_FONT_SLOTS; ++i) {
        const std::string face = to_bytes(lists[i]->currentText());
        if (!face.empty())
            set_text(mapping.faces[static_cast<size_t>(i)].face, face, FACE_CAPACITY);
    }
    mapping.SymbolUse = symbol->isChecked() ? 1 : 0;
    return true;
}

} // namespace plox::dialogs
