// Entry point: batch options run without a window; anything else starts the application.
#include "app/cli.h"

#include <cstdio>
#include <string_view>

using namespace plox::app;

int main(int argc, char** argv) {
    Args args(argv + 1, argv + argc);
    if (!args.empty()) {
        const std::string_view option = args[0];
        if (option == "--convert") return cli_convert(args);
        if (option == "--export-data") return cli_export_data(args);
        if (option == "--export") return cli_export(args);
        if (option == "--fit-report") return cli_fit_report(args);
        if (option == "--batch") return cli_batch(args);
    }
    return run_gui(argc, argv);
}
