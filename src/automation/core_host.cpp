// Command effects through the document, data and render operations.
#include "automation/core_host.h"

#include "data/reader.h"
#include "document/paths.h"
#include "document/prompter.h"
#include "render/mapping.h"
#include "render/render_context.h"
#include "settings/series_defaults.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace plox {

namespace {

// errno of opening `path` for reading, 0 when it can be read.
int open_error(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return EISDIR;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno ? errno : ENOENT;
    std::fclose(f);
    return 0;
}

void copy_template_fields(const Series& t, Series& s) {
    s.AbsLine = t.AbsLine;
    s.TabEqSpc = t.TabEqSpc;
    s.SkipComment = t.SkipComment;
    s.CountOutArea = t.CountOutArea;
    s.ColumnX = t.ColumnX;
    s.ColumnY = t.ColumnY;
    s.Start = t.Start;
    s.End = t.End;
    s.Step = t.Step;
    s.XAvr = t.XAvr;
    s.YAvr = t.YAvr;
    s.Errorbar1 = t.Errorbar1;
    s.Errorbar2 = t.Errorbar2;
    s.line = t.line;
    s.LineType = t.LineType;
    s.PlotType = t.PlotType;
    s.PlotSize = t.PlotSize;
    s.isRefUpAxis = t.isRefUpAxis;
    s.isRefRightAxis = t.isRefRightAxis;
    s.IsXtrans = t.IsXtrans;
    s.IsYtrans = t.IsYtrans;
    s.marker_color = t.marker_color;
    s.DotStyle = t.DotStyle;
    s.fill_color = t.fill_color;
    s.Hatch = t.Hatch;
    s.BarBottom = t.BarBottom;
    s.Xtrans = t.Xtrans;
    s.Ytrans = t.Ytrans;
}

} // namespace

int add_series_from_template(Graph& g, const std::string& given, const Series& data_template,
                             const SettingsStore* store, Prompter& prompter) {
    const std::string path = paths::find_existing(given).value_or(given);
    if (path.size() >= PATH_CAPACITY) {
        report_open_error(prompter, path.substr(0, PATH_CAPACITY - 1), ENAMETOOLONG);
        return -1;
    }
    if (const int error = open_error(path)) {
        report_open_error(prompter, path, error);
        return -1;
    }
    const int index = add_series(g, paths::absolute(path), &prompter);
    if (index < 0) return -1;
    Series& s = g.series[static_cast<size_t>(index)];
    if (store) read_series_defaults(*store, path, s);
    copy_template_fields(data_template, s);
    mark_modified(g);
    return index;
}

void delete_all_graphs(GraphSet& set, const TemplateReader& read_template) {
    while (set.graphs.size() > 1)
        free_graph(set, static_cast<int>(set.graphs.size()) - 1);
    free_graph(set, 0, read_template);
    set.bundle_name.clear();
}

bool delete_current_graph(GraphSet& set, Prompter& prompter, const TemplateReader& read_template) {
    const Graph* g = set.current_graph();
    if (!g) return false;
    if (!g->unmodified && prompter.message("データが変更されています", "保存せずに削除しますか？",
                                           Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    free_graph(set, set.current, read_template);
    return true;
}

void CoreAutomationHost::delete_graphs(bool all) {
    if (all)
        delete_all_graphs(set_, template_reader);
    else
        delete_current_graph(set_, prompter_, template_reader);
}

bool CoreAutomationHost::open_document(const std::string& given) {
    const std::string path = paths::find_existing(given).value_or(given);
    return load_document(path, set_, io_).ok();
}

void CoreAutomationHost::add_data_series(const std::string& path, const Series& data_template) {
    Graph* g = set_.current_graph();
    if (!g) return;
    const int index = add_series_from_template(*g, path, data_template, store_, prompter_);
    // As the open-data-file command does, the file enters the recent-file list.
    if (index >= 0 && io_.add_recent)
        io_.add_recent(g->series[static_cast<size_t>(index)].file_name);
}

void CoreAutomationHost::clear_scale(int axis) {
    Graph* g = set_.current_graph();
    if (!g) return;
    RenderContext context;
    context.prompter = &prompter_;
    context.data = data_context;
    if (!context.data.prompter) context.data.prompter = &prompter_;
    auto_range(*g, context, axis == AxisX, axis == AxisY, axis == AxisU, axis == AxisR);
    mark_modified(*g);
}

void CoreAutomationHost::graph_edited() {
    if (Graph* g = set_.current_graph()) mark_modified(*g);
}

} // namespace plox
