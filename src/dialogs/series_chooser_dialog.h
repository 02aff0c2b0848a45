// The series chooser on screen (LISTDIALOG with several choices, LISTDIALOG2 with one):
// "選択(&S)", "新規(&N)", "&All" and Cancel over a list of series drawn with their samples.
#pragma once

#include "forms/series_chooser.h"

#include <QDialog>
#include <QPointer>

class QListWidget;

namespace plox::dialogs {

class SeriesChooserDialog : public QDialog {
    Q_OBJECT
public:
    SeriesChooserDialog(const Graph& graph, const forms::ChooserRequest& request,
                        std::span<const int> offered, QWidget* parent = nullptr);
    forms::SeriesChoice choice() const { return choice_; }
    QListWidget* list() const { return list_; }

private:
    void finish(forms::SeriesChoice::Answer answer);
    void select_all();

    QListWidget* list_ = nullptr;
    forms::SeriesChoice choice_;
};

// The view the core chooser asks; commands call `choose(graph, request)`.
class QtSeriesChooser : public forms::SeriesChooserView {
public:
    explicit QtSeriesChooser(QWidget* parent = nullptr) : parent_(parent) {}
    forms::SeriesChoice show(const Graph& graph, const forms::ChooserRequest& request,
                             std::span<const int> offered) override;
    forms::SeriesChoice choose(const Graph& graph, const forms::ChooserRequest& request) {
        return forms::choose_series(graph, request, *this);
    }

private:
    QPointer<QWidget> parent_;
};

} // namespace plox::dialogs
