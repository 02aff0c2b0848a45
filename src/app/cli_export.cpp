// --export OUT DOC [--dpi N]: the page of a document as PNG, PDF or SVG, without a window.
#include "app/batch_session.h"
#include "app/cli.h"
#include "document/file_access.h"

#include "platform/page_export.h"

#include <filesystem>

namespace plox::app {

int cli_export(const Args& args) {
    if (args.size() < 3 || args[1].starts_with("--") || args[2].starts_with("--"))
        return cli_fail("usage: ploxwin --export OUT.{png,pdf,svg} DOC [--dpi N]");
    const std::string& out = args[1];
    const std::string& doc = args[2];
    for (size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--dpi" && i + 1 < args.size()) {
            ++i;
            continue;
        }
        return cli_fail("unknown option for --export: " + args[i]);
    }
    const int dpi = positive_option(args, "--dpi", 150);
    if (dpi < 10 || dpi > 2400)
        return cli_fail("--dpi needs a whole number from 10 to 2400, not \"" +
                        option_value(args, "--dpi") + "\"");
    if (export_format_of(out) == ExportFormat::Unknown)
        return cli_fail("cannot tell the format of " + out + " (use .png, .pdf or .svg)");
    if (!files::is_regular(doc)) return cli_fail("no such document: " + doc);

    BatchSession session;
    session.enable_painting();
    // Without the module the page still exports, only without fits and extension analyses.
    session.bind_modules(BatchSession::Modules::Optional);
    if (!session.load(doc)) return 1;
    RenderContext context = session.render_context();
    GraphSet& set = session.graphs();
    const ExportResult result =
        export_page(set, out, page_size_of(*set.graphs.front()), dpi, context);
    if (!result.ok) return cli_fail(result.message);
    return 0;
}

} // namespace plox::app
