// --convert: not built yet.
#include "app/cli.h"

namespace plox::app {

int cli_convert(const Args&) { return cli_fail("--convert is not available in this build"); }

} // namespace plox::app
