// --fit-report: not built yet.
#include "app/cli.h"

namespace plox::app {

int cli_fit_report(const Args&) { return cli_fail("--fit-report is not available in this build"); }

} // namespace plox::app
