// Painting, scrolling and keys of the page window.
#include "shell/page_window.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace plox::shell {

namespace {

QColor colorref(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

PageWindow::PageWindow(AppState& state, QWidget* parent)
    : QAbstractScrollArea(parent), state_(state) {
    setObjectName(QStringLiteral("PloxImage"));
    setFrameShape(QFrame::Box);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    update_layout();
}

void PageWindow::update_layout() {
    const QSize client = viewport()->size();
    const double dpi_x = logicalDpiX(), dpi_y = logicalDpiY();
    if (state_.preview) {
        Paper paper = state_.default_page;
        paper.print_scale = state_.set.print_scale;
        layout_ = preview_layout(paper, {client.width(), client.height()}, dpi_x, dpi_y);
    } else {
        layout_ = normal_layout(state_.config.ScreenSize, dpi_x, dpi_y);
    }
    // The scroll range covers the extent; in preview the fitted paper needs no scrolling.
    const int full_w = state_.preview ? 0 : layout_.extent.width;
    const int full_h = state_.preview ? 0 : layout_.extent.height;
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, full_w - client.width()));
    v->setRange(0, std::max(0, full_h - client.height()));
    h->setPageStep(std::max(1, client.width()));
    v->setPageStep(std::max(1, client.height()));
    h->setSingleStep(line_step(client.width()));
    v->setSingleStep(line_step(client.height()));
    viewport()->update();
}

void PageWindow::cancel_pending_operation() {
    if (cancel_) cancel_();
    for (auto& cancel : more_cancel_)
        cancel();
    if (region_ || band_) {
        region_.reset();
        band_.reset();
        viewport()->update();
    }
    viewport()->unsetCursor();
}

void PageWindow::scroll_to_bottom() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void PageWindow::scroll_pages(int vertical, int horizontal) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  vertical * verticalScrollBar()->pageStep());
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                    horizontal * horizontalScrollBar()->pageStep());
}

void PageWindow::scroll_lines(int vertical) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  vertical * verticalScrollBar()->singleStep());
}

QPoint PageWindow::to_device(int x, int y) const {
    const int ox = layout_.origin_x - horizontalScrollBar()->value();
    const int oy = layout_.origin_y - verticalScrollBar()->value();
    return {ox + static_cast<int>(static_cast<int64_t>(x) * layout_.extent.width / LOGICAL_EXTENT),
            oy +
                static_cast<int>(static_cast<int64_t>(y) * layout_.extent.height / LOGICAL_EXTENT)};
}

QPoint PageWindow::to_logical(QPointF device) const {
    const QPoint origin = to_device(0, 0);
    if (layout_.extent.width <= 0 || layout_.extent.height <= 0) return {};
    return {static_cast<int>(
                std::floor((device.x() - origin.x()) * LOGICAL_EXTENT / layout_.extent.width)),
            static_cast<int>(
                std::floor((device.y() - origin.y()) * LOGICAL_EXTENT / layout_.extent.height))};
}

int PageWindow::add_overlay(OverlayPainter painter) {
    const int id = next_overlay_++;
    overlays_[id] = std::move(painter);
    viewport()->update();
    return id;
}

void PageWindow::remove_overlay(int id) {
    if (overlays_.erase(id)) viewport()->update();
}

void PageWindow::update_overlays() {
    viewport()->update();
}

void PageWindow::pick_region(RegionRequest request) {
    PendingRegion pending;
    pending.request = std::move(request);
    region_ = std::move(pending);
    band_.reset();
    viewport()->setCursor(region_->request.cursor);
    if (region_->request.cursor_at) {
        const QPoint at = region_->request.cursor_at.value();
        QCursor::setPos(viewport()->mapToGlobal(to_device(at.x(), at.y())));
    }
    viewport()->update();
}

void PageWindow::set_rubber_band(std::optional<LogicalRect> band) {
    band_ = band;
    viewport()->update();
}

void PageWindow::paint_band(QPainter& painter, const LogicalRect& band) {
    QPen pen(Qt::red, 0, Qt::DotLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPoint a = to_device(band.left, band.top), b = to_device(band.right, band.bottom);
    painter.drawRect(QRect(a, b).normalized());
}

void PageWindow::paint_overlays(QPainter& painter) {
    for (auto& [id, overlay] : overlays_) {
        painter.save();
        overlay(painter);
        painter.restore();
    }
    painter.save();
    if (band_) paint_band(painter, *band_);
    if (region_ && region_->anchored) {
        const QPoint a = region_->anchor, c = region_->corner;
        paint_band(painter, {std::min(a.x(), c.x()), std::min(a.y(), c.y()), std::max(a.x(), c.x()),
                             std::max(a.y(), c.y())});
    }
    painter.restore();
}

PageMouseEvent PageWindow::page_event(QMouseEvent* event) const {
    PageMouseEvent e;
    const QPoint p = to_logical(event->position());
    e.x = p.x();
    e.y = p.y();
    e.device = event->position().toPoint();
    e.button = event->button();
    e.modifiers = event->modifiers();
    e.inside = viewport()->rect().contains(e.device);
    return e;
}

void PageWindow::mousePressEvent(QMouseEvent* event) {
    const PageMouseEvent e = page_event(event);
    if (region_) {
        if (e.button == Qt::LeftButton) {
            region_->anchored = true;
            region_->anchor = region_->corner = QPoint(e.x, e.y);
            if (region_->request.moving) region_->request.moving(e.x, e.y, e.x, e.y);
            viewport()->update();
        }
        event->accept();
        return;
    }
    if (mouse_.press) mouse_.press(e);
    event->accept();
}

void PageWindow::mouseReleaseEvent(QMouseEvent* event) {
    const PageMouseEvent e = page_event(event);
    if (region_) {
        if (e.button == Qt::LeftButton && region_->anchored) {
            PendingRegion done = std::move(*region_);
            region_.reset();
            viewport()->unsetCursor();
            viewport()->update();
            const QPoint a = done.anchor;
            if (done.request.done)
                done.request.done({std::min(a.x(), e.x), std::min(a.y(), e.y), std::max(a.x(), e.x),
                                   std::max(a.y(), e.y)});
        }
        event->accept();
        return;
    }
    if (mouse_.release) mouse_.release(e);
    event->accept();
}

void PageWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const PageMouseEvent e = page_event(event);
    if (region_) {
        event->accept();
        return;
    }
    if (e.button == Qt::LeftButton && mouse_.double_click)
        mouse_.double_click(e);
    else if (mouse_.press)
        mouse_.press(e);
    event->accept();
}

void PageWindow::map_logical(QPainter& painter) const {
    painter.setWindow(0, 0, LOGICAL_EXTENT, LOGICAL_EXTENT);
    painter.setViewport(layout_.origin_x - horizontalScrollBar()->value(),
                        layout_.origin_y - verticalScrollBar()->value(), layout_.extent.width,
                        layout_.extent.height);
}

void PageWindow::paint_page(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.fillRect(rect, state_.preview ? palette().color(QPalette::Dark)
                                          : colorref(state_.config.BkColor));
    if (!state_.drawings_valid)
        for (auto& g : state_.set.graphs)
            g->cached_drawing.reset();

    map_logical(painter);
    if (state_.preview) {
        painter.save();
        painter.resetTransform();
        const QPoint corner = to_device(0, 0);
        QColor paper =
            state_.config.EnableBkColor ? colorref(state_.config.BkColor) : QColor(Qt::white);
        painter.fillRect(QRect(corner, QSize(layout_.paper.width, layout_.paper.height)), paper);
        painter.restore();
    } else if (state_.config.DrawGlid == 500 || state_.config.DrawGlid == 1000) {
        QPen dashed(QColor(0xA0, 0xA0, 0xA0), 0, Qt::DashLine);
        QPen dotted(QColor(0xA0, 0xA0, 0xA0), 0, Qt::DotLine);
        for (int p = 0; p <= 30000; p += state_.config.DrawGlid) {
            painter.setPen(p % 5000 == 0 ? dashed : dotted);
            painter.drawLine(p, 0, p, 30000);
            painter.drawLine(0, p, 30000, p);
        }
    }

    const bool all = state_.set.show_all || state_.preview;
    for (int i = 0; i < static_cast<int>(state_.set.graphs.size()); ++i) {
        if (!graph_painter_ || (!all && i != state_.set.current)) continue;
        painter.save();
        painter.setViewTransformEnabled(false);
        painter.resetTransform();
        graph_painter_(painter, *state_.set.graphs[i], state_,
                       static_cast<double>(layout_.extent.width) / LOGICAL_EXTENT,
                       QPointF(to_device(0, 0)));
        painter.restore();
    }
    state_.drawings_valid = true;
    painter.restore();
}

void PageWindow::paintEvent(QPaintEvent* event) {
    QElapsedTimer timer;
    timer.start();
    QPainter painter(viewport());
    paint_page(painter, event->rect());
    paint_overlays(painter);
    painter.end();
    emit painted(timer.nsecsElapsed() / 1e6);
}

void PageWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    update_layout();
}

void PageWindow::scrollContentsBy(int, int) {
    viewport()->update();
}

void PageWindow::mouseMoveEvent(QMouseEvent* event) {
    const PageMouseEvent e = page_event(event);
    if (layout_.extent.width > 0 && layout_.extent.height > 0) emit mouse_moved(e.x, e.y);
    if (region_) {
        if (region_->anchored) {
            region_->corner = QPoint(e.x, e.y);
            if (region_->request.moving)
                region_->request.moving(region_->anchor.x(), region_->anchor.y(), e.x, e.y);
            viewport()->update();
        }
    } else if (mouse_.move) {
        mouse_.move(e);
    }
    event->accept();
}

void PageWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta > 0)
        scroll_lines(-1);
    else if (delta < 0)
        scroll_lines(1);
    event->accept();
}

void PageWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_End:
        scroll_to_bottom();
        break;
    case Qt::Key_PageUp:
        scroll_pages(-1, 0);
        break;
    case Qt::Key_PageDown:
        scroll_pages(1, 0);
        break;
    case Qt::Key_Up:
        scroll_lines(-1);
        break;
    case Qt::Key_Down:
        scroll_lines(1);
        break;
    case Qt::Key_Left:
        scroll_pages(0, -1);
        break;
    case Qt::Key_Right:
        scroll_pages(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enter_pressed();
        break;
    case Qt::Key_Escape:
        if (region_) {
            cancel_pending_operation();
            break;
        }
        emit escape_pressed();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Tab and Shift+Tab select items instead of moving the focus.
bool PageWindow::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            emit tab_pressed(key->key() == Qt::Key_Backtab);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

} // namespace plox::shell
