// --export-data OUT DOC --series S [--graph G]: the points of one series as plotted (after
// transforms, averaging and masks, outside the axes marked missing) in the data export format.
#include "app/cli.h"

#include "data/converter.h"
#include "data/point_export.h"
#include "data/reader.h"
#include "document/document_io.h"
#include "document/prompter.h"
#include "extension/bindings.h"
#include "extension/module.h"
#include "render/axes.h"
#include "render/render_context.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>

namespace plox::app {

namespace {

// Messages of reading and building go to standard error, one line each.
class ErrorLinePrompter : public Prompter {
public:
    Answer message(std::string_view, std::string_view text, Buttons, Icon) override {
        std::fprintf(stderr, "ploxwin: %.*s\n", static_cast<int>(text.size()), text.data());
        return Answer::Ok;
    }
};

// Converted copies of foreign data files live only as long as the command.
class CommandTemporaryFiles : public TemporaryFiles {
public:
    ~CommandTemporaryFiles() override {
        for (const auto& path : paths_)
            std::remove(path.c_str());
    }
    void add(const std::string& path) override { paths_.push_back(path); }

private:
    std::vector<std::string> paths_;
};

// A positive number given with `name`, `fallback` when absent, 0 when malformed.
int positive_option(const Args& args, std::string_view name, int fallback) {
    const std::string text = option_value(args, name);
    if (text.empty()) return has_flag(args, name) ? 0 : fallback;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value > 0 ? value : 0;
}

std::vector<std::string> file_arguments(const Args& args) {
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--series" || args[i] == "--graph") {
            ++i;
        } else if (args[i].rfind("--", 0) != 0) {
            files.push_back(args[i]);
        }
    }
    return files;
}

} // namespace

int cli_export_data(const Args& args) {
    if (has_flag(args, "--curves")) return cli_export_curves(args);
    const auto files = file_arguments(args);
    if (files.size() != 2)
        return cli_fail("usage: ploxwin --export-data OUT DOC --series S [--graph G]");
    const int series_number = positive_option(args, "--series", 0);
    const int graph_number = positive_option(args, "--graph", 1);
    if (series_number < 1) return cli_fail("--series needs a series number from 1");
    if (graph_number < 1) return cli_fail("--graph needs a graph number from 1");

    // Without the extension module the points are still exported; only its extra functions
    // and converters are missing then.
    RecordingPrompter quiet;
    const ModuleBinding binding = bind_modules(quiet);
    std::unique_ptr<ModuleFunctions> functions;
    std::unique_ptr<ModuleDocumentLines> lines;
    if (binding.ok()) {
        functions = std::make_unique<ModuleFunctions>(*binding.extension);
        lines = std::make_unique<ModuleDocumentLines>(*binding.extension, binding.converter.get());
    }
    ModuleConverter converter(binding.ok() ? binding.converter.get() : nullptr);

    ErrorLinePrompter prompter;
    IoContext io;
    io.prompter = &prompter;
    io.extension = lines.get();
    io.ask_before_overwrite = false;
    GraphSet set;
    const IoStatus read = load_document(files[1], set, io);
    if (!read.ok()) return read.message.empty() ? cli_fail("cannot read " + files[1]) : 1;
    if (graph_number > static_cast<int>(set.graphs.size()))
        return cli_fail("the document has no graph " + std::to_string(graph_number));
    Graph& graph = *set.graphs[static_cast<size_t>(graph_number - 1)];
    if (series_number > std::min(graph.series_count, MAX_SERIES))
        return cli_fail("graph " + std::to_string(graph_number) + " has no series " +
                        std::to_string(series_number));

    CommandTemporaryFiles temporary;
    const DataContext data{&prompter, functions.get(), &converter, &temporary};
    // The axes as the drawing would use them: automatic ranges decide what lies outside.
    RenderContext render;
    render.prompter = &prompter;
    render.data = data;
    prepare_axes(graph, render);

    const int index = series_number - 1;
    const auto points = exported_points(graph, index, data);
    if (!points)
        return cli_fail("series " + std::to_string(series_number) + " has no points (" +
                        display_name(graph.series[static_cast<size_t>(index)].file_name) + ")");

    std::ofstream out(files[0], std::ios::binary | std::ios::trunc);
    out << format_exported_points(points->x, points->y);
    out.close();
    if (!out) return cli_fail("cannot write " + files[0]);
    return 0;
}

} // namespace plox::app
