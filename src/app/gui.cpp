// The windowed program: start-up in order, the message loop, and the modules freed last.
// Hidden options for headless use: --screenshot FILE grabs the window after the first paint
// and ends; --open FILE and --command N (both repeatable) open files and send commands first;
// --size WxH sets the window size; --timing prints start-up and repaint times; --answer-messages
// MS writes message boxes to standard error and answers them as Escape would after MS ms.
#include "app/batch_session.h"
#include "app/cli.h"
#include "app/command_line_files.h"

#include "dialogs/shell_dialogs_qt.h"
#include "platform/prompter_qt.h"
#include "platform/settings_qt.h"
#include "shell/commands_analysis.h"
#include "shell/commands_automation.h"
#include "shell/main_window.h"
#include "shell/page_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace plox::app {

namespace {

struct GuiOptions {
    std::string path;
    std::string screenshot;
    std::vector<std::string> open;
    std::vector<int> commands;
    bool timing = false;
    int width = 0, height = 0;
    int answer_after_ms = -1; // message boxes are shown
};

// Scripts driving a running window: every message goes to standard error and is answered as
// in batch runs once the delay has passed, during which the program goes on handling events
// (the command server among them), as it does while a box is up.
class UnattendedPrompter : public Prompter {
public:
    explicit UnattendedPrompter(int delay_ms) : delay_ms_(delay_ms) {}
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override {
        const Answer answer = lines_.message(title, text, buttons, icon);
        std::fflush(stderr);
        if (delay_ms_ > 0) {
            QEventLoop loop;
            QTimer::singleShot(delay_ms_, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return answer;
    }

private:
    StderrPrompter lines_;
    int delay_ms_;
};

std::optional<std::string> choose_macro(QWidget* parent, const std::string& start) {
    const QString path = QFileDialog::getOpenFileName(
        parent, QString(), QString::fromStdString(start),
        QStringLiteral("PloxWin Macro file(*.qvd)"), nullptr, QFileDialog::ReadOnly);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

GuiOptions parse(int argc, char** argv) {
    GuiOptions o;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--screenshot" && i + 1 < argc)
            o.screenshot = argv[++i];
        else if (a == "--open" && i + 1 < argc)
            o.open.push_back(argv[++i]);
        else if (a == "--command" && i + 1 < argc)
            o.commands.push_back(std::atoi(argv[++i]));
        else if (a == "--timing")
            o.timing = true;
        else if (a == "--answer-messages" && i + 1 < argc)
            o.answer_after_ms = std::max(0, std::atoi(argv[++i]));
        else if (a == "--size" && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &o.width, &o.height);
        else
            rest.push_back(a);
    }
    const std::vector<std::string> files = command_line_files(rest);
    if (!files.empty()) {
        o.path = files.front();
        o.open.insert(o.open.begin(), files.begin() + 1, files.end());
    }
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Repaints of the page while it scrolls one line at a time, the median in milliseconds.
double measure_scroll_repaint(shell::PageWindow* page) {
    std::vector<double> times;
    auto connection = QObject::connect(page, &shell::PageWindow::painted,
                                       [&](double ms) { times.push_back(ms); });
    QScrollBar* bar = page->verticalScrollBar();
    for (int i = 0; i < 40; ++i) {
        bar->setValue(i % 2 ? bar->value() + bar->singleStep()
                            : std::max(0, bar->value() - bar->singleStep() / 2));
        page->viewport()->repaint();
    }
    QObject::disconnect(connection);
    bar->setValue(0);
    return median(times);
}

// Said without holding up the window or taking its keyboard: everything but the command server
// works without a bus. Unattended runs answer it through the prompter like every other message.
void report_missing_bus(shell::MainWindow& window, Prompter& messages, bool unattended) {
    if (unattended) {
        messages.message("Error", shell::NO_BUS_MESSAGE, Buttons::Ok, Icon::Error);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Critical, "Error", shell::NO_BUS_MESSAGE,
                                QMessageBox::Ok, &window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    QTimer::singleShot(0, box, [box] { box->show(); });
}

// --timing and --screenshot act once the page has been painted for the first time.
void after_first_paint(shell::MainWindow& window, QApplication& app, const GuiOptions& options,
                       const QElapsedTimer& since_start) {
    auto first_paint = std::make_shared<bool>(true);
    QObject::connect(window.page(), &shell::PageWindow::painted, &window, [&, first_paint](double) {
        if (!*first_paint) return;
        *first_paint = false;
        const double startup = since_start.nsecsElapsed() / 1e6;
        QTimer::singleShot(0, &window, [&, startup] {
            if (options.timing) {
                const double repaint = measure_scroll_repaint(window.page());
                std::printf("start-up to first paint: %.1f ms\nrepaint while scrolling (median of "
                            "40): %.2f ms\n",
                            startup, repaint);
            }
            if (!options.screenshot.empty()) {
                const bool ok = window.grab().save(QString::fromStdString(options.screenshot));
                if (!ok)
                    std::fprintf(stderr, "ploxwin: cannot write %s\n", options.screenshot.c_str());
                app.exit(ok ? 0 : 1);
            } else if (options.timing) {
                app.exit(0);
            }
        });
    });
}

} // namespace

int run_gui(int argc, char** argv) {
    QElapsedTimer since_start;
    since_start.start();
    GuiOptions options = parse(argc, argv);
    if (!options.screenshot.empty() && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PloxWin"));
    QApplication::setOrganizationName(QStringLiteral("Hexwold"));

    QtSettingsStore store;
    QtPrompter prompter;
    QtShellDialogs dialogs;
    UnattendedPrompter unattended(options.answer_after_ms);
    Prompter& messages = options.answer_after_ms >= 0 ? static_cast<Prompter&>(unattended)
                                                      : static_cast<Prompter&>(prompter);
    // Outlives the window: the window asks it about other copies while it is destroyed.
    std::unique_ptr<shell::WindowAutomation> automation;
    shell::ShellServices services;
    services.store = &store;
    services.prompter = &messages;
    services.dialogs = &dialogs;
    services.run_macro = [&](const std::string& path) {
        return automation && automation->run_file(path);
    };
    services.other_copy_running = [&] { return automation && automation->other_copy_running(); };

    shell::MainWindow window(services);
    prompter.set_parent(&window);
    dialogs.set_parent(&window);
    if (!window.bind_extension()) return 1;
    automation = std::make_unique<shell::WindowAutomation>(
        window, messages, &store,
        [&window](const std::string& start) { return choose_macro(&window, start); });
    const bool server_started = automation->start_server();
    shell::register_analysis_commands(window);
    if (!window.start(options.path)) return 1;
    if (!server_started) report_missing_bus(window, messages, options.answer_after_ms >= 0);
    for (const std::string& path : options.open)
        window.open_file(path, false, shell::OpenSource::CommandLine);
    for (int id : options.commands)
        window.send_command(id);

    after_first_paint(window, app, options, since_start);
    if (options.width > 0 && options.height > 0) {
        window.resize(options.width, options.height);
        window.show();
    } else {
        window.show_as_stored();
    }
    return app.exec();
}

} // namespace plox::app
