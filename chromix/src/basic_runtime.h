// The few run-time facilities the tool needs: sequential numeric input, print-zone output
// and the fatal-error report, all in single precision.
#pragma once

#include <cstdio>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace chromix {

// A fatal run-time error: its text and the number of the statement that failed.
struct RuntimeError {
    std::string text;
    unsigned statement = 0;
};

// "続行不可能なエラーが発生しました %s [%u行]"
std::string fatal_message(const RuntimeError& error);

// Reads numbers one item at a time; items are separated by commas or line ends, blanks
// around an item are ignored, and an empty item between two commas reads as 0.
class NumberInput {
public:
    explicit NumberInput(std::istream& in) : in_(in) {}

    enum class Status { Ok, PastEnd, NotNumeric };
    Status read(float& value);

private:
    std::istream& in_;
};

std::string_view status_text(NumberInput::Status status);

// Single-precision number as the print statement shows it (up to 7 significant digits).
std::string format_number(float value);
// Items in consecutive print zones: ", " between them, so the line reads as CSV.
std::string print_zones(std::span<const float> values);

} // namespace chromix
