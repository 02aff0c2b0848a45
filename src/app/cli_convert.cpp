// --convert OUT DOC [--with-data] [--16bit]: reads any document the program reads (older
// versions, bundles, Ngraph projects) and writes it as a version 1.8 document, or in the 1.5
// layout of the 16-bit edition (a bundle stays a bundle), then prints what it read.
#include "app/batch_session.h"
#include "app/cli.h"

#include "document/graph_ops.h"

#include <algorithm>
#include <cstdio>

namespace plox::app {
namespace {

int used_objects(const Graph& g) {
    return static_cast<int>(std::count_if(g.objects.begin(), g.objects.end(),
                                          [](const GraphObject& o) { return o.used; }));
}

} // namespace

int cli_convert(const Args& args) {
    const std::vector<std::string> files = positionals(args);
    if (files.size() != 2)
        return cli_fail("usage: ploxwin --convert OUT.qvp DOC [--with-data] [--16bit]");
    const std::string& out = files[0];
    const std::string& doc = files[1];

    // Embedded data are restored into the session's folder: the written document embeds them
    // again.
    BatchSession session;
    // The converter module recognises Ngraph projects; without the modules the run goes on.
    session.bind_modules(BatchSession::Modules::Optional);
    if (!session.load(doc)) return 1;
    GraphSet& set = session.graphs();
    IoContext& io = session.io();
    for (const auto& m : session.load_status().missing)
        cli_fail("data file not found: " + set.graphs[m.graph]->series[m.series].file_name);

    std::vector<const Graph*> graphs;
    for (const auto& g : set.graphs)
        graphs.push_back(g.get());
    // A document that carried its data keeps carrying them.
    const bool with_data = with_data_choice(
        graphs, has_flag(args, "--with-data") || session.load_status().with_data, io);
    const bool bundle = !set.bundle_name.empty();
    const bool layout_1_5 = has_flag(args, "--16bit");
    const IoStatus written =
        bundle ? save_bundle(out, set, with_data, io, layout_1_5)
               : save_document(out, *set.current_graph(), with_data, io, layout_1_5);
    if (!written.ok()) return cli_fail("cannot write " + out); // the reason was told before

    for (size_t i = 0; i < set.graphs.size(); ++i) {
        const Graph& g = *set.graphs[i];
        std::printf("graph %zu: %d series, %d objects\n", i + 1, g.series_count, used_objects(g));
    }
    return 0;
}

} // namespace plox::app
