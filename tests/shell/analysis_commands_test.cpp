// The analysis commands through the main window under the offscreen platform: the keyboard
// path of a polynomial fit, the extension analyses' menu texts and a mask drawn with the mouse.
// Modal dialogs are answered with the keys a user would press.
#include "platform/settings_qt.h"
#include "shell/commands_analysis.h"
#include "shell/main_window.h"
#include "shell/page_window.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>

namespace plox::shell {
namespace {

// The other tests of this program may have made the application already.
QApplication& app() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

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

class AnalysisCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
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

} // namespace
} // namespace plox::shell
