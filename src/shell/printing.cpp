// The print commands of the window and the printer set-up kept between them.
#include "shell/printing.h"

#include "dialogs/print_dialogs_qt.h"
#include "document/paths.h"
#include "platform/printer_qt.h"
#include "shell/command_table.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace plox::shell {

namespace {

// The default printer's page, asked on a thread of its own: a print server that does not answer
// must not hold up the window. The answer is taken when it comes.
struct DefaultPrinterQuery {
    std::atomic<bool> done{false};
    std::optional<PageSetup> page; // written before `done`, read after it
};

std::shared_ptr<DefaultPrinterQuery> ask_default_printer() {
    auto query = std::make_shared<DefaultPrinterQuery>();
    std::thread([query] {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull() && info.defaultPageSize().isValid())
            query->page = page_setup_of(info.defaultPageSize(), QPageLayout::Portrait);
        query->done = true;
    }).detach();
    return query;
}

class PrintSupport : public QObject {
public:
    explicit PrintSupport(MainWindow& window) : QObject(&window), window_(window) {
        setObjectName(QStringLiteral("PrintSupport"));
        publish();
        query_ = ask_default_printer();
        auto* poll = new QTimer(this);
        poll->setInterval(50);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            if (!query_->done) return;
            poll->stop();
            take_default_page();
        });
        poll->start();
    }

    ~PrintSupport() override {
        // The query uses Qt's printer support, which goes with the application: let it finish
        // first, for a bounded time in case the print server never answers.
        for (int i = 0; i < 500 && !query_->done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    PageSetup setup() const { return setup_; }
    void set_setup(const PageSetup& setup) {
        setup_ = setup;
        touched_ = true;
        publish();
    }

    // The printer set-up, made on first use after the default printer has answered (Qt's printer
    // support must not be entered from two threads at once).
    QPrinter& printer() {
        if (!printer_) {
            if (!query_->done) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                while (!query_->done)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                QApplication::restoreOverrideCursor();
            }
            take_default_page();
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        }
        return *printer_;
    }
    // A set-up to print on without the dialog: a printer or an output file.
    bool has_kept_printer() {
        QPrinter& p = printer();
        return p.outputFormat() == QPrinter::PdfFormat ? !p.outputFileName().isEmpty()
                                                       : p.isValid() && !p.printerName().isEmpty();
    }

    bool print(bool show_dialog);
    void printer_setup();
    void print_size();

private:
    void take_default_page() {
        if (taken_) return;
        taken_ = true;
        if (query_->page && !touched_) {
            setup_ = *query_->page;
            publish();
            window_.redraw(false);
        }
    }
    void publish() {
        AppState& s = window_.state();
        s.default_page.width_mm = setup_.width_mm;
        s.default_page.height_mm = setup_.length_mm;
        s.default_page.landscape = setup_.landscape;
        s.io.page = page_fields(setup_);
    }
    void refresh_preview() {
        if (window_.state().preview) window_.redraw(true);
    }

    MainWindow& window_;
    PageSetup setup_;
    bool touched_ = false; // the user set the page before the default printer answered
    bool taken_ = false;
    std::shared_ptr<DefaultPrinterQuery> query_;
    std::unique_ptr<QPrinter> printer_;
};

PrintSupport& support(MainWindow& window) {
    auto* s =
        window.findChild<PrintSupport*>(QStringLiteral("PrintSupport"), Qt::FindDirectChildrenOnly);
    if (!s) s = new PrintSupport(window);
    return *s;
}

bool PrintSupport::print(bool show_dialog) {
    AppState& state = window_.state();
    if (print_needs_confirmation(state.graph_count(), state.preview, state.set.show_all) &&
        window_.prompter().message("確認", PRINT_HIDDEN_GRAPHS_QUESTION, Buttons::YesNo,
                                   Icon::Question) != Answer::Yes)
        return false;
    QPrinter& p = printer();
    push_page_setup(p, setup_);
    int copies = 1;
    if (show_dialog || !has_kept_printer()) {
        QPrintDialog dialog(&p, &window_);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        if (dialog.exec() != QDialog::Accepted) return false;
        copies = std::max(1, p.copyCount());
    }

    PrintOptions options;
    options.copies = copies;
    options.scale = state.set.print_scale;
    options.background = state.config.EnableBkColor != 0;
    options.background_color = static_cast<Color>(state.config.BkColor);
    const Graph* first = state.set.graphs.empty() ? nullptr : state.set.graphs.front().get();
    QPointer<PrintAbortDialog> abort = new PrintAbortDialog(
        QString::fromStdString(paths::display_name(first ? first->file_name : std::string())),
        &window_);
    abort->show();
    options.aborted = [&abort] {
        QApplication::processEvents();
        return !abort || abort->aborted();
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintResult result = print_graphs_on(p, state.set, window_.render_context(), options);
    QApplication::restoreOverrideCursor();
    // Closing would count as "中止": the dialog is put away instead.
    if (abort) {
        abort->hide();
        abort->deleteLater();
    }
    window_.activateWindow();
    if (result != PrintResult::Printed)
        window_.prompter().message("Error", PRINT_CANCELED, Buttons::Ok, Icon::Error);
    // What the dialog chose becomes the page set-up.
    if (show_dialog) set_setup(page_setup_of(p));
    refresh_preview();
    return result == PrintResult::Printed;
}

void PrintSupport::printer_setup() {
    QPrinter& p = printer();
    push_page_setup(p, setup_);
    QPageSetupDialog dialog(&p, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    set_setup(page_setup_of(p));
    refresh_preview();
}

void PrintSupport::print_size() {
    PrintSizeForm form;
    AppState& state = window_.state();
    form.load(setup_, state.set.print_scale);
    PrintSizeDialog dialog(form, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    PageSetup setup = setup_;
    int scale = state.set.print_scale;
    dialog.form().apply(setup, scale);
    state.set.print_scale = scale;
    state.default_page.print_scale = scale;
    set_setup(setup);
    refresh_preview();
}

} // namespace

void register_print_commands(MainWindow& window) {
    PrintSupport& s = support(window);
    window.set_handler(cmd::Print, [&s] { s.print(true); });
    window.set_handler(cmd::PrinterSetup, [&s] { s.printer_setup(); });
    window.set_handler(cmd::PaperSetup, [&s] { s.print_size(); });
}

bool print_graphs(MainWindow& window, bool show_dialog) {
    return support(window).print(show_dialog);
}

QPrinter& kept_printer(MainWindow& window) {
    return support(window).printer();
}

PageSetup page_setup(MainWindow& window) {
    return support(window).setup();
}

void set_page_setup(MainWindow& window, const PageSetup& setup) {
    support(window).set_setup(setup);
}

} // namespace plox::shell
