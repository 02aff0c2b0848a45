// The fitting defaults ("LSQ Ini", "Continuace Ini", "LSQ Function" with its history), the
// transform histories of "Data Ini" and the defaults of new annotation objects ("Dot Ini",
// "Arrow Ini", "Rect Ini", "Title Ini", "X-Title" … "R-Title").
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

// The key that holds the defaults of an object of `Type` code `type` ("Title Ini" for free
// texts and legends, "X-Title" … "R-Title", "Rect Ini", "Arrow Ini", "Dot Ini").
std::string_view object_defaults_key(int32_t type);
// Reads the stored defaults into a new object (missing values keep the object's).
void read_object_defaults(const SettingsStore& store, GraphObject& object);
// Writes an object's defaults; point objects are never written ("Dot Ini" is read only).
void write_object_defaults(SettingsStore& store, const GraphObject& object);

// A LOGFONT as its 60-byte binary block and back (false for a block of another size).
std::vector<uint8_t> font_block(const LogFont& font);
bool read_font_block(const std::vector<uint8_t>& block, LogFont& font);

} // namespace plox
