// Making a series into a drawn function of x (kind 8): the text the input starts with, the
// curve settings of a new function series, and what confirming the function stores.
#pragma once

#include "document/model.h"

#include <string>
#include <string_view>

namespace plox {

class SettingsStore;

inline constexpr std::string_view CALC_SERIES_NAME = "CALC.DAT";

// The series' own function if it is a function series, else that of the graph's last function
// series, else "x".
std::string function_start_text(const Graph& graph, int index);

// Before the dialogs: a series that is not a function series yet takes the stored curve
// settings, the X axis' range and scale type and 101 curve points; every series gets PlotType 0.
void prepare_function_series(Series& series, const Graph& graph, const SettingsStore& store);

// On confirmation: the line takes the curve line, the kind becomes 8 and the text its Ytrans.
void apply_function_series(Series& series, std::string_view function);

// The series "CALC.DAT" offered as a new series; -1 at the series limit.
int add_calc_series(Graph& graph);
// Removes series `index` (later ones move up); used when "CALC.DAT" stayed a plain data series.
void remove_series(Graph& graph, int index);

} // namespace plox
