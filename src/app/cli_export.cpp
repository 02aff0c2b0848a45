// --export OUT DOC [--dpi N]: the page of a document as PNG, PDF or SVG, or its picture (the
// graphs with 10 mm around them, as the export command takes it) as EMF or WMF, without a window.
#include "app/batch_session.h"
#include "app/cli.h"
#include "document/file_access.h"

#include "output/metafile_export.h"
#include "platform/metafile_text_qt.h"
#include "platform/page_export.h"
#include "platform/qt_text_measurer.h"
#include "render/graph_drawing.h"

#include <filesystem>

namespace plox::app {

namespace {

bool is_metafile_name(const std::string& path) {
    const std::filesystem::path p(path);
    std::string ext = p.extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".emf" || ext == ".wmf";
}

// The picture region needs every graph's extent, which a drawing records.
int export_metafile(GraphSet& set, const std::string& out, RenderContext context) {
    const QtTextMeasurer measurer;
    context.measurer = &measurer;
    context.metafile = true;
    RecordingSurface scratch;
    for (auto& g : set.graphs)
        if (g) draw_graph(scratch, *g, context);
    const Rect region = picture_region(set, std::nullopt);
    const QtMetafileText text;
    const std::vector<uint8_t> bytes =
        metafile_format_of(out) == MetafileFormat::Placeable
            ? build_placeable_metafile(set, region, 100, context)
            : build_enhanced_metafile(set, region, 100, context, text);
    if (!write_file_atomically(out, bytes)) return cli_fail("cannot write " + out);
    return 0;
}

} // namespace

int cli_export(const Args& args) {
    if (args.size() < 3 || args[1].starts_with("--") || args[2].starts_with("--"))
        return cli_fail("usage: ploxwin --export OUT.{png,pdf,svg,emf,wmf} DOC [--dpi N]");
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
    if (export_format_of(out) == ExportFormat::Unknown && !is_metafile_name(out))
        return cli_fail("cannot tell the format of " + out +
                        " (use .png, .pdf, .svg, .emf or .wmf)");
    if (!files::is_regular(doc)) return cli_fail("no such document: " + doc);

    BatchSession session;
    session.enable_painting();
    // Without the module the page still exports, only without fits and extension analyses.
    session.bind_modules(BatchSession::Modules::Optional);
    if (!session.load(doc)) return 1;
    RenderContext context = session.render_context();
    GraphSet& set = session.graphs();
    if (is_metafile_name(out)) return export_metafile(set, out, context);
    const ExportResult result =
        export_page(set, out, page_size_of(*set.graphs.front()), dpi, context);
    if (!result.ok) return cli_fail(result.message);
    return 0;
}

} // namespace plox::app
