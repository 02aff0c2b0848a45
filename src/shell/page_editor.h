// Editing on the page window: selecting, dragging, placing and the object commands, with the
// undo history every change of the graph set goes through. The window's set-up installs one.
#pragma once

#include "dialogs/object_dialogs.h"
#include "editing/object_edit.h"
#include "editing/selection.h"
#include "editing/undo_history.h"
#include "render/surface.h"
#include "shell/page_window.h"

#include <QObject>
#include <memory>
#include <optional>
#include <utility>

namespace plox::shell {

class MainWindow;

class PageEditor : public QObject {
    Q_OBJECT
public:
    PageEditor(MainWindow& window, SettingsStore* store);
    ~PageEditor() override;

    // Replaces the object dialogs (tests use fakes); null: object dialogs stay greyed.
    void set_dialogs(ObjectDialogs* dialogs) { dialogs_ = dialogs; }

    const editing::Selection& selection() const { return selection_; }
    void select(const editing::Hit& hit);
    void clear_selection();
    editing::UndoHistory& history() { return history_; }
    // The region the right button or a left drag over nothing last drew (page units).
    std::optional<editing::Rect32> region() const { return region_; }
    // The same region's corners in the order they were drawn: where the drag started, then
    // where it ended (trimming takes the axis directions from it).
    std::optional<std::pair<plox::Point, plox::Point>> region_corners() const {
        return region_corners_;
    }
    // True while that region is what is selected (the commands of the region's menu act on it).
    bool region_selected() const;

    // Keys of the page window.
    void tab(bool backwards);
    void enter();
    void escape();

    // Commands.
    void insert_text(int32_t type, std::string initial = {});
    void insert_legend();
    void insert_clipboard_text();
    void insert_arrow();
    void insert_rectangle();
    void insert_point_object();
    void insert_picture();
    void delete_selected();
    void copy_selected();
    void paste();
    void cut_selected();
    void order(bool to_front);
    void align(editing::Align how);
    void object_manager();
    void undo();
    void redo();

    // Opens the dialog of object `slot` of the current graph; true when a change was applied.
    bool edit_object(int slot);

private:
    enum class Mode { Idle, Dragging, Placing, PlacingByMouse, RightDrag };

    void press(const PageMouseEvent& e);
    void move(const PageMouseEvent& e);
    void release(const PageMouseEvent& e);
    void double_click(const PageMouseEvent& e);
    void left_press(const PageMouseEvent& e);
    void left_release(const PageMouseEvent& e);
    void right_release(const PageMouseEvent& e);
    void place(const PageMouseEvent& e);
    void place_by_mouse_press(const PageMouseEvent& e);
    void place_by_mouse_release(const PageMouseEvent& e);
    void open_dialog_at(const PageMouseEvent& e);
    void open_series_at(int32_t x, int32_t y);
    void hover(const PageMouseEvent& e);
    void paint_overlay(QPainter& p);
    void paint_marks(QPainter& p);
    void set_status(const QString& text);
    void run_dialog(GraphObject work, int slot, bool allow_paste);
    void commit(const GraphObject& work, int slot);
    void after_command(int id);
    void changed(); // the current graph changed: marked, redrawn, menus refreshed
    Graph* graph();
    bool valid_selection() const;

    MainWindow& window_;
    PageWindow& page_;
    SettingsStore* store_;
    ObjectDialogs* dialogs_ = nullptr;
    std::unique_ptr<ObjectDialogs> own_dialogs_;
    editing::UndoHistory history_;
    editing::Selection selection_;
    editing::Selection remembered_; // while the right button is down
    std::optional<editing::Rect32> region_;
    std::optional<std::pair<plox::Point, plox::Point>> region_corners_;
    Mode mode_ = Mode::Idle;
    QPoint anchor_, mouse_;
    bool moved_ = false;
    // An object being placed (Placing, PlacingByMouse) and its slot (-1: a new object).
    GraphObject placing_;
    int placing_slot_ = -1;
    int placing_point_ = 0;
};

// Creates the editor of the window's page and registers its commands and dialogs.
PageEditor* install_page_editing(MainWindow& window, SettingsStore* store);

} // namespace plox::shell
