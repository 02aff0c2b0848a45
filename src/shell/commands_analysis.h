// The analysis menu and the data tools: fits, splines, drawn functions, extension analyses,
// user constants, value evaluation, masks, trimming, value reading, the settings dialog and
// templates, registered on the main window by command number.
#pragma once

#include "forms/series_chooser.h"

namespace plox::shell {

class MainWindow;

void register_analysis_commands(MainWindow& window);

// The property sheets' series chooser over `graph`, shown over the window.
forms::SeriesChoice choose_series(MainWindow& window, const Graph& graph,
                                  const forms::ChooserRequest& request);

// Commands of the data tools (masks, trimming, value reading, settings, templates).
void register_data_tool_commands(MainWindow& window);

} // namespace plox::shell
