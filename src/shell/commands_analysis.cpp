// The analysis menu: least-squares fits, value evaluation, splines, drawn functions, user
// constants, "もう一度" and the extension analyses.
#include "shell/commands_analysis.h"

#include "analysis/function_series.h"
#include "analysis/series_analysis.h"
#include "data/series_builder.h"
#include "dialogs/fit_dialogs_qt.h"
#include "dialogs/series_chooser_dialog.h"
#include "document/graph_ops.h"
#include "document/paths.h"
#include "expr/evaluator.h"
#include "extension/analysis.h"
#include "extension/bindings.h"
#include "forms/fit_forms.h"
#include "settings/analysis_settings.h"
#include "shell/command_table.h"
#include "shell/commands_sheets.h"
#include "shell/main_window.h"

#include <QPointer>
#include <cstdio>
#include <memory>

namespace plox::shell {

namespace {

QString series_name(const Series& s) {
    return QString::fromStdString(paths::display_name(s.file_name));
}

std::string format_g(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// Everything one analysis command needs from the window.
struct Commands {
    MainWindow& window;
    double last_x = 0; // the value evaluation's X, kept for the run

    Graph* graph() { return window.state().current(); }
    SettingsStore* store() { return window.services().store; }
    Prompter& prompter() { return *window.services().prompter; }

    void least_squares(int fit_kind);
    void evaluate_values();
    void spline(int variant);
    void draw_function();
    void user_constants();
    void extension(int index);
    bool again_fit(Graph& g, int index);
    bool again_spline(Graph& g, int index);
    bool again_extension(Graph& g, int index);
    void report_extension(Graph& g, int index);

    bool set_up_least_squares(Graph& g, int index, int fit_kind);
    bool set_up_spline(Graph& g, int index, int variant);
    bool set_up_extension(Graph& g, int index, const std::string& key);
    void compute_and_report(Graph& g, const std::vector<int>& indices);
};

const SettingsStore& store_or_empty(SettingsStore* store) {
    static const MemorySettingsStore empty;
    if (store) return *store;
    return empty;
}

bool Commands::set_up_least_squares(Graph& g, int index, int fit_kind) {
    Series work = g.series[static_cast<size_t>(index)];
    prepare_least_squares(work, g, store_or_empty(store()));
    if (fit_kind == kind::General)
        prepare_general_function(work, g, index, store_or_empty(store()));
    const int graph_index = window.state().set.current;
    bool applied = false;
    auto apply = [&](const Series& edited) {
        window.begin_change(graph_index);
        Series& s = g.series[static_cast<size_t>(index)];
        s = edited;
        apply_least_squares(s, fit_kind);
        mark_modified(g);
        applied = true;
    };
    const bool ok = dialogs::run_least_squares_sheet(&window, work, fit_kind, store(),
                                                     series_name(work), apply);
    if (ok && fit_kind == kind::General && store() && g.series[static_cast<size_t>(index)].fit)
        write_function_history(*store(), *g.series[static_cast<size_t>(index)].fit);
    return applied;
}

void Commands::compute_and_report(Graph& g, const std::vector<int>& indices) {
    const ExtensionModule* module = window.extension_module();
    if (!module) return;
    ModuleLinearSolver solver(*module);
    ModuleFunctions functions(*module);
    AnalysisContext ctx;
    ctx.solver = &solver;
    ctx.prompter = &prompter();
    ctx.functions = &functions;
    const DataContext data = window.data_context();
    const int graph_index = window.state().set.current;
    for (int i : indices) {
        Series& s = g.series[static_cast<size_t>(i)];
        if (!(s.kind & kind::LeastSquares)) continue;
        if (s.needs_reading) run_analysis(g, i, ctx, data);
        if (!s.analysis_valid) continue;
        std::function<void()> on_new;
        if (forms::can_copy_fitted_values(s))
            on_new = [&, i] {
                window.begin_change(graph_index);
                forms::copy_fitted_values(g.series[static_cast<size_t>(i)]);
                mark_modified(g);
            };
        dialogs::show_results_dialog(&window, QStringLiteral("最小二乗の結果"), series_name(s),
                                     results_list(s), on_new);
    }
}

void Commands::least_squares(int fit_kind) {
    Graph* g = graph();
    if (!g) return;
    forms::ChooserRequest request;
    request.title = "最小二乗するファイルの選択";
    request.mask = kind::NonFunction;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    std::vector<int> applied;
    for (int i : choice.series)
        if (set_up_least_squares(*g, i, fit_kind)) applied.push_back(i);
    if (applied.empty()) return;
    window.graph_changed();
    compute_and_report(*g, applied);
}

void Commands::evaluate_values() {
    Graph* g = graph();
    const ExtensionModule* module = window.extension_module();
    if (!g || !module || !window.services().dialogs) return;
    forms::ChooserRequest request;
    request.title = "最小二乗フィットによる値評価するファイルの選択";
    request.mask = kind::LeastSquares;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    auto text = window.services().dialogs->input_text("最小二乗による値評価",
                                                      "Ｘ値:", format_g(last_x), 50);
    if (!text) return;
    last_x = std::strtod(text->c_str(), nullptr);
    ModuleLinearSolver solver(*module);
    ModuleFunctions functions(*module);
    AnalysisContext ctx;
    ctx.solver = &solver;
    ctx.functions = &functions;
    for (int i : choice.series)
        prompter().message("確認",
                           format_g(fit_value(g->series[static_cast<size_t>(i)], last_x, ctx)));
}

bool Commands::set_up_spline(Graph& g, int index, int variant) {
    const Series original = g.series[static_cast<size_t>(index)];
    prepare_spline(g, index, store_or_empty(store()), window.data_context());
    Series work = g.series[static_cast<size_t>(index)];
    g.series[static_cast<size_t>(index)] = original;
    if (!dialogs::run_curve_dialog(&window, work, true, store(), series_name(work))) return false;
    window.begin_change();
    Series& s = g.series[static_cast<size_t>(index)];
    s = work;
    apply_spline(s, variant);
    return true;
}

void Commands::spline(int variant) {
    Graph* g = graph();
    if (!g) return;
    forms::ChooserRequest request;
    request.title = "スプライン補間するファイルの選択";
    request.mask = kind::NonFunction;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    bool any = false;
    for (int i : choice.series)
        any = set_up_spline(*g, i, variant) || any;
    if (any) window.graph_changed();
}

void Commands::draw_function() {
    Graph* g = graph();
    if (!g || !window.services().dialogs) return;
    forms::ChooserRequest request;
    request.title = "結果代入するメモリーの選択";
    request.mask = kind::Any;
    request.choose_single = false;
    // Without any series the new one is the only possible answer: no list for it.
    forms::SeriesChoice choice;
    choice.answer = forms::SeriesChoice::Answer::New;
    if (!forms::offered_series(*g, request).empty()) choice = choose_series(window, *g, request);
    if (choice.answer == forms::SeriesChoice::Answer::Cancelled ||
        (choice.answer == forms::SeriesChoice::Answer::Chosen && choice.series.empty()))
        return;
    window.begin_change();
    int calc = -1;
    std::vector<int> chosen = choice.series;
    if (choice.answer == forms::SeriesChoice::Answer::New) {
        calc = add_calc_series(*g);
        if (calc < 0) {
            prompter().message("PloxWin", series_limit_message(LimitMessage::Interactive));
            return;
        }
        chosen = {calc};
    }
    for (int i : chosen) {
        const std::string start = function_start_text(*g, i);
        Series work = g->series[static_cast<size_t>(i)];
        prepare_function_series(work, *g, store_or_empty(store()));
        auto text = window.services().dialogs->input_text("描画関数の入力", "式:", start, 1024);
        if (!text) continue;
        if (!dialogs::run_curve_dialog(&window, work, false, store(), series_name(work))) continue;
        apply_function_series(work, *text);
        g->series[static_cast<size_t>(i)] = work;
    }
    if (calc >= 0 && g->series[static_cast<size_t>(calc)].kind == kind::Data)
        remove_series(*g, calc);
    window.graph_changed();
}

void Commands::user_constants() {
    Graph* g = graph();
    if (!g) return;
    Graph edited;
    edited.user_constants = g->user_constants;
    if (!dialogs::run_user_constants_dialog(&window, edited)) return;
    window.begin_change();
    g->user_constants = edited.user_constants;
    // Functions and transforms may use the constants.
    for (int i = 0; i < std::min(g->series_count, MAX_SERIES); ++i)
        g->series[static_cast<size_t>(i)].needs_reading = 1;
    window.graph_changed();
}

class ShellAnalysisUi : public AnalysisUi {
public:
    explicit ShellAnalysisUi(MainWindow& w) : window_(w) {}
    void edit_curve(Series& series) override {
        dialogs::run_curve_dialog(&window_, series, true, window_.services().store,
                                  series_name(series));
    }
    void show_results(std::string_view title, const std::vector<std::string>& lines) override {
        dialogs::show_results_dialog(&window_, QString::fromUtf8(title.data(), title.size()), name_,
                                     lines, {});
    }
    QString name_;

private:
    MainWindow& window_;
};

bool Commands::set_up_extension(Graph& g, int index, const std::string& key) {
    const ExtensionModule* module = window.extension_module();
    if (!module) return false;
    ShellAnalysisUi ui(window);
    window.begin_change();
    return set_up_analysis(*module, g, g.series[static_cast<size_t>(index)], key,
                           store_or_empty(store()), ui, static_cast<QWidget*>(&window));
}

// Computes an extension analysis now, as its drawing will, so that its result can be shown.
void compute_extension(MainWindow& window, Graph& g, int index) {
    const ExtensionModule* module = window.extension_module();
    Series& s = g.series[static_cast<size_t>(index)];
    const DataContext data = window.data_context();
    auto points = build_series(g, index, build_kind_for(s), data);
    if (!points) return;
    if (!s.CountOutArea) exclude_outside(g, s, points->x, points->y);
    const std::vector<double> positions = generate_curve_x(s, 0);
    draw_extension_analysis(*module, s, paths::display_name(s.file_name), points->x, points->y,
                            positions, *window.services().prompter, {});
}

void Commands::extension(int index) {
    Graph* g = graph();
    const ExtensionModule* module = window.extension_module();
    if (!g || !module || index >= static_cast<int>(module->analyses().size())) return;
    const AnalysisEntry& entry = module->analyses()[static_cast<size_t>(index)];
    forms::ChooserRequest request;
    request.title = entry.menu_text + "するファイルの選択";
    request.mask = kind::NonFunction;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    std::vector<int> report;
    for (int i : choice.series)
        if (set_up_extension(*g, i, entry.key)) report.push_back(i);
    window.graph_changed();
    for (int i : report)
        report_extension(*g, i);
}

// "もう一度" (239) sets up each chosen series again by its kind.
bool Commands::again_fit(Graph& g, int index) {
    if (!set_up_least_squares(g, index, g.series[static_cast<size_t>(index)].kind)) return false;
    window.graph_changed();
    compute_and_report(g, {index});
    return true;
}

bool Commands::again_spline(Graph& g, int index) {
    if (!set_up_spline(g, index, g.series[static_cast<size_t>(index)].degree)) return false;
    window.graph_changed();
    return true;
}

bool Commands::again_extension(Graph& g, int index) {
    const std::string key = g.series[static_cast<size_t>(index)].analysis_name;
    if (!set_up_extension(g, index, key)) return false;
    window.graph_changed();
    report_extension(g, index);
    return true;
}

void Commands::report_extension(Graph& g, int index) {
    const ExtensionModule* module = window.extension_module();
    if (!module) return;
    ShellAnalysisUi ui(window);
    compute_extension(window, g, index);
    ui.name_ = series_name(g.series[static_cast<size_t>(index)]);
    report_analysis(*module, g.series[static_cast<size_t>(index)], prompter(), ui);
}

void register_again_setups() {
    static bool done = false;
    if (done) return;
    done = true;
    register_analysis_setup(kind::LeastSquares, [](MainWindow& w, Graph& g, int i) {
        return Commands{w}.again_fit(g, i);
    });
    register_analysis_setup(kind::Spline, [](MainWindow& w, Graph& g, int i) {
        return Commands{w}.again_spline(g, i);
    });
    register_analysis_setup(
        kind::Extension1 | kind::Extension2,
        [](MainWindow& w, Graph& g, int i) { return Commands{w}.again_extension(g, i); });
}

} // namespace

forms::SeriesChoice choose_series(MainWindow& window, const Graph& graph,
                                  const forms::ChooserRequest& request) {
    dialogs::QtSeriesChooser chooser(&window);
    return chooser.choose(graph, request);
}

void register_analysis_commands(MainWindow& window) {
    auto commands = std::make_shared<Commands>(Commands{window});
    auto on = [&](int id, std::function<void()> run) {
        window.set_handler(id, std::move(run), [&window] { return window.state().current(); });
    };
    const int fits[5] = {kind::Polynomial, kind::Exponential, kind::Logarithmic, kind::Power,
                         kind::General};
    for (int i = 0; i < 5; ++i)
        on(661 + i, [commands, k = fits[i]] { commands->least_squares(k); });
    on(666, [commands] { commands->evaluate_values(); });
    for (int variant = 0; variant < 5; ++variant)
        on(625 + variant, [commands, variant] { commands->spline(variant); });
    on(656, [commands] { commands->draw_function(); });
    on(667, [commands] { commands->user_constants(); });
    if (const ExtensionModule* module = window.extension_module())
        for (int i = 0; i < static_cast<int>(module->analyses().size()); ++i)
            on(cmd::FirstExtension + i, [commands, i] { commands->extension(i); });
    register_again_setups();
    dialogs::register_series_curve_page(
        [w = QPointer<MainWindow>(&window)] { return w ? w->store() : nullptr; });
    register_data_tool_commands(window);
}

} // namespace plox::shell
