// The graph sheet "Graph Property": "Frame" (SET_POSITION), "Title" (SET_POSITION2) and
// "Scale" (SET_POSITION3) over the form of the graph sheet.
#pragma once

#include "dialogs/sheet_widgets.h"
#include "forms/graph_sheet.h"

#include <vector>

namespace plox::dialogs {

class GraphSheetDialog : public PropertySheet {
    Q_OBJECT
public:
    GraphSheetDialog(const Graph& graph, QWidget* parent = nullptr);
    const forms::GraphSheet& form();

private:
    QWidget* frame_page();
    QWidget* title_page();
    QWidget* scale_page();

    forms::GraphSheet form_;
    std::vector<std::function<void()>> collect_;
};

// Opens the sheet on `first_page` (0 "Frame", 1 "Title", 2 "Scale"); `apply` gets the form on
// Apply and OK. True when the sheet ended with OK or
// something was applied.
bool edit_graph(QWidget* parent, const Graph& graph, int first_page,
                const std::function<void(const forms::GraphSheet&)>& apply);

} // namespace plox::dialogs
