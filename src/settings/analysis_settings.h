// The fitting defaults ("LSQ Ini", "Continuace Ini", "LSQ Function" with its history) and the
// transform histories of "Data Ini".
#pragma once

#include "document/model.h"
#include "settings/store.h"

#include <array>
#include <string>
#include <string_view>

namespace plox {

inline constexpr std::string_view LSQ_INI_KEY = "LSQ Ini";
inline constexpr std::string_view CURVE_INI_KEY = "Continuace Ini";
inline constexpr std::string_view LSQ_FUNCTION_KEY = "LSQ Function";
inline constexpr int FUNCTION_HISTORY = 5;

// The curve settings a new fit, spline or function series starts with.
void read_curve_defaults(const SettingsStore& store, Series& series);
void write_curve_defaults(SettingsStore& store, const Series& series);

// One entry of "LSQ Function" (0 the current function, 1 … 4 earlier ones): function,
// derivatives and initial values; a missing derivative reads empty, a missing initial value 0.
// Entry 0 also gives the free flags and the tolerance. Nothing when the entry has no function.
std::optional<FitFunction> read_function_entry(const SettingsStore& store, int entry);
// Writes `current` as entry 0 (with "Gosa" and "IsParaMove0" … "IsParaMove8"); the earlier
// entries follow, most recent first, without one whose function equals the current one, each
// with its own derivatives and initial values.
void write_function_history(SettingsStore& store, const FitFunction& current);

// "Xtrans1" … "Xtrans5" (axis 'X') or "Ytrans1" … "Ytrans5" of "Data Ini", empty ones included.
std::array<std::string, 5> read_transform_history(const SettingsStore& store, char axis);
// `expression` becomes entry 1, the old entries follow without any equal to it.
void push_transform_history(SettingsStore& store, char axis, std::string_view expression);

} // namespace plox
