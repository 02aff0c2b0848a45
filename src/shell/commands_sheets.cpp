// Sheet and list commands: each opens its dialog over a copy, then announces the change, writes
// the result into the graph and redraws.
#include "shell/commands_sheets.h"

#include "dialogs/axis_sheet_dialog.h"
#include "dialogs/graph_sheet_dialog.h"
#include "dialogs/series_chooser_dialog.h"
#include "dialogs/series_sheet_dialog.h"
#include "dialogs/small_dialogs.h"
#include "extension/module.h"
#include "forms/manager_list.h"
#include "forms/scale_change.h"
#include "shell/command_table.h"
#include "shell/main_window.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace plox::shell {

namespace {

constexpr int ChooseShown = 678;

struct SetupEntry {
    int32_t kinds;
    AnalysisSetup setup;
};

std::vector<SetupEntry>& setups() {
    static std::vector<SetupEntry> list;
    return list;
}

const AnalysisSetup* find_setup(int32_t kind) {
    for (const SetupEntry& e : setups())
        if ((e.kinds & kind) != 0 && e.setup) return &e.setup;
    return nullptr;
}

class SheetCommands {
public:
    explicit SheetCommands(MainWindow& w) : w_(w) {}

    void register_all();

private:
    Graph* current() { return w_.state().current(); }
    int current_index() const { return w_.state().set.current; }
    void changed_scales(const std::vector<int>& others);

    bool graph_sheet(Graph& g, int page);
    bool axis_sheet(int axis);
    bool series_sheet(Graph& g, int index);
    void data_manager(bool closing);
    void close_single();
    void again();
    void clear_analyses();
    void choose_shown();
    void about();
    void font_mapping();
    dialogs::SeriesSheetContext series_context() const;

    MainWindow& w_;
    dialogs::SeriesSheetContext context_;
};

void SheetCommands::changed_scales(const std::vector<int>& others) {
    (void)others; // their drawings were dropped with the change
    w_.redraw(true);
}

bool SheetCommands::graph_sheet(Graph& g, int page) {
    return dialogs::edit_graph(&w_, g, page, [&](const forms::GraphSheet& form) {
        w_.begin_change();
        form.apply(g);
        changed_scales(forms::apply_scale_change(w_.state().set, current_index()));
        w_.make_current(current_index()); // the caption follows a new title
    });
}

bool SheetCommands::axis_sheet(int axis) {
    GraphSet& set = w_.state().set;
    const int graph = current_index();
    return dialogs::edit_axis(&w_, set, graph, axis, [&](const forms::AxisSheet& form) {
        w_.begin_change();
        form.apply(*set.graphs[static_cast<size_t>(graph)], &set);
        changed_scales(forms::apply_scale_change(set, graph));
    });
}

dialogs::SeriesSheetContext SheetCommands::series_context() const {
    dialogs::SeriesSheetContext c;
    c.store = w_.store();
    if (const ModuleBinding* m = w_.modules(); m && m->converter)
        c.converters = m->converter->names();
    return c;
}

bool SheetCommands::series_sheet(Graph& g, int index) {
    context_ = series_context();
    return dialogs::edit_series(&w_, g, index, context_, [&](const Series& s) {
        w_.begin_change();
        g.series[static_cast<size_t>(index)] = s;
        if (SettingsStore* store = w_.store()) {
            forms::record_transform(*store, false, s.Xtrans);
            forms::record_transform(*store, true, s.Ytrans);
        }
        w_.graph_changed();
    });
}

void SheetCommands::close_single() {
    Graph* g = current();
    if (!g || g->series_count != 1) return;
    if (w_.prompter().message("PloxWin", "1個のファイルをCloseします", Buttons::YesNo) !=
        Answer::Yes)
        return;
    w_.begin_change();
    forms::reorder_series(*g, {});
    w_.graph_changed();
}

// The data manager for 102 and 103: reorder, close after the question, then the sheets of the
// selected series one after another.
void SheetCommands::data_manager(bool closing) {
    Graph* g = current();
    if (!g) return;
    if (g->series_count == 1) {
        if (closing)
            close_single();
        else
            w_.open_item_dialog(ItemKind::Series, 0);
        return;
    }
    auto answer = dialogs::run_data_manager(&w_, *g);
    if (!answer) return;
    if (!answer->to_close.empty()) {
        char text[64];
        std::snprintf(text, sizeof text, "%d個のファイルをCloseします",
                      static_cast<int>(answer->to_close.size()));
        if (w_.prompter().message("PloxWin", text, Buttons::YesNo) != Answer::Yes) return;
    }
    const bool reordered =
        !answer->to_close.empty() || !std::is_sorted(answer->order.begin(), answer->order.end());
    if (reordered) {
        w_.begin_change();
        forms::reorder_series(*g, answer->order);
        w_.graph_changed();
    }
    for (int old : answer->to_update) {
        auto it = std::find(answer->order.begin(), answer->order.end(), old);
        if (it != answer->order.end())
            w_.open_item_dialog(ItemKind::Series, static_cast<int>(it - answer->order.begin()));
    }
}

void SheetCommands::again() {
    Graph* g = current();
    if (!g) return;
    forms::ChooserRequest r;
    r.title = "もう一度設定する最小二乗、スプラインの選択";
    r.mask = kind::ComputedCurve;
    dialogs::QtSeriesChooser chooser(&w_);
    const forms::SeriesChoice choice = chooser.choose(*g, r);
    if (!choice.chosen()) return;
    for (int index : choice.series)
        if (const AnalysisSetup* setup = find_setup(g->series[static_cast<size_t>(index)].kind))
            (*setup)(w_, *g, index);
    w_.redraw(true);
}

void SheetCommands::clear_analyses() {
    Graph* g = current();
    if (!g) return;
    forms::ChooserRequest r;
    r.title = "消去する最小二乗、スプラインの選択";
    r.mask = kind::ComputedCurve;
    dialogs::QtSeriesChooser chooser(&w_);
    const forms::SeriesChoice choice = chooser.choose(*g, r);
    if (!choice.chosen()) return;
    w_.begin_change();
    for (int index : choice.series) {
        Series& s = g->series[static_cast<size_t>(index)];
        s.kind = kind::Data;
        s.analysis_valid = 0;
        s.fit.reset();
        s.extension.reset();
        s.extension_lines.clear();
        s.needs_reading = 1;
    }
    w_.graph_changed();
}

void SheetCommands::choose_shown() {
    Graph* g = current();
    if (!g) return;
    forms::ChooserRequest r;
    r.title = "表示するファイルの選択";
    r.mask = kind::Any;
    r.choose_single = false;
    r.allow_none = true;
    for (int i = 0; i < std::min(g->series_count, MAX_SERIES); ++i)
        if (g->series[static_cast<size_t>(i)].shown) r.preselected.push_back(i);
    dialogs::QtSeriesChooser chooser(&w_);
    const forms::SeriesChoice choice = chooser.choose(*g, r);
    if (choice.answer != forms::SeriesChoice::Answer::Chosen) return;
    w_.begin_change();
    for (int i = 0; i < std::min(g->series_count, MAX_SERIES); ++i)
        g->series[static_cast<size_t>(i)].shown =
            std::find(choice.series.begin(), choice.series.end(), i) != choice.series.end();
    w_.graph_changed();
}

void SheetCommands::about() {
    const ModuleBinding* m = w_.modules();
    const int32_t ext = m && m->extension ? m->extension->version() : 0;
    std::optional<int32_t> converter;
    if (m && m->converter) converter = m->converter->version();
    dialogs::run_about(&w_, ext, converter);
}

void SheetCommands::font_mapping() {
    if (!dialogs::run_font_mapping(&w_, w_.font_mapping())) return;
    if (SettingsStore* store = w_.store()) write_font_mapping(*store, w_.font_mapping());
    w_.redraw(true);
}

void SheetCommands::register_all() {
    w_.set_item_dialog(ItemKind::Frame, [this](Graph& g, int) { return graph_sheet(g, 0); });
    w_.set_item_dialog(ItemKind::Axis, [this](Graph&, int axis) { return axis_sheet(axis); });
    w_.set_item_dialog(ItemKind::Series,
                       [this](Graph& g, int index) { return series_sheet(g, index); });

    auto has_series = [this] {
        const Graph* g = current();
        return g && g->series_count > 0;
    };
    for (int axis = 0; axis < 4; ++axis)
        w_.set_handler(cmd::XAxis + axis,
                       [this, axis] { w_.open_item_dialog(ItemKind::Axis, axis); });
    w_.set_handler(cmd::GraphProperties, [this] { w_.open_item_dialog(ItemKind::Frame, 0); });
    w_.set_handler(cmd::Frame, [this] { w_.open_item_dialog(ItemKind::Frame, 0); });
    w_.set_handler(
        cmd::CloseData, [this] { data_manager(true); }, has_series);
    w_.set_handler(
        cmd::Update, [this] { data_manager(false); }, has_series);
    w_.set_handler(
        cmd::Again, [this] { again(); }, has_series);
    w_.set_handler(
        cmd::ClearAnalysis, [this] { clear_analyses(); }, has_series);
    w_.set_handler(
        ChooseShown, [this] { choose_shown(); }, has_series);
    w_.set_handler(cmd::About, [this] { about(); });
    w_.set_handler(cmd::GraFonts, [this] { font_mapping(); });
    w_.set_missing_files_dialog([this](GraphSet& set, const IoStatus& status) {
        std::vector<forms::MissingFile> missing;
        for (const auto& m : status.missing)
            missing.push_back({m.graph, m.series});
        dialogs::run_missing_files(&w_, set, missing);
    });
}

} // namespace

void register_analysis_setup(int32_t kinds, AnalysisSetup setup) {
    setups().insert(setups().begin(), SetupEntry{kinds, std::move(setup)});
}

void register_sheet_commands(MainWindow& window) {
    // Lives as long as the window: the handlers it registers point into it.
    auto* commands = new SheetCommands(window);
    QObject::connect(&window, &QObject::destroyed, [commands] { delete commands; });
    commands->register_all();
}

} // namespace plox::shell
