// Mouse and keys of the page window: hit testing under the mouse, drags with their dotted
// outline and status text, regions, placing objects, double clicks and the popup menus.
#include "shell/page_editor.h"

#include "data/series_builder.h"
#include "editing/drag.h"
#include "editing/hit_test.h"
#include "render/mapping.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace plox::shell {

using namespace plox::editing;

namespace {

Qt::CursorShape hover_cursor(int k) {
    switch (k) {
    case editing::kind::WholeFrame:
    case editing::kind::EdgeTop:
    case editing::kind::Text:
    case editing::kind::ArrowStart:
    case editing::kind::ArrowEnd:
    case editing::kind::ArrowWhole:
    case editing::kind::Point:
    case editing::kind::Box:
    case editing::kind::Group:
        return Qt::SizeAllCursor;
    case editing::kind::CornerTopLeft:
    case editing::kind::CornerBottomRight:
    case editing::kind::BoxTopLeft:
    case editing::kind::BoxBottomRight:
        return Qt::SizeFDiagCursor;
    case editing::kind::CornerBottomLeft:
    case editing::kind::CornerTopRight:
    case editing::kind::BoxTopRight:
    case editing::kind::BoxBottomLeft:
        return Qt::SizeBDiagCursor;
    case editing::kind::EdgeBottom:
        return Qt::SizeVerCursor;
    case editing::kind::EdgeLeft:
    case editing::kind::EdgeRight:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

bool inside(const Rect32& r, int x, int y) {
    return x > r.left && x < r.right && y > r.top && y < r.bottom;
}

} // namespace

PageEditor::~PageEditor() = default;

Graph* PageEditor::graph() {
    return window_.state().current();
}

void PageEditor::set_status(const QString& text) {
    window_.set_status_text(2, text);
}

void PageEditor::select(const Hit& hit) {
    selection_ = editing::Selection{};
    selection_.hit = hit;
    page_.update_overlays();
    window_.refresh_menus();
}

void PageEditor::clear_selection() {
    select({});
}

bool PageEditor::valid_selection() const {
    const Graph* g = window_.state().current();
    if (!g) return false;
    if (is_object_kind(selection_.hit.kind))
        return selection_.hit.slot >= 0 && selection_.hit.slot < MAX_OBJECTS &&
               g->objects[static_cast<size_t>(selection_.hit.slot)].used;
    return true;
}

void PageEditor::press(const PageMouseEvent& e) {
    if (e.button == Qt::RightButton) {
        if (mode_ != Mode::Idle) return;
        remembered_ = selection_;
        mode_ = Mode::RightDrag;
        anchor_ = mouse_ = QPoint(e.x, e.y);
        moved_ = false;
        return;
    }
    if (e.button != Qt::LeftButton) return;
    switch (mode_) {
    case Mode::Placing:
        place(e);
        break;
    case Mode::PlacingByMouse:
        place_by_mouse_press(e);
        break;
    case Mode::Idle:
        left_press(e);
        break;
    default:
        break;
    }
}

void PageEditor::left_press(const PageMouseEvent& e) {
    AppState& s = window_.state();
    if (!(selection_.hit.kind == editing::kind::Group && inside(selection_.region, e.x, e.y))) {
        const GraphHit h = hit_test_set(s.set, s.set.show_all || s.preview, e.x, e.y);
        if (h.graph < 0) return;
        if (h.graph != s.set.current) window_.make_current(h.graph);
        selection_ = editing::Selection{};
        selection_.hit = h.hit;
        if (h.hit.kind <= editing::kind::InsideFrame) {
            selection_.hit = {editing::kind::Region};
            selection_.region = {e.x, e.y, e.x, e.y};
        }
    }
    mode_ = Mode::Dragging;
    anchor_ = mouse_ = QPoint(e.x, e.y);
    moved_ = false;
    page_.update_overlays();
    window_.refresh_menus();
}

void PageEditor::move(const PageMouseEvent& e) {
    const QPoint now(e.x, e.y);
    if (now != anchor_) moved_ = true;
    mouse_ = now;
    const Graph* g = graph();
    switch (mode_) {
    case Mode::Idle:
        hover(e);
        break;
    case Mode::Dragging:
        if (selection_.hit.kind == editing::kind::Region) {
            selection_.region = {std::min(anchor_.x(), e.x), std::min(anchor_.y(), e.y),
                                 std::max(anchor_.x(), e.x), std::max(anchor_.y(), e.y)};
            set_status(QStringLiteral("選択: (%1, %2)-( %3, %4)")
                           .arg(selection_.region.left / 100.0, 5, 'f', 2)
                           .arg(selection_.region.top / 100.0, 5, 'f', 2)
                           .arg(selection_.region.right / 100.0, 5, 'f', 2)
                           .arg(selection_.region.bottom / 100.0, 5, 'f', 2));
        } else if (g) {
            set_status(QString::fromStdString(drag_status(*g, selection_, e.x - anchor_.x(),
                                                          e.y - anchor_.y(),
                                                          window_.state().config.Glid)));
        }
        page_.update_overlays();
        break;
    case Mode::RightDrag:
        page_.set_rubber_band(LogicalRect{std::min(anchor_.x(), e.x), std::min(anchor_.y(), e.y),
                                          std::max(anchor_.x(), e.x), std::max(anchor_.y(), e.y)});
        break;
    case Mode::Placing:
    case Mode::PlacingByMouse:
        page_.update_overlays();
        break;
    }
}

void PageEditor::hover(const PageMouseEvent& e) {
    AppState& s = window_.state();
    const Graph* g = s.current();
    if (!g) return;
    int k = hit_test(*g, e.x, e.y).kind;
    if (selection_.hit.kind == editing::kind::Group && inside(selection_.region, e.x, e.y))
        k = editing::kind::Group;
    page_.viewport()->setCursor(hover_cursor(k));
    const auto [vx, vy] = inverse_map(*g, Point{e.x, e.y}, AxisX, AxisY);
    char buf[96];
    std::snprintf(buf, sizeof buf, "座標 (%6.4e, %6.4e)", vx, vy);
    set_status(QString::fromUtf8(buf));
}

void PageEditor::release(const PageMouseEvent& e) {
    if (e.button == Qt::RightButton && mode_ == Mode::RightDrag) {
        right_release(e);
        return;
    }
    if (e.button != Qt::LeftButton) return;
    if (mode_ == Mode::Dragging)
        left_release(e);
    else if (mode_ == Mode::PlacingByMouse)
        place_by_mouse_release(e);
}

void PageEditor::left_release(const PageMouseEvent& e) {
    mode_ = Mode::Idle;
    if (!moved_) {
        if (selection_.hit.kind == editing::kind::Region) clear_selection();
        page_.update_overlays();
        return;
    }
    AppState& s = window_.state();
    if (selection_.hit.kind == editing::kind::Region) {
        const Rect32 r = selection_.region;
        region_ = r;
        region_corners_ = {plox::Point{anchor_.x(), anchor_.y()}, plox::Point{e.x, e.y}};
        selection_ = select_region(s.set, r);
        page_.update_overlays();
        window_.refresh_menus();
        return;
    }
    const int dx = e.x - anchor_.x(), dy = e.y - anchor_.y();
    // The snapshot is taken only when the drag will change something.
    GraphSet& set = s.set;
    std::vector<int> graphs{set.current};
    if (selection_.hit.kind == editing::kind::Group) {
        graphs.clear();
        for (const ObjectRef& r : selection_.group)
            if (std::find(graphs.begin(), graphs.end(), r.graph) == graphs.end())
                graphs.push_back(r.graph);
    }
    for (int gi : graphs)
        window_.begin_change(gi);
    const bool changed_any = apply_drag(set, selection_, dx, dy, s.config.Glid);
    if (!changed_any) {
        for (size_t i = 0; i < graphs.size(); ++i)
            history_.drop_last(); // nothing changed: no step to undo
    } else if (selection_.hit.kind == editing::kind::Group) {
        selection_.region = {selection_.region.left + dx, selection_.region.top + dy,
                             selection_.region.right + dx, selection_.region.bottom + dy};
    }
    if (changed_any) changed();
    page_.update_overlays();
}

void PageEditor::right_release(const PageMouseEvent& e) {
    mode_ = Mode::Idle;
    page_.set_rubber_band(std::nullopt);
    AppState& s = window_.state();
    Graph* g = graph();
    if (!g) return;
    QMenu* menu = nullptr;
    if (moved_) {
        region_ = Rect32{std::min(anchor_.x(), e.x), std::min(anchor_.y(), e.y),
                         std::max(anchor_.x(), e.x), std::max(anchor_.y(), e.y)};
        selection_ = editing::Selection{};
        selection_.hit = {editing::kind::Region};
        selection_.region = *region_;
        region_corners_ = {plox::Point{anchor_.x(), anchor_.y()}, plox::Point{e.x, e.y}};
        menu = window_.popup_menu(0);
    } else {
        const Hit h = hit_test(*g, e.x, e.y);
        if (is_object_kind(h.kind) && h.kind == remembered_.hit.kind &&
            h.slot == remembered_.hit.slot) {
            selection_ = remembered_;
            menu = window_.popup_menu(2);
        } else {
            selection_ = editing::Selection{};
            if (h.kind == editing::kind::Nothing) {
                const GraphHit other = hit_test_set(s.set, true, e.x, e.y);
                if (other.graph >= 0 && other.graph != s.set.current &&
                    other.hit.kind != editing::kind::Nothing)
                    window_.make_current(other.graph);
            }
            menu = window_.popup_menu(1);
        }
    }
    page_.update_overlays();
    window_.refresh_menus();
    if (menu && e.inside) menu->popup(page_.viewport()->mapToGlobal(e.device));
}

bool PageEditor::region_selected() const {
    return region_ && selection_.hit.kind == editing::kind::Region;
}

void PageEditor::double_click(const PageMouseEvent& e) {
    if (mode_ != Mode::Idle && mode_ != Mode::Dragging) return;
    mode_ = Mode::Idle;
    open_dialog_at(e);
}

void PageEditor::open_dialog_at(const PageMouseEvent& e) {
    AppState& s = window_.state();
    const GraphHit h = hit_test_set(s.set, s.set.show_all || s.preview, e.x, e.y);
    if (h.graph < 0) return;
    if (h.graph != s.set.current) window_.make_current(h.graph);
    const int k = h.hit.kind;
    if (k >= editing::kind::WholeFrame && k <= editing::kind::CornerBottomRight) {
        window_.open_item_dialog(ItemKind::Frame, 0);
    } else if (k >= editing::kind::EdgeBottom && k <= editing::kind::EdgeRight) {
        static constexpr int axis[4] = {AxisX, AxisY, AxisU, AxisR};
        window_.open_item_dialog(ItemKind::Axis, axis[k - editing::kind::EdgeBottom]);
    } else if (is_object_kind(k)) {
        select(h.hit);
        edit_object(h.hit.slot);
    } else if (k == editing::kind::InsideFrame) {
        open_series_at(e.x, e.y);
    }
}

// The last series with a data point within 3 mm of the mouse opens its sheet; else "&Update".
void PageEditor::open_series_at(int32_t x, int32_t y) {
    Graph* g = graph();
    if (!g) return;
    int found = -1;
    for (int i = 0; i < g->series_count; ++i) {
        const Series& sr = g->series[static_cast<size_t>(i)];
        auto points = build_series(*g, i, build_kind_for(sr));
        if (!points) continue;
        const AxisMapping mx = axis_mapping(*g, sr.isRefUpAxis ? AxisU : AxisX);
        const AxisMapping my = axis_mapping(*g, sr.isRefRightAxis ? AxisR : AxisY);
        for (size_t p = 0; p < points->size(); ++p) {
            int32_t px = 0, py = 0;
            if (!mx.map(points->x[p], px) || !my.map(points->y[p], py)) continue;
            if (std::abs(px - x) < HIT_TOLERANCE && std::abs(py - y) < HIT_TOLERANCE) {
                found = i;
                break;
            }
        }
    }
    if (found >= 0)
        window_.open_item_dialog(ItemKind::Series, found);
    else
        window_.send_command(103);
}

void PageEditor::tab(bool backwards) {
    const Graph* g = graph();
    if (!g || mode_ != Mode::Idle) return;
    Hit from = selection_.hit;
    if (!valid_selection()) from = {};
    select(next_in_tab_order(*g, from, backwards));
}

void PageEditor::enter() {
    const int k = selection_.hit.kind;
    if (k >= editing::kind::WholeFrame && k <= editing::kind::CornerBottomRight) {
        window_.open_item_dialog(ItemKind::Frame, 0);
    } else if (k >= editing::kind::EdgeBottom && k <= editing::kind::EdgeRight) {
        static constexpr int axis[4] = {AxisX, AxisY, AxisU, AxisR};
        window_.open_item_dialog(ItemKind::Axis, axis[k - editing::kind::EdgeBottom]);
    } else if (is_object_kind(k) && valid_selection()) {
        edit_object(selection_.hit.slot);
    }
}

void PageEditor::escape() {
    if (mode_ != Mode::Idle) {
        mode_ = Mode::Idle;
        page_.viewport()->unsetCursor();
        page_.set_rubber_band(std::nullopt);
    }
    clear_selection();
}

void PageEditor::paint_marks(QPainter& p) {
    const Graph* g = window_.state().current();
    if (!g) return;
    QPen pen(Qt::red, 2);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto mark = [&](int x, int y) {
        p.drawRect(QRect(page_.to_device(x, y) - QPoint(3, 3), QSize(6, 6)));
    };
    auto box = [&](int l, int t, int r, int b) {
        p.drawRect(QRect(page_.to_device(l, t), page_.to_device(r, b)).normalized());
    };
    const int k = selection_.hit.kind;
    if (is_frame_kind(k)) {
        const Rect32 f = editing::frame_rect(*g);
        for (int x : {f.left, (f.left + f.right) / 2, f.right})
            for (int y : {f.top, (f.top + f.bottom) / 2, f.bottom})
                if (x != (f.left + f.right) / 2 || y != (f.top + f.bottom) / 2) mark(x, y);
    } else if (is_object_kind(k) && valid_selection()) {
        const GraphObject& o = g->objects[static_cast<size_t>(selection_.hit.slot)];
        if (o.Type <= object_type::Line) {
            const Handles h = object_handles(*g, o);
            mark(h.x1, h.y1);
            mark(h.x2, h.y2);
            mark((h.x1 + h.x2) / 2, (h.y1 + h.y2) / 2);
        } else {
            box(o.extent_left, o.extent_top, o.extent_right, o.extent_bottom);
        }
    } else if (k == editing::kind::Group) {
        const AppState& s = window_.state();
        for (const ObjectRef& r : selection_.group) {
            if (r.graph < 0 || r.graph >= s.graph_count()) continue;
            const GraphObject& o =
                s.set.graphs[static_cast<size_t>(r.graph)]->objects[static_cast<size_t>(r.slot)];
            box(o.extent_left, o.extent_top, o.extent_right, o.extent_bottom);
        }
    }
}

void PageEditor::paint_overlay(QPainter& p) {
    const Graph* g = window_.state().current();
    if (!g) return;
    if (mode_ == Mode::Dragging && moved_) {
        QPen pen(Qt::red, 1, Qt::DotLine);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (selection_.hit.kind == editing::kind::Region) {
            const Rect32& r = selection_.region;
            p.drawRect(QRect(page_.to_device(r.left, r.top), page_.to_device(r.right, r.bottom))
                           .normalized());
            return;
        }
        const Outline o = moved_outline(grab_outline(*g, selection_), mouse_.x() - anchor_.x(),
                                        mouse_.y() - anchor_.y());
        const QPoint a = page_.to_device(o.c[0], o.c[1]), b = page_.to_device(o.c[2], o.c[3]);
        const int k = selection_.hit.kind;
        if (k >= editing::kind::ArrowStart && k <= editing::kind::ArrowWhole)
            p.drawLine(a, b);
        else
            p.drawRect(QRect(a, b).normalized());
        return;
    }
    if (mode_ == Mode::Placing) {
        QPen pen(Qt::red, 1, Qt::DotLine);
        pen.setCosmetic(true);
        p.setPen(pen);
        const QPoint c = page_.to_device(mouse_.x(), mouse_.y());
        p.drawRect(QRect(c - QPoint(20, 10), QSize(40, 20)));
        return;
    }
    paint_marks(p);
}

void PageEditor::place(const PageMouseEvent& e) {
    Graph* g = graph();
    mode_ = Mode::Idle;
    page_.viewport()->unsetCursor();
    if (!g) return;
    const int32_t snap = window_.state().config.Glid;
    const int32_t mag = g->Magnification > 0 ? g->Magnification : 100;
    const int32_t sx = static_cast<int32_t>(snap_value((e.x - g->frame_left) * 100.0 / mag, snap));
    const int32_t sy = static_cast<int32_t>(snap_value((e.y - g->frame_top) * 100.0 / mag, snap));
    GraphObject& o = placing_;
    switch (o.Type) {
    case object_type::PointObject: {
        const Point32 d{sx - o.points[0].x, sy - o.points[0].y};
        for (Point32& p : o.points)
            p = {p.x + d.x, p.y + d.y};
        break;
    }
    case object_type::FilledArrow:
    case object_type::OpenArrow:
    case object_type::Line:
    case object_type::Rectangle:
    case object_type::Picture: {
        const double dx = sx * 0.01 - o.position[0], dy = sy * 0.01 - o.position[1];
        o.position[0] += dx;
        o.position[1] += dy;
        if (o.Type != object_type::Picture) {
            o.position[2] += dx;
            o.position[3] += dy;
        }
        break;
    }
    default:
        o.x = sx;
        o.y = sy;
        break;
    }
    commit(o, placing_slot_);
}

void PageEditor::place_by_mouse_press(const PageMouseEvent& e) {
    Graph* g = graph();
    if (!g) return;
    const int32_t snap = window_.state().config.Glid;
    const int32_t mag = g->Magnification > 0 ? g->Magnification : 100;
    const int32_t sx = static_cast<int32_t>(snap_value((e.x - g->frame_left) * 100.0 / mag, snap));
    const int32_t sy = static_cast<int32_t>(snap_value((e.y - g->frame_top) * 100.0 / mag, snap));
    GraphObject& o = placing_;
    if (o.Type == object_type::PointObject) {
        o.points[static_cast<size_t>(placing_point_)] = {sx, sy};
        if (++placing_point_ >= std::clamp(o.alignment, 1, MAX_OBJECT_POINTS)) {
            mode_ = Mode::Idle;
            page_.viewport()->unsetCursor();
            commit(o, placing_slot_);
        }
        return;
    }
    // Arrows, rectangles and pictures: the press sets the start, the release the end.
    o.RefX = o.Type == object_type::Picture ? o.RefX : 0;
    o.RefY = o.Type == object_type::Picture ? o.RefY : 0;
    o.position[0] = sx * 0.01;
    o.position[1] = sy * 0.01;
    anchor_ = mouse_ = QPoint(e.x, e.y);
}

void PageEditor::place_by_mouse_release(const PageMouseEvent& e) {
    Graph* g = graph();
    if (!g || placing_.Type == object_type::PointObject) return;
    const int32_t snap = window_.state().config.Glid;
    const int32_t mag = g->Magnification > 0 ? g->Magnification : 100;
    const int64_t ex = snap_value((e.x - g->frame_left) * 100.0 / mag, snap);
    const int64_t ey = snap_value((e.y - g->frame_top) * 100.0 / mag, snap);
    GraphObject& o = placing_;
    if (o.Type == object_type::Picture) {
        const int64_t w = std::llabs(ex - std::llround(o.position[0] * 100));
        if (w >= 100) o.picture_box[2] = static_cast<int32_t>(std::min<int64_t>(w, 32000));
    } else {
        o.position[2] = static_cast<double>(ex) * 0.01;
        o.position[3] = static_cast<double>(ey) * 0.01;
    }
    mode_ = Mode::Idle;
    page_.viewport()->unsetCursor();
    commit(o, placing_slot_);
}

} // namespace plox::shell
