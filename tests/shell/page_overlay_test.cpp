// Overlays and region picking of the page window, driven by synthetic mouse events.
#include "shell/page_window.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace plox::shell {
namespace {

struct PageFixture : ::testing::Test {
    PageFixture() {
        page.resize(600, 500);
        page.show();
    }
    QApplication& app = test_application(); // before any widget
    AppState state;
    PageWindow page{state};
};

TEST_F(PageFixture, RegionIsNormalisedAndOnlyTheLeftButtonPicksIt) {
    std::optional<LogicalRect> got;
    int moves = 0;
    RegionRequest request;
    request.done = [&](const LogicalRect& r) { got = r; };
    request.moving = [&](int, int, int, int) { ++moves; };
    page.pick_region(request);
    QWidget* vp = page.viewport();
    const QPoint a = page.to_device(8000, 9000), b = page.to_device(3000, 4000);
    QTest::mousePress(vp, Qt::RightButton, {}, a);
    QTest::mouseRelease(vp, Qt::RightButton, {}, a);
    EXPECT_FALSE(got);
    QTest::mousePress(vp, Qt::LeftButton, {}, a);
    QMouseEvent move(QEvent::MouseMove, QPointF(b), vp->mapToGlobal(QPointF(b)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
    ASSERT_TRUE(got);
    EXPECT_NEAR(got->left, 3000, 60);
    EXPECT_NEAR(got->top, 4000, 60);
    EXPECT_NEAR(got->right, 8000, 60);
    EXPECT_NEAR(got->bottom, 9000, 60);
    EXPECT_GE(moves, 2);
    EXPECT_FALSE(page.picking_region());
}

TEST_F(PageFixture, CancellingARegionCallsNothingAndMouseGoesBackToTheHandler) {
    bool done = false;
    int presses = 0;
    page.set_mouse_handler({[&](const PageMouseEvent&) { ++presses; }, {}, {}, {}});
    RegionRequest request;
    request.done = [&](const LogicalRect&) { done = true; };
    page.pick_region(request);
    page.cancel_pending_operation();
    const QPoint p = page.to_device(5000, 5000);
    QTest::mousePress(page.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(page.viewport(), Qt::LeftButton, {}, p);
    EXPECT_FALSE(done);
    EXPECT_EQ(presses, 1);
}

TEST_F(PageFixture, OverlaysPaintOverThePageUntilRemoved) {
    const QPoint at = page.to_device(5000, 5000);
    const int id =
        page.add_overlay([&](QPainter& p) { p.fillRect(QRect(at, QSize(4, 4)), Qt::red); });
    QImage image = page.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(at + QPoint(1, 1)), QColor(Qt::red));
    page.remove_overlay(id);
    image = page.viewport()->grab().toImage();
    EXPECT_NE(image.pixelColor(at + QPoint(1, 1)), QColor(Qt::red));
}

} // namespace
} // namespace plox::shell
