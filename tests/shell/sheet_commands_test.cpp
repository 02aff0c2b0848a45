// The sheet and list commands of the window: the axis sheet by Ctrl+X reaching a saved
// document, one axis made automatic again, closing through the data manager, and the list
// of shown series.
#include "dialogs/sheet_widgets.h"
#include "document/document_io.h"
#include "platform/settings_qt.h"
#include "shell/main_window.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace plox::shell {

namespace {

class Answers : public Prompter {
public:
    Answer message(std::string_view, std::string_view text, Buttons, Icon) override {
        shown.emplace_back(text);
        if (answers.empty()) return Answer::Ok;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<Answer> answers;
    std::vector<std::string> shown;
};

class NoDialogs : public ShellDialogs {
public:
    std::vector<std::string> open_data_files(const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> open_document(const std::string&) override { return {}; }
    std::optional<SaveChoice> save_document(const std::string&, bool, bool) override { return {}; }
    std::optional<std::string> input_text(const std::string&, const std::string&,
                                          const std::string&, int) override {
        return {};
    }
    bool open_help(const std::string&) override { return false; }
};

QPushButton* button(QDialog& d, const QString& text) {
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

class SheetCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_application();
        ASSERT_TRUE(config_.isValid() && files_.isValid());
        qputenv("PLOXWIN_CONFIG_DIR", config_.path().toUtf8());
        store_ = std::make_unique<QtSettingsStore>();
        store_->write_dword("User Config", "FirstDlgOpen", 0);
        script([](QDialog& d) { d.accept(); });
    }
    void TearDown() override {
        dialogs::run_dialog = [](QDialog& d) { return d.exec(); };
    }
    // Every dialog the commands open runs `fn` and ends as it leaves it (Cancel if still open).
    void script(std::function<void(QDialog&)> fn) {
        dialogs::run_dialog = [this, fn](QDialog& d) {
            opened.push_back(d.objectName().toStdString());
            fn(d);
            if (d.result() != QDialog::Accepted) d.reject();
            return d.result();
        };
    }
    std::unique_ptr<MainWindow> window(const std::string& path) {
        ShellServices s;
        s.store = store_.get();
        s.prompter = &prompter_;
        s.dialogs = &dialogs_;
        auto w = std::make_unique<MainWindow>(s);
        EXPECT_TRUE(w->start(path));
        return w;
    }
    std::string data_file(const char* name, const char* text = "1 2\n2 4\n3 90\n") {
        const std::string path = files_.filePath(QString::fromUtf8(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }

    QTemporaryDir config_, files_;
    std::unique_ptr<QtSettingsStore> store_;
    Answers prompter_;
    NoDialogs dialogs_;
    std::vector<std::string> opened;
};

} // namespace

TEST_F(SheetCommandsTest, AxisSheetChangesReachTheSavedDocument) {
    auto w = window(data_file("a.dat"));
    std::vector<int> changes;
    w->set_change_recorder([&](const GraphSet&, int graph) { changes.push_back(graph); });
    script([](QDialog& d) {
        d.findChild<QLineEdit*>("from")->setText("0.5");
        d.findChild<QLineEdit*>("to")->setText("5000");
        d.findChild<QRadioButton*>("type1")->click();
        static_cast<dialogs::PropertySheet&>(d).ok_button()->click();
    });
    w->send_command(201);
    ASSERT_EQ(opened, std::vector<std::string>{"AxisSheet"});
    EXPECT_EQ(changes, std::vector<int>{0});
    Graph& g = *w->state().current();
    EXPECT_EQ(g.unmodified, 0);
    EXPECT_EQ(g.scales_valid, 1);

    const std::string doc = files_.filePath("plot.qvp").toStdString();
    ASSERT_TRUE(save_document(doc, g, false, w->state().io).ok());
    GraphSet set;
    IoContext io;
    io.prompter = &prompter_;
    ASSERT_TRUE(load_document(doc, set, io).ok());
    const Axis& x = set.graphs[0]->axes[AxisX];
    EXPECT_DOUBLE_EQ(x.from, 0.5);
    EXPECT_DOUBLE_EQ(x.to, 5000);
    EXPECT_EQ(x.scale_type, 1);
}

TEST_F(SheetCommandsTest, ClearScaleOfOneAxisLeavesTheOthers) {
    auto w = window(data_file("a.dat"));
    Graph& g = *w->state().current();
    g.axes[AxisX].from = g.axes[AxisY].from = -777;
    g.axes[AxisX].to = g.axes[AxisY].to = 777;
    g.scales_valid = 1;
    w->send_command(691);
    EXPECT_DOUBLE_EQ(g.axes[AxisX].from, 1); // the data span 1 to 3
    EXPECT_DOUBLE_EQ(g.axes[AxisX].to, 3);
    EXPECT_DOUBLE_EQ(g.axes[AxisY].from, -777);
    EXPECT_EQ(g.unmodified, 0);
}

TEST_F(SheetCommandsTest, DataManagerClosesAfterTheQuestion) {
    auto w = window(data_file("a.dat"));
    w->open_file(data_file("b.dat"), false, OpenSource::Drop);
    w->open_file(data_file("c.dat"), false, OpenSource::Drop);
    auto close_first = [](QDialog& d) {
        d.findChild<QListWidget*>()->item(0)->setSelected(true);
        button(d, QStringLiteral("&Close"))->click();
        button(d, QStringLiteral("&OK"))->click();
    };
    script(close_first);
    prompter_.answers = {Answer::No};
    w->send_command(102);
    EXPECT_EQ(w->state().current()->series_count, 3);
    EXPECT_EQ(prompter_.shown.back(), "1個のファイルをCloseします");

    prompter_.answers = {Answer::Yes};
    w->send_command(102);
    const Graph& g = *w->state().current();
    ASSERT_EQ(g.series_count, 2);
    EXPECT_NE(g.series[0].file_name.find("b.dat"), std::string::npos);
    EXPECT_NE(g.series[1].file_name.find("c.dat"), std::string::npos);
}

TEST_F(SheetCommandsTest, ShownSeriesFollowTheSelection) {
    auto w = window(data_file("a.dat"));
    w->open_file(data_file("b.dat"), false, OpenSource::Drop);
    script([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        EXPECT_TRUE(list->item(0)->isSelected()); // shown series start selected
        list->item(0)->setSelected(false);
        list->item(1)->setSelected(false);
        button(d, QStringLiteral("選択(&S)"))->click();
    });
    w->send_command(678);
    const Graph& g = *w->state().current();
    EXPECT_EQ(g.series[0].shown, 0);
    EXPECT_EQ(g.series[1].shown, 0);
}

} // namespace plox::shell
