// Small helpers shared by the batch entry points.
#include "app/cli.h"

#include <cstdio>

namespace plox::app {

int cli_fail(std::string_view message) {
    std::fprintf(stderr, "ploxwin: %.*s\n", static_cast<int>(message.size()), message.data());
    return 1;
}

std::string option_value(const Args& args, std::string_view name) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) return args[i + 1];
    return {};
}

bool has_flag(const Args& args, std::string_view name) {
    for (const auto& a : args)
        if (a == name) return true;
    return false;
}

} // namespace plox::app
