// The conversions every dialog shares: lengths as millimetre text, numbers as "%g" text,
// integers, and the colour list and custom colours of the colour chooser.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace plox::forms {

// Hundredths of a millimetre as text: "40", "40.5", "40.05", "-1.5".
std::string millimetre_text(int32_t hundredths);
// Text read as millimetres, rounded half away from zero to hundredths ("12.34" → 1234).
// Text that is not a number reads as 0; values beyond the 32-bit range are clamped to it.
int32_t read_millimetres(std::string_view text);

// A number as "%g" shows it.
std::string number_text(double value);
// Text read as a double (the standard conversion: leading number, otherwise 0).
double read_number(std::string_view text);
// Text read as an integer (the standard conversion: leading digits, otherwise 0; clamped to
// the 32-bit range).
int32_t read_integer(std::string_view text);

// The drop-down colour list: the eight 0/0x80 colours (red fastest, black first), silver,
// then the seven 0/0xFF colours without black (white last). Colours are 0x00BBGGRR.
const std::array<int32_t, 16>& colour_list();
// The position of a colour in the list, or -1.
int colour_list_index(int32_t colour);
// The sixteen custom colours of the colour chooser: greys i × 0x101010, the first replaced by
// the current colour.
std::array<int32_t, 16> custom_colours(int32_t current);

} // namespace plox::forms
