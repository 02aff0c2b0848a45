// The page window "PloxImage": a scrolling view of the 320 mm square page in which the shown
// graphs are painted from their cached drawings, with the preview of the printed page.
#pragma once

#include "shell/app_state.h"
#include "shell/page_geometry.h"

#include <QAbstractScrollArea>
#include <functional>

class QPainter;

namespace plox::shell {

// Draws one graph: its body (from the cache when there is one) and then its objects. `scale`
// is device pixels per logical unit, `origin` the device position of logical (0, 0).
using GraphPainter =
    std::function<void(QPainter&, Graph&, const AppState&, double scale, QPointF origin)>;

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
    void cancel_pending_operation();

    // Device position of a logical point, scroll positions included.
    QPoint to_device(int x, int y) const;

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

private:
    void map_logical(QPainter& painter) const;

    AppState& state_;
    PageLayout layout_;
    GraphPainter graph_painter_;
    std::function<void()> cancel_;
};

} // namespace plox::shell
