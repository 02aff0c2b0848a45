// Argument helpers shared by the batch entry points.
#include "app/cli.h"

#include <algorithm>
#include <charconv>

namespace plox::app {

std::string option_value(const Args& args, std::string_view name) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) return args[i + 1];
    return {};
}

bool has_flag(const Args& args, std::string_view name) {
    return std::find(args.begin(), args.end(), name) != args.end();
}

int positive_option(const Args& args, std::string_view name, int fallback) {
    if (!has_flag(args, name)) return fallback;
    const std::string text = option_value(args, name);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && value > 0
               ? value
               : 0;
}

std::vector<std::string> positionals(const Args& args, std::vector<std::string_view> valued) {
    std::vector<std::string> result;
    for (size_t i = 1; i < args.size(); ++i) {
        if (std::find(valued.begin(), valued.end(), args[i]) != valued.end()) {
            ++i;
        } else if (!args[i].starts_with("--")) {
            result.push_back(args[i]);
        }
    }
    return result;
}

} // namespace plox::app
