// Conversions of the converter module.
#include "convert.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace ploxfil {
namespace {

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool is_comment(std::string_view line) {
    const size_t i = line.find_first_not_of(" \t");
    return i != std::string_view::npos && (line[i] == '#' || line[i] == '%' || line[i] == '\'');
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// One CSV record: fields separated by `separator`, double quotes taken off ("" is a quote).
std::vector<std::string> csv_fields(std::string_view line, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == separator && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

std::string convert_csv(std::string_view text) {
    const std::vector<std::string_view> lines = split_lines(text);
    std::string out;
    bool header_done = false;
    for (const std::string_view line : lines) {
        if (blank(line) || is_comment(line)) {
            out.append(line).append("\r\n");
            continue;
        }
        // A semicolon in the first record says that commas are decimal signs.
        const char separator = line.find(';') != std::string_view::npos ? ';' : ',';
        std::vector<std::string> fields = csv_fields(line, separator);
        if (!header_done) {
            header_done = true;
            out += "#";
            for (const std::string& f : fields)
                out.append(" ").append(f);
            out += "\r\n";
            continue;
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            std::string f = fields[i];
            if (separator == ';') std::replace(f.begin(), f.end(), ',', '.');
            f.erase(0, std::min(f.find_first_not_of(' '), f.size()));
            if (i > 0) out += ',';
            out += f;
        }
        out += "\r\n";
    }
    return out;
}

std::string convert_decimal_comma(std::string_view text) {
    std::string out;
    for (const std::string_view line : split_lines(text)) {
        if (is_comment(line)) {
            out.append(line).append("\r\n");
            continue;
        }
        std::string converted;
        bool gap = false;
        for (const char c : line) {
            if (c == ' ' || c == '\t' || c == ';') {
                gap = !converted.empty();
                continue;
            }
            if (gap) converted += ' ';
            gap = false;
            converted += c == ',' ? '.' : c;
        }
        out.append(converted).append("\r\n");
    }
    return out;
}

int32_t check_first_line(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t%#");
    if (start == std::string_view::npos) return -1;
    const std::string rest = lower(line.substr(start));
    // Only the layout of version 5.3 is read.
    if (rest.rfind("ngraph", 0) != 0 || rest.find("5.3") == std::string::npos) return -1;
    return rest.find("data") != std::string::npos ? 1 : 0;
}

} // namespace ploxfil
