// The small dialogs: the data manager (LISTDIALOG3 "Data manager"), the missing-files dialog
// (QueryFileSearch "確認"), the about box (AboutDialog) and the GRA font mapping dialog.
#pragma once

#include "forms/manager_list.h"
#include "forms/small_dialogs.h"
#include "render/font_mapping.h"

#include <QDialog>
#include <optional>
#include <vector>

class QListWidget;
class QPushButton;

namespace plox::dialogs {

// What the data manager hands back on OK.
struct DataManagerAnswer {
    std::vector<int> order;     // series kept, in their new order (original indexes)
    std::vector<int> to_close;  // series taken out of the list
    std::vector<int> to_update; // selected series (original indexes), their sheets open next
};

class DataManagerDialog : public QDialog {
    Q_OBJECT
public:
    DataManagerDialog(const Graph& graph, QWidget* parent = nullptr);
    DataManagerAnswer answer() const;
    QListWidget* list() const { return list_; }
    forms::ManagerList& model() { return model_; }
    // Rebuilds the list from the model (after a button).
    void refill();

private:
    void pull_selection();

    const Graph& graph_;
    forms::ManagerList model_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

std::optional<DataManagerAnswer> run_data_manager(QWidget* parent, const Graph& graph);

// Lists the series whose files were not found; "&Search" lets the user find one. Changes the
// series' file names in `set`.
void run_missing_files(QWidget* parent, GraphSet& set, std::vector<forms::MissingFile> missing);

void run_about(QWidget* parent, int32_t extension_version, std::optional<int32_t> converter);

// Six face lists and "ｷﾞﾘｼｬ文字を 1byte 系文字で置き換え"; true on OK with `mapping` changed.
bool run_font_mapping(QWidget* parent, FontMapping& mapping);

} // namespace plox::dialogs
