// The analysis menu and the data tools: fits, splines, drawn functions, extension analyses,
// user constants, value evaluation, masks, trimming, value reading, the settings dialog and
// templates, registered on the main window by command number.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace plox {
struct Graph;
}

namespace plox::shell {

class MainWindow;

void register_analysis_commands(MainWindow& window);

// What a series list answers: the chosen series (indices), or "new", or nothing (Cancel).
struct SeriesChoice {
    std::vector<int> series;
    bool is_new = false;
    bool all = false;
};

struct SeriesQuery {
    std::string title;
    int kind_mask = 0x7FF;
    bool single = false;    // LISTDIALOG2
    bool auto_pick = true;  // exactly one qualifying series is taken without the list
    bool offer_new = false; // "新規(&N)"
    bool offer_all = false; // "&All"
};

// The series list over `graph`.
std::optional<SeriesChoice> choose_series(QWidget* parent, const Graph& graph,
                                          const SeriesQuery& query);

// Commands of the data tools (masks, trimming, value reading, settings, templates).
void register_data_tool_commands(MainWindow& window);

} // namespace plox::shell
