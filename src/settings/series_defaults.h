// Defaults of new data series: the "Data Ini" / "Data Ini2\<extension>" keys and the
// automatic colour and type advance from one series to the next.
#pragma once

#include "document/model.h"
#include "settings/store.h"
#include "settings/user_config.h"

#include <string>
#include <string_view>

namespace plox {

// "Data Ini2\<ext>" for a file whose extension has two characters or more, else empty.
std::string data_extension_key(std::string_view path);

// Reads the one key that applies to `path` ("Data Ini2\<ext>" when it holds any value, else
// "Data Ini") into `series`; values missing from it keep the series' values.
void read_series_defaults(const SettingsStore& store, std::string_view path, Series& series);

// The automatic advance of the options switched on in `config`, from the series before.
void advance_series_style(const UserConfig& config, const Series& previous, Series& series);

// The marker and line colour ring: the colour after `color`, black after the last or for a
// colour outside the ring.
int32_t next_auto_color(int32_t color);

} // namespace plox
