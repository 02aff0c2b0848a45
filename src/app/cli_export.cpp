// --export: not built yet.
#include "app/cli.h"

namespace plox::app {

int cli_export(const Args&) { return cli_fail("--export is not available in this build"); }

} // namespace plox::app
