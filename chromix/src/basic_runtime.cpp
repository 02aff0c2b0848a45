#include "basic_runtime.h"

#include <charconv>
#include <cmath>

namespace chromix {

std::string fatal_message(const RuntimeError& error) {
    char line[32];
    std::snprintf(line, sizeof line, " [%u行]", error.statement);
    return "続行不可能なエラーが発生しました " + error.text + line;
}

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_line_end(char c) {
    return c == '\n' || c == '\r';
}

// Parses the whole item; a leading '+' is allowed, as the input statement accepts it.
bool parse_item(std::string_view item, float& value) {
    if (!item.empty() && item.front() == '+') item.remove_prefix(1);
    if (item.empty() || item.front() == '+') return false;
    const char* end = item.data() + item.size();
    auto [ptr, ec] = std::from_chars(item.data(), end, value);
    if (ec == std::errc::result_out_of_range) return false;
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

} // namespace

NumberInput::Status NumberInput::read(float& value) {
    // Line ends and blanks before an item separate it from the previous one.
    int c = in_.peek();
    while (c != EOF && (is_blank(static_cast<char>(c)) || is_line_end(static_cast<char>(c)))) {
        in_.get();
        c = in_.peek();
    }
    if (c == EOF) return Status::PastEnd;

    std::string item;
    while ((c = in_.peek()) != EOF && c != ',' && !is_line_end(static_cast<char>(c))) {
        item.push_back(static_cast<char>(in_.get()));
        if (item.size() > 256) return Status::NotNumeric; // no number is that long
    }
    if (c == ',') in_.get();
    while (!item.empty() && is_blank(item.back()))
        item.pop_back();
    if (item.empty()) {
        value = 0;
        return Status::Ok;
    }
    return parse_item(item, value) ? Status::Ok : Status::NotNumeric;
}

std::string_view status_text(NumberInput::Status status) {
    switch (status) {
    case NumberInput::Status::Ok:
        return "";
    case NumberInput::Status::PastEnd:
        return "Input past end";
    case NumberInput::Status::NotNumeric:
        return "Type mismatch";
    }
    return "";
}

std::string format_number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::string print_zones(std::span<const float> values) {
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) line += ", ";
        line += format_number(values[i]);
    }
    return line;
}

} // namespace chromix
