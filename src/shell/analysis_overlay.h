// Feedback of the data tools painted over the page window, never into its cached drawing: the
// rubber band of a region being picked for a mask or a trimming, and the value-reading
// cross-hair. Picking a region takes the page window's mouse until the button is released.
#pragma once

#include "render/surface.h"

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

namespace plox::shell {

class PageWindow;

class AnalysisOverlay : public QWidget {
public:
    explicit AnalysisOverlay(PageWindow* page);

    // The next rectangle dragged on the page, its corners in logical units (press, release).
    using RegionDone = std::function<void(Point first, Point second)>;
    void pick_region(RegionDone done);
    bool picking() const { return static_cast<bool>(done_); }
    void cancel();

    void set_cross_hair(std::optional<Point> at, QColor colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Point to_logical(QPointF device) const;

    PageWindow* page_;
    RegionDone done_;
    std::optional<Point> anchor_, corner_; // logical
    std::optional<Point> cross_;
    QColor cross_colour_;
};

} // namespace plox::shell
