// Rubber band and cross-hair over the page window.
#include "shell/analysis_overlay.h"

#include "shell/page_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace plox::shell {

AnalysisOverlay::AnalysisOverlay(PageWindow* page) : QWidget(page->viewport()), page_(page) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("analysis_overlay"));
    page->viewport()->installEventFilter(this);
    setGeometry(page->viewport()->rect());
    show();
}

void AnalysisOverlay::pick_region(RegionDone done) {
    done_ = std::move(done);
    anchor_.reset();
    corner_.reset();
    page_->viewport()->setCursor(Qt::CrossCursor);
}

void AnalysisOverlay::cancel() {
    done_ = nullptr;
    anchor_.reset();
    corner_.reset();
    page_->viewport()->unsetCursor();
    update();
}

void AnalysisOverlay::set_cross_hair(std::optional<Point> at, QColor colour) {
    cross_ = at;
    cross_colour_ = colour;
    update();
}

Point AnalysisOverlay::to_logical(QPointF p) const {
    const PageLayout layout = page_->layout();
    const QPoint origin = page_->to_device(0, 0);
    if (layout.extent.width <= 0 || layout.extent.height <= 0) return {};
    return {static_cast<int32_t>((p.x() - origin.x()) * LOGICAL_EXTENT / layout.extent.width),
            static_cast<int32_t>((p.y() - origin.y()) * LOGICAL_EXTENT / layout.extent.height)};
}

bool AnalysisOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) setGeometry(page_->viewport()->rect());
    if (!done_ || watched != page_->viewport()) return false;
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton) {
            cancel();
            return true;
        }
        anchor_ = corner_ = to_logical(mouse->position());
        update();
        return true;
    case QEvent::MouseMove:
        if (anchor_) {
            corner_ = to_logical(mouse->position());
            update();
        }
        return anchor_.has_value();
    case QEvent::MouseButtonRelease:
        if (anchor_ && mouse->button() == Qt::LeftButton) {
            const Point a = *anchor_, b = to_logical(mouse->position());
            RegionDone done = std::move(done_);
            cancel();
            // A click without a drag picks nothing.
            if (a.x != b.x && a.y != b.y) done(a, b);
        }
        return true;
    default:
        return false;
    }
}

void AnalysisOverlay::paintEvent(QPaintEvent*) {
    if (!anchor_ && !cross_) return;
    QPainter p(this);
    if (anchor_ && corner_) {
        const QPoint a = page_->to_device(anchor_->x, anchor_->y);
        const QPoint b = page_->to_device(corner_->x, corner_->y);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(QRect(a, b).normalized());
    }
    if (cross_) {
        const QPoint c = page_->to_device(cross_->x, cross_->y);
        p.setPen(QPen(cross_colour_, 1));
        p.drawLine(0, c.y(), width(), c.y());
        p.drawLine(c.x(), 0, c.x(), height());
    }
}

} // namespace plox::shell
