// Construction of the main window, its menus, toolbar and status bar, and the dispatcher.
#include "shell/main_window.h"

#include "document/file_access.h"

#include "document/paths.h"
#include "extension/bindings.h"
#include "extension/render_binding.h"
#include "shell/command_table.h"
#include "shell/commands_metafile.h"
#include "shell/commands_sheets.h"
#include "shell/data_commands.h"
#include "shell/deferred_prompter.h"
#include "shell/graph_renderer.h"
#include "shell/page_editor.h"
#include "shell/page_window.h"
#include "shell/printing.h"
#include "shell/shell_icons.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <cstdlib>
#include <unistd.h>

namespace plox::shell {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The names menus, captions and the status bar show: file name with extension.
QString base_name(const std::string& path) {
    return QString::fromStdString(paths::display_name(path));
}

} // namespace

MainWindow::MainWindow(ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("Plox for Windows"));
    setWindowTitle(QStringLiteral("Plox for Windows"));
    setWindowIcon(program_icon());

    state_.io.prompter = services_.prompter;
    state_.io.add_recent = [this](const std::string& path) { add_recent(path); };
    // Embedded data are restored into a folder only this user can enter, shared by the user's
    // running copies: a file or link planted by someone else can never be written through.
    const std::string private_dir =
        QDir::tempPath().toStdString() + "/ploxwin-" + std::to_string(::geteuid());
    state_.io.temp_dir =
        (files::ensure_private_folder(private_dir) ? private_dir : QDir::tempPath().toStdString()) +
        "/";
    // This run's list of data files restored from documents (shared with other copies once
    // they can find each other).
    std::string list = state_.io.temp_dir + "QVDXXXXXX";
    if (int fd = mkstemp(list.data()); fd >= 0) {
        ::close(fd);
        state_.io.extracted_list_path = list;
    }

    build_actions();
    build_menus();
    build_toolbar();
    build_status_bar();
    register_handlers();

    if (services_.store) {
        state_.recent = read_recent_files(*services_.store);
        state_.config = read_user_config(*services_.store);
        read_font_mapping(*services_.store, font_mapping_);
    }
    rebuild_recent_menu();
    toolbar_->setVisible(state_.config.ToolBar != 0);
    statusBar()->setVisible(state_.config.StatusBar != 0);
    state_.io.prior_temp = state_.config.PriorTemp != 0;
    state_.io.same_directory = state_.config.SavePath != 0;
    setAcceptDrops(true);

    page_ = new PageWindow(state_, this);
    setCentralWidget(page_);
    renderer_ = std::make_unique<GraphRenderer>();
    paint_prompter_ = std::make_unique<DeferredPrompter>(*services_.prompter, this);
    renderer_->prompter = paint_prompter_.get();
    renderer_->font_mapping = &font_mapping_;
    page_->set_graph_painter([this](QPainter& p, Graph& g, const AppState& s, double scale,
                                    QPointF origin) { renderer_->paint(p, g, s, scale, origin); });
    connect(page_, &PageWindow::escape_pressed, this, [this] {
        if (state_.preview) toggle_preview();
    });
    connect(page_, &PageWindow::mouse_moved, this, [this](int x, int y) {
        status_[1]->setText(QString::asprintf("(%3d,%3d)", x / 100, y / 100));
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::refresh_menus);
    register_print_commands(*this);
    register_data_commands(*this);
    PageEditor* editor = install_page_editing(*this, services_.store);
    page_->setFocus();
    register_metafile_commands(*this, prompter(), editor_region(*this, *editor));
    resize(800, 600);
    register_sheet_commands(*this);
}

RenderContext MainWindow::render_context() {
    return renderer_->context(state_);
}

MainWindow::~MainWindow() {
    delete_extracted_files();
    // Graphs may hold blocks of the module: free them before the module goes.
    state_.set.graphs.clear();
}

bool MainWindow::bind_extension() {
    binding_ = std::make_unique<ModuleBinding>(bind_modules(*services_.prompter, this));
    if (!binding_->ok()) return false;
    const ExtensionModule& module = *binding_->extension;
    functions_ = std::make_unique<ModuleFunctions>(module);
    markers_ = std::make_unique<ModuleMarkers>(module);
    document_lines_ = std::make_unique<ModuleDocumentLines>(module, binding_->converter.get());
    converter_ = std::make_unique<ModuleConverter>(binding_->converter.get());
    extension_functions_ = functions_.get();
    state_.io.extension = document_lines_.get();
    renderer_->functions = functions_.get();
    renderer_->markers = markers_.get();
    renderer_->converter = converter_.get();
    render_binding_ = std::make_unique<ModuleRenderBinding>(module, paint_prompter_.get());
    renderer_->curves = render_binding_.get();

    handlers_[cmd::ExtensionAbout] =
        Handler{[this] { binding_->extension->version(this, true); }, {}};
    // The module's analyses are listed; each stays greyed until a handler is registered for it.
    for (const AnalysisEntry& entry : module.analyses()) {
        // Our module's menu texts are UTF-8.
        QAction* a = make_action(entry.command, QString::fromUtf8(entry.menu_text));
        extension_submenu_->addAction(a);
        actions_[entry.command] = a;
    }
    refresh_menus();
    return true;
}

const ExtensionModule* MainWindow::extension_module() const {
    return binding_ && binding_->ok() ? binding_->extension.get() : nullptr;
}

DataContext MainWindow::data_context() const {
    DataContext data;
    data.prompter = services_.prompter;
    data.functions = extension_functions_;
    data.converter = converter_.get();
    return data;
}

QAction* MainWindow::make_action(int id, const QString& label) {
    auto* a = new QAction(label, this);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { send_command(id); });
    return a;
}

void MainWindow::build_actions() {
    for (const Command& c : commands()) {
        QAction* a = make_action(c.id, q(c.label));
        QList<QKeySequence> keys;
        if (!c.shortcut.empty()) keys << QKeySequence(q(c.shortcut));
        if (!c.shortcut2.empty()) keys << QKeySequence(q(c.shortcut2));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        // Accelerators of commands without a menu item still belong to the window.
        addAction(a);
        actions_[c.id] = a;
    }
    actions_[cmd::Preview]->setCheckable(true);
}

void MainWindow::build_menus() {
    std::function<void(QMenu*, const std::vector<MenuEntry>&)> fill =
        [&](QMenu* m, const std::vector<MenuEntry>& entries) {
            for (const MenuEntry& e : entries) {
                switch (e.kind) {
                case MenuEntry::Kind::Separator:
                    m->addSeparator();
                    break;
                case MenuEntry::Kind::Item:
                    m->addAction(actions_.at(e.id));
                    break;
                case MenuEntry::Kind::Submenu: {
                    QMenu* sub = m->addMenu(q(e.label));
                    fill(sub, e.children);
                    switch (e.id) {
                    case menu_id::Align:
                        align_submenu_ = sub;
                        break;
                    case menu_id::LeastSquares:
                        analysis_submenus_[0] = sub;
                        break;
                    case menu_id::Spline:
                        analysis_submenus_[1] = sub;
                        break;
                    case menu_id::Extension:
                        analysis_submenus_[2] = sub;
                        extension_submenu_ = sub;
                        break;
                    default:
                        break;
                    }
                    break;
                }
                }
            }
        };
    for (const Menu& menu : main_menu()) {
        QMenu* m = menuBar()->addMenu(q(menu.title));
        fill(m, menu.entries);
        connect(m, &QMenu::aboutToShow, this, &MainWindow::refresh_menus);
        menus_.push_back(m);
    }

    // Popup menus of the page window share the commands' actions; items whose popup label
    // differs get an action of their own that sends the same number.
    for (const Menu& menu : popup_menus()) {
        auto* m = new QMenu(q(menu.title), this);
        m->setObjectName(q(menu.title));
        for (const MenuEntry& e : menu.entries) {
            if (e.kind == MenuEntry::Kind::Separator) {
                m->addSeparator();
            } else if (e.label.empty()) {
                m->addAction(actions_.at(e.id));
            } else {
                QAction* a = make_action(e.id, q(e.label));
                popup_actions_.push_back(a);
                m->addAction(a);
            }
        }
        connect(m, &QMenu::aboutToShow, this, &MainWindow::refresh_menus);
        popups_.push_back(m);
    }
}

void MainWindow::set_status_text(int part, const QString& text) {
    if (part >= 0 && part < 3) status_[part]->setText(text);
}

QMenu* MainWindow::popup_menu(int index) const {
    return index >= 0 && index < static_cast<int>(popups_.size()) ? popups_[index] : nullptr;
}

void MainWindow::build_toolbar() {
    toolbar_ = addToolBar(QStringLiteral("toolbar"));
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setIconSize(QSize(19, 19));
    toolbar_->setMovable(false);
    for (const ToolButton& b : toolbar_buttons()) {
        if (b.group_start) toolbar_->addSeparator();
        // The button carries the command's own action so it greys and checks with the menu.
        QAction* a = actions_.at(b.id);
        a->setIcon(tool_icon(b.id));
        a->setToolTip(q(b.tooltip));
        toolbar_->addAction(a);
    }
}

void MainWindow::build_status_bar() {
    // Parts end at 180, 270 and 600 pixels.
    const int widths[3] = {180, 90, 330};
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setMinimumWidth(widths[i]);
        status_[i]->setFrameShape(QFrame::Panel);
        status_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(status_[i], i == 2 ? 1 : 0);
    }
}

QAction* MainWindow::action(int id) const {
    auto it = actions_.find(id);
    if (it != actions_.end()) return it->second;
    const int g = cmd::graph_of_command(id);
    if (g >= 0 && g < static_cast<int>(graph_items_.size())) return graph_items_[g];
    if (id >= cmd::FirstRecent && id < cmd::FirstRecent + static_cast<int>(recent_items_.size()))
        return recent_items_[id - cmd::FirstRecent];
    return nullptr;
}

QMenu* MainWindow::menu(int position) const {
    return position >= 0 && position < static_cast<int>(menus_.size()) ? menus_[position] : nullptr;
}

void MainWindow::set_handler(int id, std::function<void()> handler,
                             std::function<bool()> available) {
    handlers_[id] = Handler{std::move(handler), std::move(available)};
    refresh_menus();
}

bool MainWindow::is_command_enabled(int id) {
    return is_command_enabled(id, evaluate_menu_state(menu_inputs()));
}

bool MainWindow::is_command_enabled(int id, const MenuState& rules) const {
    const int g = cmd::graph_of_command(id);
    if (g >= 0) return g < state_.graph_count();
    if (id >= cmd::FirstRecent && id < cmd::FirstRecent + MAX_RECENT_FILES)
        return id - cmd::FirstRecent < static_cast<int>(state_.recent.size());
    auto h = handlers_.find(id);
    if (h == handlers_.end()) return false;
    if (h->second.available && !h->second.available()) return false;
    if (const ItemState* s = rules.find(id); s && !s->enabled) return false;
    if ((id == cmd::Again || id == cmd::ClearAnalysis) && !rules.analysis_submenus_enabled)
        return false;
    return true;
}

void MainWindow::send_command(int id) {
    page_->cancel_pending_operation();
    const int g = cmd::graph_of_command(id);
    if (g >= 0) {
        if (g < state_.graph_count()) make_current(g);
    } else if (id >= cmd::FirstRecent && id < cmd::FirstRecent + MAX_RECENT_FILES) {
        open_recent(id - cmd::FirstRecent);
    } else if (is_command_enabled(id)) {
        handlers_.at(id).run();
    } else {
        return;
    }
    refresh_menus();
    emit command_executed(id);
}

MenuInputs MainWindow::menu_inputs() const {
    MenuInputs in;
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime) {
        in.clipboard_text = mime->hasText();
        in.clipboard_arrow = mime->hasFormat(QStringLiteral("application/x-plox-arrow"));
        in.clipboard_rect = mime->hasFormat(QStringLiteral("application/x-plox-rect"));
        in.clipboard_dot = mime->hasFormat(QStringLiteral("application/x-plox-dot"));
        in.clipboard_legend = mime->hasFormat(QStringLiteral("application/x-plox-legend"));
    }
    if (selection_source_) in.selection = selection_source_();
    const Graph* g = state_.current();
    in.free_object_slot = g && find_free_object_slot(*g) >= 0;
    in.graph_count = state_.graph_count();
    in.current_graph = state_.set.current;
    in.show_all = state_.set.show_all;
    in.preview = state_.preview;
    in.default_page_width_mm = state_.default_page.width_mm;
    in.series_count = g ? g->series_count : 0;
    in.x_common = g && g->axes[AxisX].common;
    in.y_common = g && g->axes[AxisY].common;
    return in;
}

void MainWindow::refresh_menus() {
    menu_state_ = evaluate_menu_state(menu_inputs());
    for (auto& [id, a] : actions_) {
        const Command* c = find_command(id);
        const ItemState* s = menu_state_.find(id);
        a->setEnabled(is_command_enabled(id, menu_state_));
        if (a->isCheckable()) a->setChecked(s && s->checked);
        QString label = c ? q(c->label) : a->text();
        if (s && s->label) label = q(*s->label).section(QLatin1Char('\t'), 0, 0);
        a->setText(label);
    }
    for (QAction* a : popup_actions_)
        a->setEnabled(is_command_enabled(a->data().toInt(), menu_state_));
    for (QMenu* sub : analysis_submenus_)
        if (sub) sub->menuAction()->setEnabled(menu_state_.analysis_submenus_enabled);
    if (align_submenu_) align_submenu_->menuAction()->setEnabled(menu_state_.align_submenu_enabled);
    for (int i = 0; i < static_cast<int>(graph_items_.size()); ++i)
        graph_items_[i]->setChecked(i == state_.set.current);
}

void MainWindow::rebuild_graph_menu() {
    for (QAction* a : graph_items_) {
        menus_[3]->removeAction(a);
        delete a;
    }
    graph_items_.clear();
    for (int i = 0; i < state_.graph_count(); ++i) {
        const int id = cmd::graph_command(i);
        QAction* a = new QAction(
            QStringLiteral("&%1:%2").arg(i + 1).arg(base_name(state_.set.graphs[i]->file_name)),
            this);
        a->setData(id);
        a->setCheckable(true);
        if (i < 4) a->setShortcut(QKeySequence(Qt::Key_F6 + i));
        connect(a, &QAction::triggered, this, [this, id] { send_command(id); });
        menus_[3]->addAction(a);
        addAction(a);
        graph_items_.push_back(a);
    }
    refresh_menus();
}

void MainWindow::rebuild_recent_menu() {
    for (QAction* a : recent_items_) {
        menus_[0]->removeAction(a);
        delete a;
    }
    recent_items_.clear();
    for (int i = 0; i < static_cast<int>(state_.recent.size()); ++i) {
        const int id = cmd::FirstRecent + i;
        QAction* a =
            new QAction(QStringLiteral("&%1:%2").arg(i + 1).arg(base_name(state_.recent[i])), this);
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { send_command(id); });
        menus_[0]->addAction(a);
        recent_items_.push_back(a);
    }
}

void MainWindow::add_recent(const std::string& path) {
    if (!services_.store) return;
    // One form per file, and one that still names it after the working folder changed.
    state_.recent = add_recent_file(*services_.store, paths::absolute(path));
    rebuild_recent_menu();
}

std::string MainWindow::caption_name() const {
    const auto& set = state_.set;
    if (set.graphs.size() > 1) return paths::display_name(set.bundle_name);
    const Graph* g = state_.current();
    return paths::display_name(g ? g->file_name : std::string());
}

void MainWindow::update_caption() {
    setWindowTitle(QStringLiteral("PloxWin - %1").arg(QString::fromStdString(caption_name())));
}

void MainWindow::update_status() {
    const Graph* g = state_.current();
    status_[0]->setText(QStringLiteral("%1:%2")
                            .arg(state_.set.current + 1)
                            .arg(base_name(g ? g->file_name : std::string())));
}

void MainWindow::make_current(int index) {
    if (index < 0 || index >= state_.graph_count()) return;
    state_.set.current = index;
    update_status();
    update_caption();
    refresh_menus();
    if (!state_.preview && !state_.set.show_all) page_->viewport()->update();
}

void MainWindow::graph_set_changed() {
    rebuild_graph_menu();
    make_current(state_.set.current);
    redraw(true);
}

void MainWindow::graph_changed(bool scales_invalid) {
    if (Graph* g = state_.current()) {
        if (scales_invalid) invalidate_scales(*g);
        mark_modified(*g);
    }
    redraw(false);
}

void MainWindow::redraw(bool fresh) {
    if (fresh) state_.drawings_valid = false;
    page_->update_layout();
    refresh_menus();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    open_dropped(event->mimeData()->urls());
    event->acceptProposedAction();
}

void MainWindow::open_dropped(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        const std::string path = url.toLocalFile().toStdString();
        if (path.empty() || path.size() >= PATH_CAPACITY) continue;
        open_file(path, true, OpenSource::Drop);
    }
    redraw(true);
}

} // namespace plox::shell
