// The object commands of the page window (insert, delete, clipboard, order, align, object
// manager), undo and redo, and the installation of the editor into the main window.
#include "dialogs/object_dialogs_qt.h"
#include "document/graph_ops.h"
#include "editing/object_clipboard.h"
#include "platform/text_decoding.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/page_editor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <algorithm>
#include <cstdio>

namespace plox::shell {

using namespace plox::editing;

PageEditor::PageEditor(MainWindow& window, SettingsStore* store)
    : QObject(&window), window_(window), page_(*window.page()), store_(store) {
    setObjectName(QStringLiteral("PageEditor"));
    own_dialogs_ = std::make_unique<QtObjectDialogs>(&window);
    dialogs_ = own_dialogs_.get();
    page_.set_mouse_handler({[this](const PageMouseEvent& e) { press(e); },
                             [this](const PageMouseEvent& e) { move(e); },
                             [this](const PageMouseEvent& e) { release(e); },
                             [this](const PageMouseEvent& e) { double_click(e); }});
    page_.add_overlay([this](QPainter& p) { paint_overlay(p); });
    page_.add_cancel_handler([this] {
        if (mode_ != Mode::Idle) mode_ = Mode::Idle;
        page_.set_rubber_band(std::nullopt);
    });
    connect(&page_, &PageWindow::tab_pressed, this, [this](bool back) { tab(back); });
    connect(&page_, &PageWindow::enter_pressed, this, [this] { enter(); });
    connect(&page_, &PageWindow::escape_pressed, this, [this] { escape(); });
    connect(&window_, &MainWindow::command_executed, this, [this](int id) { after_command(id); });
}

void PageEditor::changed() {
    if (Graph* g = graph()) mark_modified(*g);
    window_.redraw(false);
    page_.update_overlays();
}

void PageEditor::after_command(int id) {
    AppState& s = window_.state();
    if (id == cmd::Save || id == cmd::SaveGraphAs || id == cmd::SaveAllAs)
        history_.mark_saved(s.set);
    // A document opened in place of a graph starts a history of its own.
    if (id == cmd::OpenDocument || (id >= cmd::FirstRecent && id < cmd::FirstRecent + 5))
        history_.clear();
    history_.forget_missing(s.set);
    if (!valid_selection() && !selection_.empty()) clear_selection();
}

void PageEditor::commit(const GraphObject& work, int slot) {
    Graph* g = graph();
    if (!g) return;
    window_.begin_change();
    if (slot < 0) {
        slot = insert_object(*g, work);
        if (slot < 0) {
            history_.drop_last();
            return;
        }
    } else {
        g->objects[static_cast<size_t>(slot)] = work;
        g->objects[static_cast<size_t>(slot)].used = 1;
    }
    const int k = object_selection_kind(g->objects[static_cast<size_t>(slot)]);
    selection_ = editing::Selection{};
    selection_.hit = {k == editing::kind::Nothing ? editing::kind::Text : k, slot};
    changed();
    window_.refresh_menus();
}

void PageEditor::run_dialog(GraphObject work, int slot, bool allow_paste) {
    Graph* g = graph();
    if (!g || !dialogs_) return;
    const forms::ObjectAnswer answer = dialogs_->edit_object(*g, work, allow_paste, store_);
    switch (answer) {
    case forms::ObjectAnswer::Ok:
        commit(work, slot);
        break;
    case forms::ObjectAnswer::Delete:
        if (slot >= 0) {
            window_.begin_change();
            delete_object(*g, slot);
            clear_selection();
            changed();
        }
        break;
    case forms::ObjectAnswer::Paste:
    case forms::ObjectAnswer::Mouse:
        placing_ = work;
        placing_slot_ = slot;
        placing_point_ = 0;
        mode_ = answer == forms::ObjectAnswer::Paste ? Mode::Placing : Mode::PlacingByMouse;
        page_.viewport()->setCursor(Qt::CrossCursor);
        page_.setFocus();
        break;
    case forms::ObjectAnswer::Cancel:
        break;
    }
}

bool PageEditor::edit_object(int slot) {
    Graph* g = graph();
    if (!g || slot < 0 || slot >= MAX_OBJECTS || !g->objects[static_cast<size_t>(slot)].used)
        return false;
    const int32_t before = g->unmodified;
    const size_t steps = history_.steps();
    run_dialog(g->objects[static_cast<size_t>(slot)], slot, false);
    return history_.steps() != steps || before != g->unmodified;
}

void PageEditor::insert_text(int32_t type, std::string initial) {
    Graph* g = graph();
    if (!g) return;
    if (type >= object_type::TitleX && type <= object_type::TitleR) {
        // An axis has one title: inserting it again opens the existing one.
        if (const int slot = find_object(*g, type); slot >= 0) {
            run_dialog(g->objects[static_cast<size_t>(slot)], slot, false);
            return;
        }
    }
    if (find_free_object_slot(*g) < 0) return;
    GraphObject o = new_text(*g, type, store_);
    if (!initial.empty()) o.Str = std::move(initial);
    run_dialog(o, -1, true);
}

void PageEditor::insert_legend() {
    Graph* g = graph();
    if (!g) return;
    std::string text;
    for (int i = 0; i < g->series_count && text.size() < 480; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%s%%%02dE %%%02dN", i ? "\\n" : "", i + 1, i + 1);
        text += line;
    }
    insert_text(object_type::Text, text);
}

void PageEditor::insert_clipboard_text() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText()) return;
    const std::string text = text_from_clipboard(encode_cp932(mime->text()));
    insert_text(object_type::Text, text.empty() ? std::string(" ") : text);
}

void PageEditor::insert_arrow() {
    if (Graph* g = graph(); g && find_free_object_slot(*g) >= 0)
        run_dialog(new_arrow(*g, store_), -1, true);
}

void PageEditor::insert_rectangle() {
    if (Graph* g = graph(); g && find_free_object_slot(*g) >= 0)
        run_dialog(new_rectangle(*g, store_), -1, true);
}

void PageEditor::insert_point_object() {
    if (Graph* g = graph(); g && find_free_object_slot(*g) >= 0)
        run_dialog(new_point_object(*g, store_), -1, true);
}

void PageEditor::insert_picture() {
    if (Graph* g = graph(); g && find_free_object_slot(*g) >= 0)
        run_dialog(new_picture(*g), -1, true);
}

void PageEditor::delete_selected() {
    AppState& s = window_.state();
    if (is_frame_kind(selection_.hit.kind)) {
        clear_selection();
        window_.send_command(cmd::DeleteGraph);
        return;
    }
    std::vector<int> graphs;
    if (selection_.hit.kind == editing::kind::Group) {
        for (const ObjectRef& r : selection_.group)
            if (std::find(graphs.begin(), graphs.end(), r.graph) == graphs.end())
                graphs.push_back(r.graph);
    } else if (is_object_kind(selection_.hit.kind) && valid_selection()) {
        graphs.push_back(s.set.current);
    }
    if (graphs.empty()) return;
    for (int gi : graphs)
        window_.begin_change(gi);
    delete_selection(s.set, selection_);
    clear_selection();
    changed();
}

void PageEditor::copy_selected() {
    const Graph* g = graph();
    if (!g || !is_object_kind(selection_.hit.kind) || !valid_selection()) return;
    const GraphObject& o = g->objects[static_cast<size_t>(selection_.hit.slot)];
    const char* format = clipboard_format(o);
    if (!format) return;
    const std::vector<uint8_t> bytes = encode_object(o);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(format),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    QApplication::clipboard()->setMimeData(mime);
}

void PageEditor::cut_selected() {
    copy_selected();
    delete_selected();
}

void PageEditor::paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    Graph* g = graph();
    if (!mime || !g || find_free_object_slot(*g) < 0) return;
    for (const char* format : PASTE_ORDER) {
        const QString name = QString::fromLatin1(format);
        if (!mime->hasFormat(name)) continue;
        const QByteArray data = mime->data(name);
        // A foreign or damaged record is refused rather than trusted.
        auto object = decode_object(std::vector<uint8_t>(data.begin(), data.end()));
        if (!object) return;
        run_dialog(*object, -1, true);
        return;
    }
}

void PageEditor::order(bool to_front) {
    Graph* g = graph();
    if (!g || !is_object_kind(selection_.hit.kind) || !valid_selection()) return;
    window_.begin_change();
    const int slot =
        to_front ? bring_to_front(*g, selection_.hit.slot) : send_to_back(*g, selection_.hit.slot);
    selection_.hit.slot = slot;
    changed();
}

void PageEditor::align(Align how) {
    if (selection_.hit.kind != editing::kind::Group) return;
    std::vector<int> graphs;
    for (const ObjectRef& r : selection_.group)
        if (std::find(graphs.begin(), graphs.end(), r.graph) == graphs.end())
            graphs.push_back(r.graph);
    for (int gi : graphs)
        window_.begin_change(gi);
    if (!align_group(window_.state().set, selection_, how)) {
        for (size_t i = 0; i < graphs.size(); ++i)
            history_.drop_last();
        return;
    }
    changed();
}

void PageEditor::object_manager() {
    Graph* g = graph();
    if (!g || !dialogs_) return;
    int clicked = -1;
    auto list = dialogs_->object_manager(*g, clicked);
    if (!list) return;
    window_.begin_change();
    std::vector<int> open = list->apply(*g);
    if (clicked >= 0) open = {clicked};
    clear_selection();
    changed();
    for (int slot : open)
        edit_object(slot);
}

void PageEditor::undo() {
    const int graph = history_.undo(window_.state().set);
    if (graph < 0) return;
    clear_selection();
    window_.make_current(graph);
    window_.redraw(true);
}

void PageEditor::redo() {
    const int graph = history_.redo(window_.state().set);
    if (graph < 0) return;
    clear_selection();
    window_.make_current(graph);
    window_.redraw(true);
}

PageEditor* install_page_editing(MainWindow& w, SettingsStore* store) {
    auto* e = new PageEditor(w, store);
    w.set_change_recorder([e](const GraphSet& set, int graph) { e->history().record(set, graph); });
    w.set_item_dialog(ItemKind::Object, [e](Graph&, int slot) { return e->edit_object(slot); });
    w.set_selection_source([e] {
        const int k = e->selection().hit.kind;
        if (is_object_kind(k)) return shell::Selection::Object;
        if (k == editing::kind::Group) return shell::Selection::Objects;
        if (is_frame_kind(k)) return shell::Selection::Region;
        return shell::Selection::None;
    });
    auto has_object = [e] { return is_object_kind(e->selection().hit.kind); };
    w.set_handler(cmd::InsertText, [e] { e->insert_text(object_type::Text); });
    w.set_handler(213, [e] { e->insert_text(object_type::Text); });
    for (int i = 0; i < 4; ++i)
        w.set_handler(209 + i, [e, i] { e->insert_text(object_type::TitleX + i); });
    w.set_handler(214, [e] { e->insert_legend(); });
    w.set_handler(215, [e] { e->insert_clipboard_text(); });
    w.set_handler(cmd::InsertArrow, [e] { e->insert_arrow(); });
    w.set_handler(216, [e] { e->insert_arrow(); });
    w.set_handler(cmd::InsertRect, [e] { e->insert_rectangle(); });
    w.set_handler(218, [e] { e->insert_rectangle(); });
    w.set_handler(217, [e] { e->insert_point_object(); });
    w.set_handler(cmd::InsertPicture, [e] { e->insert_picture(); });
    w.set_handler(cmd::Delete, [e] { e->delete_selected(); });
    w.set_handler(
        cmd::Copy, [e] { e->copy_selected(); }, has_object);
    w.set_handler(
        cmd::Cut, [e] { e->cut_selected(); }, has_object);
    w.set_handler(cmd::Paste, [e] { e->paste(); });
    w.set_handler(
        cmd::ObjectUp, [e] { e->order(true); }, has_object);
    w.set_handler(
        cmd::ObjectDown, [e] { e->order(false); }, has_object);
    w.set_handler(245, [e] { e->align(Align::Left); });
    w.set_handler(246, [e] { e->align(Align::Centre); });
    w.set_handler(247, [e] { e->align(Align::Right); });
    w.set_handler(cmd::ObjectManager, [e] { e->object_manager(); });
    w.set_handler(
        cmd::Undo, [e] { e->undo(); }, [e] { return e->history().can_undo(); });
    if (QAction* undo = w.action(cmd::Undo)) undo->setShortcut(QKeySequence::Undo);
    auto* redo = new QAction(QStringLiteral("Redo"), &w);
    redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    redo->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(redo, &QAction::triggered, e, [e, &w] {
        w.page()->cancel_pending_operation();
        e->redo();
        w.refresh_menus();
    });
    w.addAction(redo);
    return e;
}

} // namespace plox::shell
