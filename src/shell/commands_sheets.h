// The property sheets and list commands of the window: graph sheet (205, 207), axis sheets
// (201-204), series sheet (103 and the item hooks), data manager (102, 103), series lists
// (239, 659, 678), about box (109), GRA font mapping (124) and the missing-files dialog.
#pragma once

#include "document/model.h"

#include <cstdint>
#include <functional>

namespace plox::shell {

class MainWindow;

void register_sheet_commands(MainWindow& window);

// The set-up of an analysis kind that "もう一度" (239) runs again for each chosen series of a
// kind in `kinds`; it answers whether it changed the series. A later registration for the same
// kinds comes first.
using AnalysisSetup = std::function<bool(MainWindow& window, Graph& graph, int series)>;
void register_analysis_setup(int32_t kinds, AnalysisSetup setup);

} // namespace plox::shell
