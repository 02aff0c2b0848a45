// The analysis commands through the main window under the offscreen platform: the keyboard
// path of a polynomial fit, the extension analyses' menu texts, a mask drawn with the mouse, the
// commands of a region drawn with the right button and "もう一度".
// Modal dialogs are answered with the keys a user would press.
#include "platform/settings_qt.h"
#include "shell/command_table.h"
#include "shell/commands_analysis.h"
#include "shell/main_window.h"
#include "shell/page_window.h"
#include "shell_test_application.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace plox::shell {
namespace {

// The other tests of this program may have made the application already.
class QuietPrompter : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons, Icon) override {
        shown.push_back(std::string(title) + ": " + std::string(text));
        return Answer::Ok;
    }
    std::vector<std::string> shown;
};

// Presses Return in the next `count` modal dialogs as they come up.
void press_return_in_dialogs(int count) {
    if (count <= 0) return;
    QTimer::singleShot(50, [count] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            QTest::keyClick(modal, Qt::Key_Return);
            press_return_in_dialogs(count - 1);
        } else {
            press_return_in_dialogs(count);
        }
    });
}

// Answers the next `count` modal dialogs with Return, noting each one's object name.
void answer_dialogs(int count, std::shared_ptr<QStringList> names) {
    if (count <= 0) return;
    QTimer::singleShot(50, [count, names] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            names->append(modal->objectName());
            QTest::keyClick(modal, Qt::Key_Return);
            answer_dialogs(count - 1, names);
        } else {
            answer_dialogs(count, names);
        }
    });
}

class AnalysisCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_application();
        ASSERT_TRUE(config_.isValid() && files_.isValid());
        qputenv("PLOXWIN_CONFIG_DIR", config_.path().toUtf8());
        store_ = std::make_unique<QtSettingsStore>();
        ShellServices s;
        s.store = store_.get();
        s.prompter = &prompter_;
        window_ = std::make_unique<MainWindow>(s);
        ASSERT_TRUE(window_->bind_extension());
        register_analysis_commands(*window_);
        ASSERT_TRUE(window_->start());
        window_->resize(900, 700);
        window_->show();
    }
    void TearDown() override { window_.reset(); }

    Graph& open_series(const char* text) {
        const std::string path = files_.filePath(QStringLiteral("points.dat")).toStdString();
        std::ofstream(path) << text;
        window_->open_data_files({path}, false);
        return *window_->state().current();
    }

    // A region drawn with the right button between two page points; its pop-up menu is closed.
    void right_drag(QPoint from, QPoint to) {
        QWidget* viewport = window_->page()->viewport();
        const QPoint a = window_->page()->to_device(from.x(), from.y());
        const QPoint b = window_->page()->to_device(to.x(), to.y());
        QTest::mousePress(viewport, Qt::RightButton, {}, a);
        QTest::mouseMove(viewport, b);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, b);
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }
    Graph& ranged_series() {
        Graph& g = open_series("0 0\n1 1\n2 2\n3 3\n4 4\n");
        for (int axis : {AxisX, AxisY}) {
            g.axes[static_cast<size_t>(axis)].from = 0;
            g.axes[static_cast<size_t>(axis)].to = 4;
        }
        g.scales_valid = 1;
        return g;
    }

    QTemporaryDir config_, files_;
    std::unique_ptr<QtSettingsStore> store_;
    QuietPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(AnalysisCommandsTest, CtrlBThenEnterTwiceMakesAPolynomialFitOfTheStoredDegree) {
    store_->write("LSQ Ini", "Dimension", 2);
    Graph& g = open_series("0 1\n1 3\n2 9\n3 19\n4 33\n");
    press_return_in_dialogs(2); // the sheet, then the results dialog
    window_->send_command(661);
    ASSERT_EQ(g.series_count, 1);
    const Series& s = g.series[0];
    EXPECT_EQ(s.kind, kind::Polynomial);
    EXPECT_EQ(s.degree, 2);
    ASSERT_EQ(s.analysis_valid, 1);
    EXPECT_NEAR(s.coefficients[0], 1, 1e-9); // y = 1 + 2x²
    EXPECT_NEAR(s.coefficients[1], 0, 1e-9);
    EXPECT_NEAR(s.coefficients[2], 2, 1e-9);
    EXPECT_EQ(g.unmodified, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AnalysisCommandsTest, ExtensionAnalysesShowTheirMenuTextsAsUtf8) {
    ASSERT_NE(window_->action(683), nullptr);
    EXPECT_EQ(window_->action(683)->text(), QStringLiteral("最大値サーチ"));
    EXPECT_EQ(window_->action(684)->text(), QStringLiteral("最小値サーチ"));
}

TEST_F(AnalysisCommandsTest, MaskDrawnWithTheMouseIsStoredInDataValuesOfTheChosenSeries) {
    Graph& g = open_series("0 0\n1 1\n2 2\n3 3\n4 4\n");
    for (int axis : {AxisX, AxisY}) {
        g.axes[static_cast<size_t>(axis)].from = 0;
        g.axes[static_cast<size_t>(axis)].to = 4;
    }
    g.scales_valid = 1;
    window_->send_command(623); // no mask yet: straight to picking
    QWidget* viewport = window_->page()->viewport();
    const QPoint a = window_->page()->to_device(g.frame_left + 100, g.frame_top + 100);
    const QPoint b = window_->page()->to_device(g.frame_left + g.frame_width / 2,
                                                g.frame_top + g.frame_height - 100);
    press_return_in_dialogs(1); // the series list: the first series
    QTest::mousePress(viewport, Qt::LeftButton, {}, a);
    QTest::mouseMove(viewport, b);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, b);
    ASSERT_EQ(g.mask_count, 1);
    EXPECT_EQ(g.masks[0].series, 1);
    EXPECT_LT(g.masks[0].area[0], g.masks[0].area[1]);
    EXPECT_LT(g.masks[0].area[2], g.masks[0].area[3]);
    EXPECT_NEAR(g.masks[0].area[0], 0, 0.1); // from the frame's left edge to its middle
    EXPECT_NEAR(g.masks[0].area[1], 2, 0.1);
    EXPECT_NEAR(g.masks[0].area[2], 0, 0.1);
    EXPECT_NEAR(g.masks[0].area[3], 4, 0.1);
}

TEST_F(AnalysisCommandsTest, RegionCommandsTrimInTheDrawnDirectionAndMaskTheRegion) {
    Graph& g = ranged_series();
    EXPECT_FALSE(window_->is_command_enabled(679));
    EXPECT_FALSE(window_->is_command_enabled(631));
    const int left = g.frame_left, w = g.frame_width, top = g.frame_top, h = g.frame_height;
    // From the upper right to the lower left: with "TrimmingSort" off both axes turn round.
    right_drag({left + w * 3 / 4, top + h / 4}, {left + w / 4, top + h * 3 / 4});
    EXPECT_TRUE(window_->is_command_enabled(679));
    EXPECT_TRUE(window_->is_command_enabled(631));
    window_->send_command(679);
    EXPECT_NEAR(g.axes[AxisX].from, 3, 0.1);
    EXPECT_NEAR(g.axes[AxisX].to, 1, 0.1);
    EXPECT_NEAR(g.axes[AxisY].from, 3, 0.1);
    EXPECT_NEAR(g.axes[AxisY].to, 1, 0.1);
    EXPECT_EQ(g.unmodified, 0);
    // The region has been used up.
    EXPECT_FALSE(window_->is_command_enabled(679));

    window_->state().config.TrimmingSort = 1;
    right_drag({left + w * 3 / 4, top + h / 4}, {left + w / 4, top + h * 3 / 4});
    window_->send_command(679);
    EXPECT_LT(g.axes[AxisX].from, g.axes[AxisX].to);
    EXPECT_LT(g.axes[AxisY].from, g.axes[AxisY].to);

    const double x0 = g.axes[AxisX].from, x1 = g.axes[AxisX].to;
    right_drag({left + w / 2, top + h / 2}, {left + w, top});
    press_return_in_dialogs(1); // the series list: the first series
    window_->send_command(631);
    ASSERT_EQ(g.mask_count, 1);
    EXPECT_EQ(g.masks[0].series, 1);
    EXPECT_NEAR(g.masks[0].area[0], (x0 + x1) / 2, 0.1); // the middle to the right edge
    EXPECT_NEAR(g.masks[0].area[1], x1, 0.1);
    EXPECT_LT(g.masks[0].area[2], g.masks[0].area[3]);
}

TEST_F(AnalysisCommandsTest, AgainSetsUpAFitThroughItsSheetAndShowsItsResults) {
    Graph& g = open_series("0 1\n1 3\n2 9\n3 19\n4 33\n");
    press_return_in_dialogs(2);
    window_->send_command(661);
    ASSERT_EQ(g.series[0].kind, kind::Polynomial);
    g.unmodified = 1;
    auto names = std::make_shared<QStringList>();
    answer_dialogs(2, names);
    window_->send_command(cmd::Again);
    EXPECT_EQ(*names,
              (QStringList{QStringLiteral("LSQ_SHEET"), QStringLiteral("INFORMATIONDIALOG")}));
    EXPECT_EQ(g.series[0].kind, kind::Polynomial);
    EXPECT_EQ(g.unmodified, 0);
}

} // namespace
} // namespace plox::shell
