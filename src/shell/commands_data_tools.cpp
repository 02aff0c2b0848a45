// The data tools: masks, trimming, value reading with its cross-hair, the settings dialog and
// the template commands.
#include "data/point_export.h"
#include "dialogs/data_tools_qt.h"
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/paths.h"
#include "editing/data_masks.h"
#include "editing/value_reading.h"
#include "forms/settings_form.h"
#include "shell/command_table.h"
#include "shell/commands_analysis.h"
#include "shell/main_window.h"
#include "shell/page_editor.h"
#include "shell/page_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <memory>

namespace plox::shell {

namespace {

// Picks a region on the page and hands over its two corners in the order the user drew them
// (the page hands over only the normalised rectangle; the anchor comes from the rubber band).
void pick_corners(PageWindow* page, std::function<void(Point first, Point second)> done) {
    auto anchor = std::make_shared<Point>();
    RegionRequest request;
    request.moving = [anchor](int x1, int y1, int, int) { *anchor = Point{x1, y1}; };
    request.done = [anchor, done = std::move(done)](const LogicalRect& r) {
        const Point second{r.left == anchor->x ? r.right : r.left,
                           r.top == anchor->y ? r.bottom : r.top};
        // A click without a drag picks nothing.
        if (r.left != r.right && r.top != r.bottom) done(*anchor, second);
    };
    page->pick_region(std::move(request));
}

// The page editor's selected region (the region's pop-up menu acts on it).
PageEditor* region_editor(MainWindow& window) {
    auto* editor = window.findChild<PageEditor*>(QStringLiteral("PageEditor"));
    return editor && editor->region_selected() ? editor : nullptr;
}

struct DataTools {
    MainWindow& window;

    Graph* graph() { return window.state().current(); }
    UserConfig& config() { return window.state().config; }
    Prompter& prompter() { return *window.services().prompter; }

    void mask_list();
    void make_mask(Point a, Point b);
    void trim(Point a, Point b, bool with_dialog);
    void from_region(bool mask);
    void read_value();
    void settings();
    void choose_template();
    void save_as_default();
    void write_config() {
        if (window.services().store) write_user_config(*window.services().store, config());
    }
};

void DataTools::mask_list() {
    Graph* g = graph();
    if (!g) return;
    if (g->mask_count > 0) {
        auto remove = [this, g](int index) {
            window.begin_change();
            delete_mask(*g, index);
            window.graph_changed();
        };
        if (!dialogs::run_mask_list_dialog(&window, *g, remove)) return;
    }
    pick_corners(window.page(), [this](Point a, Point b) { make_mask(a, b); });
}

void DataTools::make_mask(Point a, Point b) {
    Graph* g = graph();
    if (!g) return;
    if (g->mask_count >= MAX_MASKS) {
        prompter().message("Data Mask", "これ以上 Data Mask は作れません (最大 40 個)", Buttons::Ok,
                           Icon::Warning);
        return;
    }
    const auto area = mask_area(*g, corner_values(*g, a), corner_values(*g, b));
    forms::ChooserRequest request;
    request.title = "Select files for data masking";
    request.mask = kind::NonFunction;
    request.multiple = false;
    request.all_button = true;
    request.choose_single = false;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    const int series = choice.all ? 0 : choice.series.front() + 1;
    window.begin_change();
    add_mask(*g, series, area);
    for (int i = 0; i < std::min(g->series_count, MAX_SERIES); ++i)
        g->series[static_cast<size_t>(i)].needs_reading = 1;
    window.graph_changed();
}

void DataTools::trim(Point a, Point b, bool with_dialog) {
    Graph* g = graph();
    if (!g) return;
    Trimming t = trimming_from_corners(corner_values(*g, a), corner_values(*g, b));
    bool sort = config().TrimmingSort != 0;
    if (with_dialog) {
        TrimmingForm form;
        form.load(t, sort);
        if (!dialogs::run_trimming_dialog(&window, form)) return;
        config().TrimmingSort = form.auto_sort ? 1 : 0;
        write_config();
        t = form.trimming();
        sort = form.auto_sort;
    }
    window.begin_change();
    apply_trimming(*g, t, sort);
    copy_linked_axes(window.state().set, window.state().set.current);
    window.graph_changed();
    window.redraw(true);
}

// 631 and 679: the selected region is masked, or the axes trimmed to it without the dialog.
void DataTools::from_region(bool mask) {
    PageEditor* editor = region_editor(window);
    if (!editor || !graph()) return;
    const auto [first, second] = *editor->region_corners();
    // The region has served; its outline would only stand over the changed graph.
    editor->clear_selection();
    if (mask)
        make_mask(first, second);
    else
        trim(first, second, false);
}

void DataTools::read_value() {
    Graph* g = graph();
    if (!g) return;
    forms::ChooserRequest request;
    request.title = "値を読むファイルの選択";
    request.mask = kind::NonFunction;
    request.multiple = false;
    const forms::SeriesChoice choice = choose_series(window, *g, request);
    if (!choice.chosen()) return;
    const int index = choice.series.front();
    auto points = exported_points(*g, index, window.data_context());
    if (!points) return;
    const Series& s = g->series[static_cast<size_t>(index)];
    const int h = s.isRefUpAxis ? AxisU : AxisX;
    const int v = s.isRefRightAxis ? AxisR : AxisY;
    const Axis& x_axis = g->axes[AxisX];
    ValueReader reader(points->x, points->y, config().read_value_sort,
                       x_axis.from < x_axis.to ? 1 : -1);
    if (reader.empty()) return;
    const QColor colour(config().read_value_display_color() & 0xFF,
                        (config().read_value_display_color() >> 8) & 0xFF,
                        (config().read_value_display_color() >> 16) & 0xFF);
    PageWindow* page = window.page();
    // The cross-hair through the current point, over the whole page window.
    const int cross = page->add_overlay([&](QPainter& p) {
        Point at;
        if (!point_position(*g, h, v, reader.x(), reader.y(), at)) return;
        const QPoint c = page->to_device(at.x, at.y);
        p.setPen(QPen(colour, 0));
        p.drawLine(0, c.y(), page->viewport()->width(), c.y());
        p.drawLine(c.x(), 0, c.x(), page->viewport()->height());
    });
    dialogs::run_read_value_dialog(&window,
                                   QString::fromStdString(paths::display_name(s.file_name)), reader,
                                   [page] { page->update_overlays(); });
    page->remove_overlay(cross);
}

void DataTools::settings() {
    forms::SettingsForm form;
    form.load(config());
    if (!dialogs::run_settings_dialog(&window, form)) return;
    const bool keep_sort = form.config.read_value_sort;
    config() = form.apply();
    config().read_value_sort = keep_sort;
    if (auto* bar = window.findChild<QToolBar*>(QStringLiteral("toolbar")))
        bar->setVisible(config().ToolBar != 0);
    window.statusBar()->setVisible(config().StatusBar != 0);
    window.state().io.prior_temp = config().PriorTemp != 0;
    window.state().io.same_directory = config().SavePath != 0;
    write_config();
    window.redraw(true);
}

void DataTools::choose_template() {
    if (!window.services().dialogs) return;
    const std::string start =
        QFileInfo(QString::fromStdString(config().Template)).absolutePath().toStdString();
    auto path = window.services().dialogs->open_document(start);
    if (!path) return;
    config().Template = *path;
    write_config();
}

void DataTools::save_as_default() {
    Graph* g = graph();
    if (!g) return;
    QString path =
        QFileDialog::getSaveFileName(&window, QString(), QString::fromStdString(config().Template),
                                     QStringLiteral("*.QVP (*.QVP *.qvp)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".qvp");
    IoContext& io = window.state().io;
    const IoStatus status = save_template(path.toStdString(), *g, io);
    if (status.code != IoStatus::Code::Ok) return;
    config().Template = path.toStdString();
    write_config();
}

} // namespace

void register_data_tool_commands(MainWindow& window) {
    auto tools = std::make_shared<DataTools>(DataTools{window});
    auto has_graph = [&window] { return window.state().current() != nullptr; };
    window.set_handler(
        cmd::DataMask, [tools] { tools->mask_list(); }, has_graph);
    window.set_handler(
        651,
        [tools, &window] {
            pick_corners(window.page(), [tools](Point a, Point b) { tools->trim(a, b, true); });
        },
        has_graph);
    window.set_handler(
        631, [tools] { tools->from_region(true); },
        [&window] {
            const Graph* g = window.state().current();
            return g && g->series_count > 0 && region_editor(window);
        });
    window.set_handler(
        679, [tools] { tools->from_region(false); },
        [&window] { return window.state().current() && region_editor(window); });
    window.set_handler(
        668, [tools] { tools->read_value(); }, has_graph);
    window.set_handler(cmd::Settings, [tools] { tools->settings(); });
    window.set_handler(cmd::SetTemplate, [tools] { tools->choose_template(); });
    window.set_handler(
        cmd::SaveAsDefault, [tools] { tools->save_as_default(); }, has_graph);
}

} // namespace plox::shell
