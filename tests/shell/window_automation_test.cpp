// Macros in the window: Ctrl+M with its file chooser, ".qvd" files opened by path, and every
// change announced to the undo recorder first.
#include "platform/settings_qt.h"
#include "settings/user_config.h"
#include "shell/command_table.h"
#include "shell/commands_automation.h"
#include "shell/main_window.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace plox::shell {

namespace {

class WindowAutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_application();
        qputenv("PLOXWIN_CONFIG_DIR", config_.path().toUtf8());
        store_ = std::make_unique<QtSettingsStore>();
        ShellServices s;
        s.store = store_.get();
        s.prompter = &prompter_;
        s.run_macro = [this](const std::string& path) { return automation_->run_file(path); };
        window_ = std::make_unique<MainWindow>(s);
        window_->set_change_recorder(
            [this](const GraphSet&, int graph) { announced_.push_back(graph); });
        automation_ = std::make_unique<WindowAutomation>(*window_, prompter_, store_.get(),
                                                         [this](const std::string& start) {
                                                             starts_.push_back(start);
                                                             return chosen_;
                                                         });
        ASSERT_TRUE(window_->start());
    }
    std::string write(const char* name, const std::string& text) {
        const std::string path = files_.filePath(QString::fromUtf8(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    QTemporaryDir config_, files_;
    std::unique_ptr<QtSettingsStore> store_;
    RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<WindowAutomation> automation_;
    std::optional<std::string> chosen_;
    std::vector<std::string> starts_;
    std::vector<int> announced_;
};

} // namespace

TEST_F(WindowAutomationTest, CtrlMRunsTheChosenFileAndRemembersWhereItWas) {
    EXPECT_TRUE(window_->is_command_enabled(cmd::RunMacro));
    window_->send_command(cmd::RunMacro); // cancelled: nothing happens
    const std::string data = write("a.dat", "1 2\n2 4\n");
    chosen_ =
        write("m.qvd", "FrameSet FrameType 0\r\nData PLOTTYPE 7, OPEN " + data + "\r\nRefresh\r\n");
    window_->send_command(cmd::RunMacro);
    window_->send_command(cmd::RunMacro);
    ASSERT_EQ(starts_.size(), 3u);
    EXPECT_EQ(starts_[0], "");
    EXPECT_EQ(starts_[2], *chosen_);
    const Graph& g = *window_->state().current();
    EXPECT_EQ(g.FrameType, 0);
    ASSERT_EQ(g.series_count, 2);
    EXPECT_EQ(g.series[1].PlotType, 7);
    EXPECT_EQ(read_recent_files(*store_).front(), data);
    EXPECT_EQ(g.unmodified, 0);
    // FrameSet and each OPEN, in both runs, were announced before they happened.
    EXPECT_EQ(announced_.size(), 4u);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(WindowAutomationTest, QvdFilesOpenedByPathRunAsMacros) {
    window_->send_command(cmd::NewGraph);
    ASSERT_EQ(window_->state().graph_count(), 2);
    EXPECT_TRUE(window_->open_file(write("M.QVD", "DeleteGraph all\r\nAxisSet XSCALE 0 5\r\n"),
                                   true, OpenSource::Drop));
    ASSERT_EQ(window_->state().graph_count(), 1);
    EXPECT_EQ(window_->state().current()->axes[AxisX].to, 5);
    EXPECT_EQ(window_->windowTitle().toStdString().find("PloxWin"), 0u);
    // A macro cannot start another macro: OpenQvp of one opens it as a document.
    const std::string self = files_.filePath("n.qvd").toStdString();
    EXPECT_TRUE(
        window_->open_file(write("n.qvd", "OpenQvp " + self + "\r\n"), true, OpenSource::Drop));
    ASSERT_FALSE(prompter_.shown.empty());
    EXPECT_EQ(prompter_.shown.back().text, "不正なファイルです");
    EXPECT_FALSE(
        window_->open_file(files_.filePath("none.qvd").toStdString(), true, OpenSource::Drop));
    ASSERT_FALSE(prompter_.shown.empty());
    EXPECT_EQ(prompter_.shown.back().text, "none.qvd が見つかりません。");
}

} // namespace plox::shell
