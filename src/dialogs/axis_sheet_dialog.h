// The axis sheet: range and type (SET_SCALE1), ticks (SET_SCALE2) and numeric labels
// (SET_SCALE3) of one axis, over the form of the axis sheet.
#pragma once

#include "dialogs/sheet_widgets.h"
#include "forms/axis_sheet.h"

#include <vector>

namespace plox::dialogs {

class AxisSheetDialog : public PropertySheet {
    Q_OBJECT
public:
    // `axis`: the axis asked for (0..3); the sheet edits the axis the form names.
    AxisSheetDialog(const Graph& graph, int axis, const GraphSet* set, QWidget* parent = nullptr);
    // The pages read back into the form.
    const forms::AxisSheet& form();

private:
    QWidget* range_page();
    QWidget* tick_page();
    QWidget* label_page();

    forms::AxisSheet form_;
    std::vector<std::function<void()>> collect_;
};

// Opens the sheet over `set`'s graph `graph`; on Apply or OK `apply` gets the form (the caller
// records the change, writes it and runs the scale change). True when the sheet ended with OK or
// something was applied.
bool edit_axis(QWidget* parent, GraphSet& set, int graph, int axis,
               const std::function<void(const forms::AxisSheet&)>& apply);

} // namespace plox::dialogs
