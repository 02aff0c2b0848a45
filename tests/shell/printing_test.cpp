// Printing to PDF files through QPrinter (no print server needed): one job per copy, the page
// size pushed into the printer, the graph's text and lines on the page, the question about
// hidden graphs, cancelled jobs; and data pasted from the clipboard as a series.
#include "data/series_builder.h"
#include "dialogs/sheet_widgets.h"
#include "document/paths.h"
#include "platform/printer_qt.h"
#include "platform/settings_qt.h"
#include "shell/main_window.h"
#include "shell/printing.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace plox::shell {

namespace {

class ScriptedPrompter : public Prompter {
public:
    Answer message(std::string_view, std::string_view text, Buttons, Icon) override {
        shown.emplace_back(text);
        if (answers.empty()) return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<Answer> answers;
    std::vector<std::string> shown;
};

// Output of a poppler tool run on a file.
QString run_tool(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdf_text(const QString& pdf) {
    return run_tool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
}

QString pdf_page_size(const QString& pdf) {
    const QString info = run_tool(QStringLiteral("pdfinfo"), {pdf});
    const int at = info.indexOf(QStringLiteral("Page size:"));
    return at < 0 ? QString() : info.mid(at + 10).section(QLatin1Char('\n'), 0, 0).trimmed();
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_application();
        ASSERT_TRUE(config_.isValid() && files_.isValid());
        qputenv("PLOXWIN_CONFIG_DIR", config_.path().toUtf8());
        store_ = std::make_unique<QtSettingsStore>();
        // The series sheet of pasted data ends with OK at once.
        dialogs::run_dialog = [](QDialog& d) {
            d.accept();
            return static_cast<int>(QDialog::Accepted);
        };
    }
    void TearDown() override {
        dialogs::run_dialog = [](QDialog& d) { return d.exec(); };
    }
    std::unique_ptr<MainWindow> make_window() {
        ShellServices s;
        s.store = store_.get();
        s.prompter = &prompter_;
        return std::make_unique<MainWindow>(s);
    }
    std::unique_ptr<MainWindow> demo_window() {
        auto w = make_window();
        w->bind_extension();
        EXPECT_TRUE(w->start(PLOX_SOURCE_DIR "/examples/demo.qvp"));
        return w;
    }
    QString file(const char* name) const { return files_.filePath(QString::fromUtf8(name)); }
    // Directs the kept printer of the window to a PDF file.
    QPrinter& pdf_printer(MainWindow& w, const QString& path) {
        QPrinter& p = kept_printer(w);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(path);
        p.setResolution(600);
        return p;
    }

    QTemporaryDir config_, files_;
    std::unique_ptr<QtSettingsStore> store_;
    ScriptedPrompter prompter_;
};

} // namespace

TEST_F(PrintingTest, EachCopyIsAJobOfItsOwnWithTheGraphOnAnA4Page) {
    auto w = demo_window();
    QPrinter& printer = pdf_printer(*w, file("unused.pdf"));
    push_page_setup(printer, PageSetup{});
    PrintOptions options;
    options.copies = 3;
    std::vector<QString> jobs;
    options.before_job = [&](int copy) {
        jobs.push_back(file("copy%1.pdf").arg(copy));
        printer.setOutputFileName(jobs.back());
    };
    ASSERT_EQ(print_graphs_on(printer, w->state().set, w->render_context(), options),
              PrintResult::Printed);
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(printer.docName(), "PloxWin");
    for (const QString& job : jobs) {
        EXPECT_TRUE(pdf_page_size(job).endsWith(QStringLiteral("(A4)"))) << job.toStdString();
        const QString text = pdf_text(job);
        EXPECT_TRUE(text.contains(QStringLiteral("simulated"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("measured")));
        EXPECT_TRUE(text.contains(QStringLiteral("Time")));
    }
    EXPECT_FALSE(QFile::exists(file("unused.pdf")));

    // The frame's left edge is drawn where the graph puts it (40 mm from the printable
    // area's corner at 100 %): a dark vertical line in a 50 dpi rendering.
    const Graph& g = *w->state().current();
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                 QStringLiteral("-singlefile"), jobs[0], file("page")}),
              0);
    const QImage page(file("page.png"));
    ASSERT_FALSE(page.isNull());
    const double px_per_unit = 50 / 2540.0;
    const int top = int((g.frame_top + 200) * px_per_unit);
    const int bottom = int((g.frame_top + g.frame_height - 200) * px_per_unit);
    const int left = int(std::lround(g.frame_left * px_per_unit));
    int dark_rows = 0;
    for (int y = top; y < bottom; ++y) {
        bool dark = false;
        for (int x = left - 2; x <= left + 2; ++x)
            dark = dark || qGray(page.pixel(x, y)) < 128;
        dark_rows += dark;
    }
    EXPECT_GE(dark_rows, (bottom - top) * 9 / 10);
}

TEST_F(PrintingTest, PageSetupGoesIntoThePrinterAndComesBack) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    push_page_setup(printer, PageSetup{paper::Free, 1000, 1000, false});
    EXPECT_EQ(page_setup_of(printer), (PageSetup{paper::Free, 1000, 1000, false}));
    push_page_setup(printer, PageSetup{paper::B5, 182, 257, true});
    EXPECT_EQ(page_setup_of(printer), (PageSetup{paper::B5, 182, 257, true}));
    push_page_setup(printer, PageSetup{paper::A3, 1, 1, false}); // the kind decides the size
    EXPECT_EQ(page_setup_of(printer), (PageSetup{paper::A3, 297, 420, false}));
    EXPECT_EQ(page_setup_of(QPageSize(QPageSize::Letter), QPageLayout::Portrait),
              (PageSetup{paper::Free, 215, 279, false}));

    // A metre-square page prints with its extent halved into range.
    printer.setOutputFileName(file("metre.pdf"));
    push_page_setup(printer, PageSetup{paper::Free, 1000, 1000, false});
    GraphSet set;
    set.graphs.push_back(std::make_unique<Graph>());
    ASSERT_EQ(print_graphs_on(printer, set, RenderContext{}, PrintOptions{}), PrintResult::Printed);
    // Qt writes page sizes in whole points.
    EXPECT_EQ(pdf_page_size(file("metre.pdf")), QStringLiteral("2835 x 2835 pts"));
}

TEST_F(PrintingTest, WithoutDialogOneGraphAsksNothingAndSeveralAskFirst) {
    auto w = demo_window();
    pdf_printer(*w, file("off.pdf"));
    EXPECT_TRUE(print_graphs(*w, false));
    EXPECT_TRUE(prompter_.shown.empty());
    // The abort dialog is gone and nothing blocks the window any longer.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(pdf_text(file("off.pdf")).contains(QStringLiteral("measured")));

    w->send_command(220); // a second graph, the only one shown
    pdf_printer(*w, file("refused.pdf"));
    prompter_.answers = {Answer::No};
    EXPECT_FALSE(print_graphs(*w, false));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0], "CRT上に表示されていない\nグラフも印刷されます");
    EXPECT_FALSE(QFile::exists(file("refused.pdf")));

    w->state().set.show_all = true; // every graph is on the screen: nothing to ask
    EXPECT_TRUE(print_graphs(*w, false));
    EXPECT_EQ(prompter_.shown.size(), 1u);
    EXPECT_TRUE(QFile::exists(file("refused.pdf")));
}

TEST_F(PrintingTest, AJobThatCannotStartIsReportedAsCanceled) {
    auto w = demo_window();
    pdf_printer(*w, file("no/such/folder/x.pdf"));
    EXPECT_FALSE(print_graphs(*w, false));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0], "Print was canceled");

    // The abort mark ends the job and the copies after it.
    QPrinter& p = pdf_printer(*w, file("aborted.pdf"));
    PrintOptions options;
    options.copies = 2;
    int jobs = 0;
    options.before_job = [&](int) { ++jobs; };
    options.aborted = [] { return true; };
    EXPECT_EQ(print_graphs_on(p, w->state().set, w->render_context(), options),
              PrintResult::Canceled);
    EXPECT_EQ(jobs, 1);
}

TEST_F(PrintingTest, PageSetupReachesPreviewAndSavedDocuments) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    set_page_setup(*w, PageSetup{paper::A3, 297, 420, true});
    EXPECT_EQ(w->state().default_page.width_mm, 297);
    EXPECT_EQ(w->state().default_page.height_mm, 420);
    EXPECT_TRUE(w->state().default_page.landscape);
    ASSERT_TRUE(w->state().io.page);
    EXPECT_EQ(w->state().io.page->paper_code, 1);
    EXPECT_EQ(w->state().io.page->landscape, 1);
}

TEST_F(PrintingTest, PastedTextBecomesATwoPointSeries) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    QApplication::clipboard()->setText(QStringLiteral("1 2\r\n3 4"));
    w->send_command(115);
    const Graph& g = *w->state().current();
    ASSERT_EQ(g.series_count, 1);
    const std::string path = g.series[0].file_name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1 2\r\n3 4");
    EXPECT_EQ(g.unmodified, 0);
    Graph copy = g;
    const auto points = build_series(copy, 0, 0);
    ASSERT_TRUE(points);
    EXPECT_EQ(points->x, (std::vector<double>{1, 3}));
    EXPECT_EQ(points->y, (std::vector<double>{2, 4}));
    // Deleted with the program's other temporary data files.
    const auto& temporary = w->state().io.extracted_files;
    EXPECT_NE(std::find(temporary.begin(), temporary.end(), path), temporary.end());
    w->state().io.extracted_files.clear();
    std::remove(path.c_str());
}

} // namespace plox::shell
