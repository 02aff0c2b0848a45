// --export-data: not built yet.
#include "app/cli.h"

namespace plox::app {

int cli_export_data(const Args& args) {
    if (has_flag(args, "--curves")) return cli_export_curves(args);
    return cli_fail("--export-data is not available in this build");
}

} // namespace plox::app
