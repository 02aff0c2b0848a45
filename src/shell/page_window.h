// The page window "PloxImage": a scrolling view of the 320 mm square page in which the shown
// graphs are painted from their cached drawings, with the preview of the printed page.
#pragma once

#include "shell/app_state.h"
#include "shell/page_geometry.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QRect>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QPainter;

namespace plox::shell {

// Draws one graph: its body (from the cache when there is one) and then its objects. `scale`
// is device pixels per logical unit, `origin` the device position of logical (0, 0).
using GraphPainter =
    std::function<void(QPainter&, Graph&, const AppState&, double scale, QPointF origin)>;

// Feedback painted over the page after the graphs (outlines, selection marks, rubber bands, the
// value-reading cross-hair). The painter works in device pixels; PageWindow::to_device maps
// logical points. Overlays are never drawn into the cached drawings, so a repaint cannot leave
// a stale outline behind.
using OverlayPainter = std::function<void(QPainter&)>;

// A rectangle in logical units with left <= right and top <= bottom.
struct LogicalRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What the mouse does on the page; positions are logical units (0.01 mm), `device` the pixel.
struct PageMouseEvent {
    int x = 0, y = 0;
    QPoint device;
    Qt::MouseButton button = Qt::NoButton;
    Qt::KeyboardModifiers modifiers;
    bool inside = true; // released inside the window
};
struct PageMouseHandler {
    std::function<void(const PageMouseEvent&)> press, move, release, double_click;
};

// A region picked with the left button: the first press anchors it, a dotted rubber band follows
// the mouse (`moving` is told each new corner) and the release hands the normalised rectangle
// to `done`. Cancelling (Escape, any command) calls neither.
struct RegionRequest {
    std::function<void(const LogicalRect&)> done;
    std::function<void(int x1, int y1, int x2, int y2)> moving;
    std::optional<QPoint> cursor_at; // logical point the cursor is put on when the request starts
    Qt::CursorShape cursor = Qt::CrossCursor;
};

class PageWindow : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageWindow(AppState& state, QWidget* parent = nullptr);

    void set_graph_painter(GraphPainter painter) { graph_painter_ = std::move(painter); }
    // Recomputes the extent (zoom, preview, window size) and repaints.
    void update_layout();
    PageLayout layout() const { return layout_; }

    // Keys of the main window.
    void scroll_to_bottom();
    void scroll_pages(int vertical, int horizontal);
    void scroll_lines(int vertical);

    // A pending mouse operation ends (the mouse editing sets how) and the cursor is the arrow
    // again; every command does this first.
    void set_cancel_handler(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    // Further handlers run after it (each mouse operation of its own).
    void add_cancel_handler(std::function<void()> cancel) {
        more_cancel_.push_back(std::move(cancel));
    }
    void cancel_pending_operation();

    // Device position of a logical point, scroll positions included.
    QPoint to_device(int x, int y) const;
    // Logical position of a device pixel of the viewport.
    QPoint to_logical(QPointF device) const;

    // Overlays are painted in the order of their ids; `add_overlay` answers the id.
    int add_overlay(OverlayPainter painter);
    void remove_overlay(int id);
    // Repaints the overlays (and the page under them, from the caches).
    void update_overlays();

    // The mouse on the page goes to this handler unless a region is being picked.
    void set_mouse_handler(PageMouseHandler handler) { mouse_ = std::move(handler); }
    // Starts picking a region (replacing any pending request).
    void pick_region(RegionRequest request);
    bool picking_region() const { return region_.has_value(); }
    // The rubber band of a region drawn by other code (the editing's own region selection).
    void set_rubber_band(std::optional<LogicalRect> band);

    // Paints the page as the window would into `painter` over `rect` (device pixels).
    void paint_page(QPainter& painter, const QRect& rect);

signals:
    void painted(double milliseconds);
    void escape_pressed();
    void tab_pressed(bool backwards);
    void enter_pressed();
    // The mouse over the page, in logical units.
    void mouse_moved(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct PendingRegion {
        RegionRequest request;
        bool anchored = false;
        QPoint anchor, corner; // logical
    };
    PageMouseEvent page_event(QMouseEvent* event) const;
    void paint_overlays(QPainter& painter);
    void paint_band(QPainter& painter, const LogicalRect& band);

    void map_logical(QPainter& painter) const;

    AppState& state_;
    PageLayout layout_;
    GraphPainter graph_painter_;
    std::function<void()> cancel_;
    std::vector<std::function<void()>> more_cancel_;
    std::map<int, OverlayPainter> overlays_;
    int next_overlay_ = 1;
    PageMouseHandler mouse_;
    std::optional<PendingRegion> region_;
    std::optional<LogicalRect> band_;
};

} // namespace plox::shell
