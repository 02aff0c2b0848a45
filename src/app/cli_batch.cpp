// --batch MACRO.qvd [--save OUT]: runs a macro file without a window, as Ctrl+M runs it, and
// saves the graphs: one graph as a document, several as a bundle.
#include "app/batch_session.h"
#include "app/cli.h"
#include "automation/core_host.h"
#include "output/page_setup.h"
#include "platform/printer_qt.h"
#include "platform/settings_qt.h"
#include "settings/user_config.h"

#include <QPrinter>

namespace plox::app {

namespace {

// Nobody is there to answer the print dialog: every "Print" prints as "Print off" does, on the
// default printer; without one the print is canceled and says so.
class BatchHost : public CoreAutomationHost {
public:
    BatchHost(BatchSession& session, const SettingsStore& store, const UserConfig& config)
        : CoreAutomationHost(session.graphs(), session.io(), session.prompter(), &store),
          session_(session), config_(config) {}

    void print(bool) override {
        GraphSet& set = session_.graphs();
        if (print_needs_confirmation(static_cast<int>(set.graphs.size()), false, set.show_all) &&
            prompter_.message("確認", PRINT_HIDDEN_GRAPHS_QUESTION, Buttons::YesNo,
                              Icon::Question) != Answer::Yes)
            return;
        session_.enable_painting();
        QPrinter printer(QPrinter::HighResolution);
        PrintOptions options;
        options.scale = set.print_scale;
        options.background = config_.EnableBkColor != 0;
        options.background_color = static_cast<Color>(config_.BkColor);
        const bool has_printer = printer.isValid() && !printer.printerName().isEmpty();
        if (!has_printer || print_graphs_on(printer, set, session_.render_context(), options) !=
                                PrintResult::Printed)
            prompter_.message("Error", PRINT_CANCELED, Buttons::Ok, Icon::Error);
    }

private:
    BatchSession& session_;
    const UserConfig& config_;
};

bool save_graphs(BatchSession& session, const std::string& out) {
    GraphSet& set = session.graphs();
    std::vector<const Graph*> graphs;
    for (const auto& g : set.graphs)
        graphs.push_back(g.get());
    // Data restored into the session's folder go when the run ends: they travel embedded.
    const bool with_data = with_data_choice(graphs, false, session.io());
    const IoStatus status = set.graphs.size() == 1
                                ? save_document(out, *set.graphs[0], with_data, session.io())
                                : save_bundle(out, set, with_data, session.io());
    return status.ok();
}

} // namespace

int cli_batch(const Args& args) {
    if (args.size() < 2 || args[1].rfind("--", 0) == 0)
        return cli_fail("usage: ploxwin --batch MACRO.qvd [--save OUT]");
    const std::string& macro_path = args[1];
    const std::string out = option_value(args, "--save");
    if (has_flag(args, "--save") && out.empty())
        return cli_fail("usage: ploxwin --batch MACRO.qvd [--save OUT]");

    BatchSession session;
    session.bind_modules(BatchSession::Modules::Optional);
    IoContext& io = session.io();
    if (io.temp_dir.empty() && !session.extraction_dir().empty())
        io.temp_dir = session.extraction_dir() + "/";

    const QtSettingsStore store;
    const UserConfig config = read_user_config(store);
    BatchHost host(session, store, config);
    host.data_context = session.data();
    if (!config.Template.empty())
        host.template_reader = [&](Graph& g) { return read_template(config.Template, g, io); };
    add_graph(session.graphs(), host.template_reader);

    MacroStatus status = MacroStatus::Loaded;
    auto program = load_macro(macro_path, session.prompter(), &status);
    // A file too long to run was read: it is reported, and the graphs are still saved.
    if (status == MacroStatus::Unreadable) return 1;
    Automation automation(host, &store);
    if (program) automation.run(*program);
    if (!out.empty() && !save_graphs(session, out)) return 1;
    return 0;
}

} // namespace plox::app
