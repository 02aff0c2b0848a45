// The series sheet "Property": the pages "ﾌｧｲﾙ" (UPDATEDIALOG1), "ﾌﾟﾛｯﾄ" (UPDATEDIALOG2) and
// "高度" (UPDATEDIALOG3), and for computed series the curve page "曲線" when one is registered
// for the series' kind.
//
// Adding the curve page: call `series_pages().add(kinds, title, factory)` once at start-up. For
// a series whose kind is in `kinds` the sheet calls the factory with the graph, the series index
// and the copy of the series the sheet edits; the factory returns the page widget (owned by the
// sheet from then on) and a function that writes the page into that copy. It runs on Apply and
// OK after the three standard pages, before the sheet hands the copy back.
#pragma once

#include "dialogs/sheet_widgets.h"
#include "forms/series_sheet.h"

#include <optional>
#include <vector>

class QLabel;

namespace plox {
class SettingsStore;
}

namespace plox::dialogs {

struct SeriesPage {
    QWidget* widget = nullptr;
    std::function<void(Series&)> apply;
};
using SeriesPageFactory =
    std::function<std::optional<SeriesPage>(const Graph& graph, int series, Series& edited)>;

class SeriesPageRegistry {
public:
    // A later registration for the same kinds comes first.
    void add(int32_t kinds, const QString& title, SeriesPageFactory factory);
    struct Entry {
        int32_t kinds;
        QString title;
        SeriesPageFactory factory;
    };
    const Entry* find(int32_t kind) const;

private:
    std::vector<Entry> entries_;
};
// The one registry the series sheets of this program consult.
SeriesPageRegistry& series_pages();

// What the sheet needs besides the series.
struct SeriesSheetContext {
    SettingsStore* store = nullptr;      // save buttons and transform history; null: disabled
    std::vector<std::string> converters; // names of the converter module (CP932)
};

class SeriesSheetDialog : public PropertySheet {
    Q_OBJECT
public:
    SeriesSheetDialog(const Graph& graph, int index, const SeriesSheetContext& context,
                      QWidget* parent = nullptr);
    // The edited copy with every page applied.
    const Series& result();

private:
    QWidget* file_page();
    QWidget* plot_page();
    QWidget* reading_page();
    // The series name line, the three buttons every standard page carries, and the page body.
    QWidget* standard_page(const QString& name, forms::SeriesGroup group, QWidget* body);
    void collect();
    void browse();

    const SeriesSheetContext& context_;
    Series edited_;
    forms::SeriesSheet form_;
    std::vector<std::function<void()>> collect_;
    std::vector<std::function<void(Series&)>> extra_;
    std::vector<QLabel*> name_lines_;
    QLabel* sample_ = nullptr;
    std::function<void()> refresh_sample_;
};

// Opens the sheet of series `index`; `apply` gets the edited record on Apply and OK. True when the
// sheet ended with OK or something was applied.
bool edit_series(QWidget* parent, const Graph& graph, int index, const SeriesSheetContext& context,
                 const std::function<void(const Series&)>& apply);

} // namespace plox::dialogs
