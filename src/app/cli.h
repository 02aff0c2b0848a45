// Batch entry points of the program: each takes the whole argument list (args[0] is the
// option) and returns the process exit status. Each runs through one BatchSession.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plox::app {

using Args = std::vector<std::string>;

int cli_convert(const Args& args);       // --convert OUT.qvp DOC [--with-data] [--16bit]
int cli_export_data(const Args& args);   // --export-data OUT DOC --series S [--graph G] [--curves]
int cli_export(const Args& args);        // --export OUT DOC [--dpi N]
int cli_fit_report(const Args& args);    // --fit-report DOC
int cli_batch(const Args& args);         // --batch MACRO.qvd [--save OUT]
int cli_export_curves(const Args& args); // --export-data ... --curves (called by cli_export_data)
int run_gui(int argc, char** argv);      // the windowed program

// Value of "--name VALUE" in args, or empty when absent.
std::string option_value(const Args& args, std::string_view name);
bool has_flag(const Args& args, std::string_view name);
// The whole number given with `name`, `fallback` when the option is absent, 0 when its value
// is not a whole number >= 1.
int positive_option(const Args& args, std::string_view name, int fallback);
// The arguments after args[0] that are neither options nor the values of `valued` options.
std::vector<std::string> positionals(const Args& args, std::vector<std::string_view> valued = {});

} // namespace plox::app
