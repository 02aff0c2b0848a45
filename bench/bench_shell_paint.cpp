// Painting the page window of the demo document at 100 % zoom: a first paint (the graph body
// recorded, then replayed) and repaints of the cached page while it scrolls, into an image of
// the window's size and through the widget itself. Target: a cached repaint under 16 ms.
#include "settings/store.h"
#include "shell/main_window.h"
#include "shell/page_window.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using plox::shell::MainWindow;

struct Program {
    Program() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_shell_paint";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        plox::shell::ShellServices services;
        services.store = &store;
        services.prompter = &prompter;
        window = std::make_unique<MainWindow>(services);
        window->bind_extension();
        window->start(PLOX_SOURCE_DIR "/examples/demo.qvp");
        window->resize(1000, 760);
        window->show();
        QApplication::processEvents();
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

void paint_into(QImage& image, plox::shell::PageWindow* page) {
    QPainter painter(&image);
    page->paint_page(painter, image.rect());
}

void BM_FirstPaint(benchmark::State& state) {
    auto* page = program().window->page();
    QImage image(page->viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        program().window->state().drawings_valid = false; // drops the cached bodies
        paint_into(image, page);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_FirstPaint)->Unit(benchmark::kMillisecond);

void BM_CachedRepaintScrolling(benchmark::State& state) {
    auto* page = program().window->page();
    QImage image(page->viewport()->size(), QImage::Format_RGB32);
    QScrollBar* bar = page->verticalScrollBar();
    paint_into(image, page);
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ % 8) * bar->singleStep());
        paint_into(image, page);
        benchmark::DoNotOptimize(image.bits());
    }
    bar->setValue(0);
}
BENCHMARK(BM_CachedRepaintScrolling)->Unit(benchmark::kMillisecond);

void BM_WidgetRepaintScrolling(benchmark::State& state) {
    auto* page = program().window->page();
    QScrollBar* bar = page->verticalScrollBar();
    page->viewport()->repaint();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ % 8) * bar->singleStep());
        page->viewport()->repaint();
    }
    bar->setValue(0);
}
BENCHMARK(BM_WidgetRepaintScrolling)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
