// --convert OUT DOC [--with-data]: reads any document the program reads and writes it as a
// version 1.8 document (a bundle stays a bundle), then prints what it read.
#include "app/cli.h"

#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/prompter.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace plox::app {
namespace {

std::string one_line(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

int used_objects(const Graph& g) {
    return static_cast<int>(std::count_if(g.objects.begin(), g.objects.end(),
                                          [](const GraphObject& o) { return o.used; }));
}

} // namespace

int cli_convert(const Args& args) {
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i].rfind("--", 0) != 0) positional.push_back(args[i]);
    if (positional.size() != 2)
        return cli_fail("usage: ploxwin --convert OUT.qvp DOC [--with-data]");
    const std::string& out = positional[0];
    const std::string& doc = positional[1];

    // Embedded data are restored into a private folder: the written document embeds them again.
    QTemporaryDir temp(QDir::tempPath() + "/ploxwin-convert-XXXXXX");
    if (!temp.isValid()) return cli_fail("cannot create a temporary folder");

    RecordingPrompter prompter(Answer::Yes);
    IoContext ctx;
    ctx.prompter = &prompter;
    ctx.temp_dir = temp.path().toStdString() + "/";
    ctx.ask_before_overwrite = false;

    GraphSet set;
    const IoStatus read = load_document(doc, set, ctx);
    if (!read.ok())
        return cli_fail(one_line(read.message.empty() ? "nothing was read" : read.message));
    for (const auto& shown : prompter.shown)
        std::fprintf(stderr, "ploxwin: %s\n", one_line(shown.text).c_str());
    for (const auto& m : read.missing)
        std::fprintf(stderr, "ploxwin: data file not found: %s\n",
                     set.graphs[m.graph]->series[m.series].file_name.c_str());
    prompter.shown.clear();

    std::vector<const Graph*> graphs;
    for (const auto& g : set.graphs)
        graphs.push_back(g.get());
    // A document that carried its data keeps carrying them.
    const bool with_data =
        with_data_choice(graphs, has_flag(args, "--with-data") || read.with_data, ctx);
    const bool bundle = !set.bundle_name.empty();
    const IoStatus written = bundle ? save_bundle(out, set, with_data, ctx)
                                    : save_document(out, *set.current_graph(), with_data, ctx);
    if (!written.ok()) return cli_fail(one_line(written.message));

    for (size_t i = 0; i < set.graphs.size(); ++i) {
        const Graph& g = *set.graphs[i];
        std::printf("graph %zu: %d series, %d objects\n", i + 1, g.series_count, used_objects(g));
    }
    return 0;
}

} // namespace plox::app
