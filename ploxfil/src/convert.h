// The work of the converter module, free of the C ABI so that it can be tested directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ploxfil {

// CSV with a header row: the header becomes a comment line, quotes are taken off, semicolons
// (the list separator where the comma is the decimal sign) become commas; empty fields stay
// empty, so they read as missing values. Lines end with CR LF.
std::string convert_csv(std::string_view text);

// A table of numbers written with decimal commas, separated by spaces, tabs or semicolons:
// decimal commas become points and separators single spaces. Comment lines stay as they are.
std::string convert_decimal_comma(std::string_view text);

// 0 for the first line of an Ngraph 5.3 project ("%Ngraph ver.5.3 project", case-insensitive,
// optional leading '%' or '#'), 1 when that line also says "data" (data blocks follow), -1 for
// any other line.
int32_t check_first_line(std::string_view line);

} // namespace ploxfil
