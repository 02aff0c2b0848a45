// --export-data --curves: not built yet.
#include "app/cli.h"

namespace plox::app {

int cli_export_curves(const Args&) { return cli_fail("--curves is not available in this build"); }

} // namespace plox::app
