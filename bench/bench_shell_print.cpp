// Printing to a PDF file at 600 dpi through QPrinter, as the print command streams pages to a
// printer's paint engine: the demo document on A4, one graph of 320,000 points, and twenty such
// graphs on A3. Peak memory is the process' maximum resident size after the case (run one case
// per process with --benchmark_filter to read it for that case alone).
#include "data/series_builder.h"
#include "document/document_io.h"
#include "platform/printer_qt.h"
#include "settings/store.h"
#include "shell/main_window.h"

#include "data_files.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <benchmark/benchmark.h>

#include <memory>
#include <sys/resource.h>

namespace {

using plox::shell::MainWindow;

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_shell_print";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        plox::shell::ShellServices services;
        services.store = &store;
        services.prompter = &prompter;
        window = std::make_unique<MainWindow>(services);
        window->bind_extension();
    }
    std::unique_ptr<QApplication> app;
    plox::MemorySettingsStore store;
    plox::RecordingPrompter prompter;
    std::unique_ptr<MainWindow> window;
};

Program& program() {
    static Program p;
    return p;
}

double peak_rss_mib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A graph of the 320,000-point file drawn as a solid line, with markers of `plot_type` (0: none),
// on automatic axes.
std::unique_ptr<plox::Graph> big_graph(const std::string& data, int index, int plot_type) {
    auto g = std::make_unique<plox::Graph>();
    g->frame_left = 2000 + (index % 4) * 6500;
    g->frame_top = 2000 + (index / 4) * 7500;
    g->frame_width = 5000;
    g->frame_height = 5000;
    plox::Series& s = g->series[0];
    s.file_name = data;
    s.LineType = 1;
    s.PlotType = plot_type;
    g->series_count = 1;
    g->scales_valid = 0;
    return g;
}

void print_set(benchmark::State& state, plox::GraphSet& set, plox::PageSetup page) {
    Program& p = program();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    const QString path = QDir::temp().filePath(QStringLiteral("plox_bench_print.pdf"));
    printer.setOutputFileName(path);
    plox::push_page_setup(printer, page);
    for (auto _ : state) {
        const auto result =
            plox::print_graphs_on(printer, set, p.window->render_context(), plox::PrintOptions{});
        benchmark::DoNotOptimize(result);
    }
    state.counters["pdf_MiB"] = QFileInfo(path).size() / 1048576.0;
    state.counters["peak_rss_MiB"] = peak_rss_mib();
    QFile::remove(path);
}

void BM_PrintDemoA4(benchmark::State& state) {
    plox::GraphSet set;
    plox::IoContext io;
    io.ask_before_overwrite = false;
    if (!plox::load_document(PLOX_SOURCE_DIR "/examples/demo.qvp", set, io).ok()) {
        state.SkipWithError("cannot read the demo");
        return;
    }
    print_set(state, set, plox::PageSetup{});
}
BENCHMARK(BM_PrintDemoA4)->Unit(benchmark::kMillisecond);

void BM_PrintGraphs320k(benchmark::State& state) {
    const std::string data = plox::bench::two_column_file(' ');
    plox::GraphSet set;
    for (int i = 0; i < state.range(0); ++i)
        set.graphs.push_back(big_graph(data, i, static_cast<int>(state.range(1))));
    print_set(state, set, plox::PageSetup{plox::paper::A3, 297, 420, false});
}
// Arguments: graphs, plot type (0 a line only, 2 a line with a marker at every point). Qt's PDF
// engine holds a page's content uncompressed until the page ends (~700 bytes a marker), so twenty
// graphs with 320,000 markers each would need gigabytes; one such graph is measured instead.
BENCHMARK(BM_PrintGraphs320k)
    ->Args({1, 0})
    ->Args({20, 0})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
