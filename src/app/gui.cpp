// The windowed program: not built yet.
#include "app/cli.h"

#include <cstdio>

namespace plox::app {

int run_gui(int, char**) {
    std::fputs("usage: ploxwin --convert OUT.qvp DOC [--with-data]\n", stderr);
    return 2;
}

} // namespace plox::app
